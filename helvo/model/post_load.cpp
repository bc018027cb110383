// Linking a configuration after it has been read. The reader only fills objects field by field:
// functions wait in their channel group's class lists, references to other functions and to meters
// are still the plain indexes of the file, and records may be missing or given twice. The steps here
// file every function into its table and its element, resolve the indexes into functions, give the
// computed functions their fixed types, take the single records out of their lists (or make them
// with their defaults) and build the storage alarms. Index resolution needs the function tables, and
// the meter references need every function filed, so the order of the steps matters.
#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/analog.h"
#include "helvo/functions/fault_locator.h"
#include "helvo/functions/frequency.h"
#include "helvo/functions/impedance.h"
#include "helvo/functions/logic.h"
#include "helvo/functions/pf_detector.h"
#include "helvo/functions/sequence.h"
#include "helvo/functions/summation.h"
#include "helvo/functions/watts_vars.h"
#include "helvo/host/host_settings.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/phasor.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

namespace {

using Tables = CHelvoCfgTables;

// Input masks of the phase inputs of a sequence function: all phase and summation voltages for a
// voltage sequence, all phase and summation currents for a current sequence.
constexpr unsigned long kVoltageSeqInputs = 0xF0F0ul;
constexpr unsigned long kCurrentSeqInputs = 0x80F0F00ul;

// The objects of list that are functions, in list order. Linking takes functions out of the list
// and may delete some, so the steps walk this copy instead of the list itself.
std::vector<CPhasor*> FunctionsOf(FilerList& list) {
  std::vector<CPhasor*> functions;
  for (CFiler* obj : list)
    if (auto* f = dynamic_cast<CPhasor*>(obj)) functions.push_back(f);
  return functions;
}

template <class T>
void RemoveEvery(PtrList<T>& list, T* value) {
  while (auto pos = list.Find(value)) list.RemoveAt(pos);
}

// Links the input ref to the function its phasor index names on group's board. A loop of inputs (a
// summation naming itself, two naming each other) is kept as the file gives it: the look-ups that
// follow inputs guard themselves against coming round (cInputWalk).
void LinkInput(cHelvoDspCfg& group, CrefPhasor& ref) {
  int index = ref.m_nNumber;
  ref.m_pPhasor = group.ResolvePhasorIndex(index);
}

// Links a state reference to the function owning its state bit, the number becoming the state's
// number within that function. An index that names no function leaves the reference empty and the
// number as read. Logic and fault-locator functions guard their own look-ups through states, so
// feedback through states (a latch) is kept as the file gives it.
void LinkState(cHelvoDspCfg& group, crefState& ref) {
  int index = ref.m_nNumber;
  CPhasor* function = group.ResolveStateIndex(index);
  ref.m_pPhasor = function;
  if (function) ref.m_nNumber = index;
}

// Gives f the type of that name, and lists it with its element under the type's kind.
void SetTypeAndFile(CPhasor* f, const char* type) {
  f->SetTypesEntry(Tables::LookupType(type));
  if (CElementName* element = f->GetElement()) element->Add(f);
}

// Resolves the meter index of every slot of a meter group or the trend: the slot then holds the
// function (from the function table of its class on its board) and the meter's number within it. An
// index that names no meter leaves the slot empty with the index as read. A slot that already names
// a function was linked before (a configuration read into again) and keeps its meter number.
template <size_t N, class Ref>
void ResolveMeterSlots(CHelvoCfg& cfg, Ref (&slots)[N], const CFiler* owner, int version, int gen) {
  for (Ref& slot : slots) {
    if (slot.m_pPhasor) continue;
    eHelvoCfgClass cls = eElementName;
    unsigned int board = 0;
    int function = 0;
    int meter = 0;
    if (!CHelvoCfg::ResolveMeterIndex(slot.m_nMeter, version, cls, board, function, meter, gen, owner))
      continue;
    cHelvoDspCfg* group = board < 2 ? cfg.m_pDspCfg[board] : nullptr;
    slot.m_pPhasor = group ? group->GetIndexedPhasorAddress(cls, function - 1) : nullptr;
    slot.m_nMeter = meter;
  }
}

}  // namespace

// ---- Channel group ----

void cHelvoDspCfg::PostLoadProcess(CHelvoCfg*) {
  // Takes f out of the class list of its class (all taken functions leave their lists together at
  // the end, in one pass per list, rather than each with a search of its list). A function that
  // stands in no table slot is kept in the unfiled list: the group still owns it (and deletes it with
  // itself), while the tables, elements and scans show the same as before.
  std::unordered_set<const CFiler*> taken;
  auto take = [this, &taken](CPhasor* f) {
    taken.insert(f);
    CPhasor** table = GetFunctionTableAddress(static_cast<eHelvoCfgClass>(f->GetClass()));
    const int capacity = GetFunctionTableCapacity(f->GetClass());
    if (!table || std::find(table, table + capacity, f) == table + capacity) NoteUnfiled(f);
  };

  // 1. Analog inputs.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eAnalogCfg])) {
    if (f->GetChannelNumber() >= 0) take(f);
    CElementName* element = f->GetElement();
    if (!element) continue;
    if (!f->GetTypesEntry()) {
      ShowMessage("Invalid Analog Type, the definition for " + element->GetName() +
                      ":???:" + f->GetDescription() + " will be removed.",
                  MB_OK | MB_ICONWARNING);
      DeleteFunction(f);
      continue;
    }
    if (auto* analog = dynamic_cast<CAnalogCfg*>(f)) {
      const cModuleType& module = analog->m_oModuleType;
      if (module.IsValid() && !module.IsProgrammed()) {
        cScale& scale = analog->m_Scale;
        if (scale.m_strSecUnit.empty()) scale.m_strSecUnit = module.GetUnits();
        if (scale.m_fFullScale == 0.0f) scale.m_fFullScale = module.GetMaxValue();
      }
      // Units carry a lower-case kilo prefix ("kV", not "KV").
      std::string& unit = analog->m_Scale.m_strPriUnit;
      if (!unit.empty() && unit[0] == 'K') unit[0] = 'k';
    }
    element->Add(f);
  }

  // 2. The reference channel: the first analog channel, unless a CH_GRP record names another (the
  //    last record decides).
  m_orefRefAna.m_pPhasor = GetIndexedPhasorAddress(eAnalogCfg, 0);
  while (!m_ChGrpList.IsEmpty()) {
    CFiler* obj = m_ChGrpList.RemoveHead();
    if (auto* record = dynamic_cast<cCGMisc*>(obj)) {
      int index = record->m_nRefAnaIndex;
      if (index < 0 || index >= Tables::FunctionsPerDsp(eAnalogCfg, sCfgState::Of(this))) index = 0;
      m_orefRefAna.m_pPhasor = GetIndexedPhasorAddress(eAnalogCfg, index);
    }
    delete obj;
  }

  // 3. Summations.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eSummationCfg])) {
    take(f);
    auto* sum = dynamic_cast<CSummationCfg*>(f);
    if (!sum || !f->GetElement() || !f->GetTypesEntry()) continue;
    sum->InitializeInputMasks();
    f->GetElement()->Add(f);
    for (CrefPhasor& input : sum->m_orefInput) LinkInput(*this, input);
  }

  // 4. Sequence functions.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eSequenceCfg])) {
    take(f);
    auto* seq = dynamic_cast<CSequenceCfg*>(f);
    if (!seq || !f->GetElement() || !f->GetTypesEntry()) continue;
    const std::string type = f->GetTypeString();
    const unsigned long mask = type == "Vseq" ? kVoltageSeqInputs : type == "Iseq" ? kCurrentSeqInputs : 0;
    for (CrefPhasor& input : seq->m_orefInput) input.SetTypesMask(mask);
    f->GetElement()->Add(f);
    for (CrefPhasor& input : seq->m_orefInput) LinkInput(*this, input);
  }

  // 5. Impedance functions.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eImpedanceCfg])) {
    take(f);
    auto* z = dynamic_cast<CImpedanceCfg*>(f);
    if (!z || !f->GetElement()) continue;
    SetTypeAndFile(f, "Z1");
    LinkInput(*this, z->m_orefVolts);
    LinkInput(*this, z->m_orefAmps);
  }

  // 6. Watts/vars functions. Old files carry one rate-of-change interval for all three detectors.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eWattsVarsCfg])) {
    take(f);
    auto* wv = dynamic_cast<CWattsVarsCfg*>(f);
    if (!wv || !f->GetElement()) continue;
    SetTypeAndFile(f, "W/V");
    LinkInput(*this, wv->m_orefVolts);
    LinkInput(*this, wv->m_orefAmps);
    if (wv->m_nLegacyRocInterval != 0)
      wv->m_nWatts1RocInterval = wv->m_nWatts2RocInterval = wv->m_nVarsRocInterval = wv->m_nLegacyRocInterval;
  }

  // 7. External inputs.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eDigitalCfg])) {
    if (f->GetChannelNumber() >= 0) take(f);
    SetTypeAndFile(f, "EI");
  }

  // 8. Frequency functions: filed by channel number 1 or 2, without element lists. A function that
  //    was standing in the slot before stays owned by the group.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eFrequencyCfg])) {
    take(f);
    const int channel = f->GetChannelNumber();
    if (channel == 1 || channel == 2) {
      CPhasor*& slot = m_pFrequency[channel - 1];
      if (slot && slot != f) NoteUnfiled(slot);
      slot = f;
      ForgetUnfiled(f);
    }
    f->SetTypesEntry(Tables::LookupType("Freq"));
    if (auto* freq = dynamic_cast<CFrequencyCfg*>(f)) LinkInput(*this, freq->m_orefInput);
  }

  // 9. Logic functions.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eLogicCfg])) {
    if (f->GetChannelNumber() >= 0) take(f);
    SetTypeAndFile(f, "Logic");
    if (auto* logic = dynamic_cast<cLogicCfg*>(f))
      for (crefState& input : logic->m_orefInputs) LinkState(*this, input);
  }

  // 10. Fault locators.
  for (CPhasor* f : FunctionsOf(m_ClassLists[eFaultLocCfg])) {
    if (f->GetChannelNumber() >= 0) take(f);
    SetTypeAndFile(f, "FLoc");
    if (auto* locator = dynamic_cast<cFaultLocCfg*>(f)) {
      LinkState(*this, locator->m_orefTrigger);
      for (cFLInput& input : locator->m_Inputs) LinkInput(*this, input.m_orefPhasor);
    }
  }

  // 11. Power-factor detectors: the input index is a slot of the watts/vars table.
  for (CPhasor* f : FunctionsOf(m_ClassLists[ePFDetCfg])) {
    take(f);
    auto* pf = dynamic_cast<cPFDetCfg*>(f);
    if (!pf || !f->GetElement()) continue;
    SetTypeAndFile(f, "PF");
    const auto index = static_cast<unsigned int>(pf->m_orefInput.m_nNumber);
    if (index < static_cast<unsigned int>(Tables::FunctionsPerDsp(eWattsVarsCfg, sCfgState::Of(this)))) {
      CPhasor* input = GetIndexedPhasorAddress(eWattsVarsCfg, static_cast<int>(index));
      pf->m_orefInput.m_pPhasor = input;
    }
  }

  // The taken functions leave their class lists (only compared, never followed: some were deleted).
  for (FilerList& list : m_ClassLists)
    for (auto pos = list.GetHeadPosition(); pos;) {
      const auto here = pos;
      if (taken.count(list.GetNext(pos))) list.RemoveAt(here);
    }
}

// ---- Configuration ----

void CHelvoCfg::PostLoadProcess() {
  // 1. The identification record: the first one read, or one with the defaults. A record left from an
  //    earlier read is replaced.
  CIdCfg* id = nullptr;
  if (!m_IdList.IsEmpty()) {
    CFiler* head = m_IdList.RemoveHead();
    id = dynamic_cast<CIdCfg*>(head);
    if (!id) {
      delete head;  // only identification records are ever put in this list
    } else {
      id->SetParent(this);
      if (id->m_nSettingsVers == 0) id->m_nSettingsVers = GetSettingVersionLimit();
    }
  }
  if (!id) {
    id = new CIdCfg(this);
    id->m_strHostText2.clear();
  }
  if (m_pIdCfg && m_pIdCfg != id) {
    RemoveEvery(m_IdList, static_cast<CFiler*>(m_pIdCfg));
    delete m_pIdCfg;
  }
  m_pIdCfg = id;

  // 2. The board count is the generation; the sample rate is the header's once a file has been read
  //    by path (before that m_nSRate holds no rate and the record keeps its own).
  if (m_State.m_iIedGen >= 1 && m_State.m_iIedGen <= 4) {
    id->m_nNumBanks = m_State.m_iIedGen;
    if (m_State.m_nSRate > 0) id->m_nSampleRate = m_State.m_nSRate;
  }
  // 3. The generation the meter references of this file were written for.
  const int gen = id->m_nNumBanks;

  // 4. Only 50 and 60 Hz systems exist; anything else becomes the host's 50 Hz default, or 60.
  if (id->m_nSystemFrequency != 50 && id->m_nSystemFrequency != 60) {
    unsigned long freq = 0;
    id->m_nSystemFrequency = (GetDefaultSysFreq(&freq, nullptr) && freq == 50) ? 50 : 60;
  }

  // 5.
  m_nLoadedSetVer = id->m_nSettingsVers;

  // 6. The channel groups file their functions and resolve their own references.
  for (cHelvoDspCfg* group : m_pDspCfg)
    if (group) group->PostLoadProcess(this);

  // The storage alarms exist before the trend is linked, which sets the trend alarm contact.
  delete m_pStorageAlarms;
  m_pStorageAlarms = new cStorageAlarms(this);

  LinkRecordReferences(gen);

  // The limits record: the first one read (later ones are duplicates and are discarded), or one with
  // the defaults. A record left from an earlier read is replaced.
  CHelvoLimitsCfg* limits = nullptr;
  while (!m_LimitsList.IsEmpty()) {
    CFiler* head = m_LimitsList.RemoveHead();
    auto* record = dynamic_cast<CHelvoLimitsCfg*>(head);
    if (!limits && record) {
      limits = record;
      continue;
    }
    delete head;
  }
  if (limits)
    limits->SetParent(this);
  else
    limits = new CHelvoLimitsCfg(this);
  if (m_pLimitsCfg != limits) delete m_pLimitsCfg;
  m_pLimitsCfg = limits;

  m_pStorageAlarms->m_nRecordAlarm = static_cast<int>(limits->m_nRecAlarm);
}

void CHelvoCfg::LinkRecordReferences(int gen) {
  const int version = m_pIdCfg ? m_pIdCfg->m_nSettingsVers : 0;

  CheckMeteringInfo();

  for (CFiler* obj : m_MeterGroupList)
    if (auto* group = dynamic_cast<CMeterGroup*>(obj))
      ResolveMeterSlots(*this, group->m_Meters, group, version, gen);

  // The first trend read is the trend in use; further trends stay in the list. A trend in use from an
  // earlier read is replaced.
  if (!m_TrendList.IsEmpty()) {
    CFiler* head = m_TrendList.RemoveHead();
    if (auto* trend = dynamic_cast<cTrend*>(head)) {
      if (m_pTrend && m_pTrend != trend) delete m_pTrend;  // leaves the configuration as it goes
      trend->SetParent(this);
      m_pTrend = trend;
      ResolveMeterSlots(*this, trend->m_Entries, trend, version, gen);
    } else {
      delete head;  // only trends are ever put in this list
    }
  }
  if (auto* trend = dynamic_cast<cTrend*>(m_pTrend); trend && m_pStorageAlarms)
    m_pStorageAlarms->m_nTrendAlarm = static_cast<int>(trend->m_nAlarmContact);
}

void CHelvoCfg::CheckMeteringInfo() {
  if (!m_pDspCfg[0] || !m_pDspCfg[0]->IsPMUDefValid()) return;
  // The meter group a PMU definition implies is made again when the configuration is saved.
  const auto count = static_cast<long long>(m_MeterGroupList.GetCount());
  for (CFiler* obj : m_MeterGroupList) {
    auto* group = dynamic_cast<CMeterGroup*>(obj);
    if (!group || group->m_nNumber != count) continue;
    RemoveEvery(m_MeterGroupList, obj);
    delete group;
    return;
  }
}

}  // namespace helvo
