// Pre-save processing: turns the working form of a configuration (single records in the
// configuration's fields, functions in their channel group's tables) into the written form the writer
// walks (records and functions in their section lists, in table order), applying on the way what the
// target setting version cannot hold: deleted channels and fault locators, left-out classes, excess
// meter groups, duplicate trend entries, unit letters of old files.
//
// A configuration stays in written form after a save. A second save of the same object first brings it
// back to working form (BackToWorkingForm), so that it does not start from empty tables and does not
// carry the folding of the previous write into the next one.
#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "helvo/functions/analog.h"
#include "helvo/functions/fault_locator.h"
#include "helvo/functions/frequency.h"
#include "helvo/functions/summation.h"
#include "helvo/host/ied_def.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"
#include "helvo/saving/version_rules.h"

namespace helvo {

namespace {

using Tables = CHelvoCfgTables;

constexpr int kFirstFoldedVersion = 201;
constexpr int kRefChannel888Version = 202;
constexpr int kRefChannel888 = 888;
constexpr int kAnalogChannelsPerBoard = 18;  // the second board's channels follow in a folded file

// The classes whose functions move between table and class list, in the order pre-save handles them.
// Frequency functions are not among them: they stay in their table.
constexpr eHelvoCfgClass kMovedClasses[] = {eAnalogCfg,    eSummationCfg, eSequenceCfg,
                                            eImpedanceCfg, eWattsVarsCfg, eDigitalCfg,
                                            eLogicCfg,     eFaultLocCfg,  ePFDetCfg};

bool Supported(eHelvoCfgClass cls, int version) {
  return version >= 0 && Tables::IsClassSupported(cls, static_cast<unsigned int>(version));
}

bool InTable(CPhasor* const* table, int capacity, const CPhasor* f) {
  for (int i = 0; i < capacity; ++i)
    if (table[i] == f) return true;
  return false;
}

template <class T>
T* TakeFirst(FilerList& list) {
  for (auto pos = list.GetHeadPosition(); pos;) {
    auto here = pos;
    if (auto* record = dynamic_cast<T*>(list.GetNext(pos))) {
      list.RemoveAt(here);
      return record;
    }
  }
  return nullptr;
}

// Deletes every object of list except keep, which only leaves the list.
void DeleteAll(FilerList& list, const CFiler* keep = nullptr) {
  while (!list.IsEmpty())
    if (CFiler* obj = list.RemoveHead(); obj != keep) delete obj;
}

// Files old recorders cannot read a lower-case "k" in: "kV" is written "KV". The unit text lives in
// the scale the function reports with (an analog channel's own, or its input's for computed
// functions), so that is where the letter changes.
void UpperCaseKiloPrefix(CPhasor* f) {
  cScale* scale = f->GetpScale();
  if (scale && !scale->m_strPriUnit.empty() && scale->m_strPriUnit[0] == 'k') scale->m_strPriUnit[0] = 'K';
}

// Puts the functions a previous save left in the class lists back into their table slots. The
// previous write may have folded the second group into the first (version 201 and later), which
// renumbered its functions after the first group's table sizes; those numbers are taken back so that
// the next write renumbers them only once. Functions that were also standing in a table (a model
// read without linking) only leave the list.
void RefileFunctions(cHelvoDspCfg& group, bool unfold) {
  for (eHelvoCfgClass cls : kMovedClasses) {
    CPhasor** table = group.GetFunctionTableAddress(cls);
    const int capacity = cHelvoDspCfg::GetFunctionTableCapacity(cls);
    // The second group's offset in a folded file: the first board's table size of a two-board recorder.
    const int foldOffset = Tables::FunctionsPerDspByGen(cls, 2);
    FilerList& list = group.GetClassList(cls);
    for (auto pos = list.GetHeadPosition(); pos;) {
      auto here = pos;
      auto* f = dynamic_cast<CPhasor*>(list.GetNext(pos));
      if (!f) continue;
      if (InTable(table, capacity, f)) {
        list.RemoveAt(here);
        continue;
      }
      int n = f->GetChannelNumber();
      if (unfold && n > foldOffset) {
        n -= foldOffset;
        f->SetChannelNumber(n);
      }
      if (n >= 1 && n <= capacity && !table[n - 1]) {
        table[n - 1] = f;
        list.RemoveAt(here);
      }
    }
  }
}

// Brings a configuration back to working form: the single records into the configuration's fields
// (made with their defaults when the configuration never had them), the storage alarms rebuilt from
// the two records that hold their contacts, the functions back into their tables, and the hidden PMU
// meter group of the previous save deleted (this save builds it again). A configuration in working
// form is left as it is.
void BackToWorkingForm(CHelvoCfg& cfg) {
  const bool written = !cfg.m_pIdCfg && !cfg.m_IdList.IsEmpty();
  const CIdCfg* previous = written ? cfg.GetIdCfg() : nullptr;
  const int lastVersion = previous ? previous->m_nSettingsVers : 0;

  if (!cfg.m_pIdCfg) cfg.m_pIdCfg = TakeFirst<CIdCfg>(cfg.m_IdList);
  if (!cfg.m_pIdCfg) cfg.m_pIdCfg = new CIdCfg(&cfg);
  if (!cfg.m_pLimitsCfg) cfg.m_pLimitsCfg = TakeFirst<CHelvoLimitsCfg>(cfg.m_LimitsList);
  if (!cfg.m_pLimitsCfg) cfg.m_pLimitsCfg = new CHelvoLimitsCfg(&cfg);
  if (!cfg.m_pTrend && written) cfg.m_pTrend = TakeFirst<cTrend>(cfg.m_TrendList);
  if (!cfg.m_pStorageAlarms) {
    cfg.m_pStorageAlarms = new cStorageAlarms(&cfg);
    cfg.m_pStorageAlarms->m_nRecordAlarm = static_cast<int>(cfg.m_pLimitsCfg->m_nRecAlarm);
    if (auto* trend = dynamic_cast<cTrend*>(cfg.m_pTrend))
      cfg.m_pStorageAlarms->m_nTrendAlarm = static_cast<int>(trend->m_nAlarmContact);
  }
  if (!written) return;

  for (cHelvoDspCfg* group : cfg.m_pDspCfg)
    if (group) RefileFunctions(*group, lastVersion >= kFirstFoldedVersion && group->GetDspIndex() == 1);

  // The PMU's own group the previous save built; this save builds it again.
  std::vector<CFiler*> own;
  for (CFiler* obj : cfg.m_MeterGroupList)
    if (auto* group = dynamic_cast<CMeterGroup*>(obj); group && group->m_bPmuOwn) own.push_back(obj);
  for (CFiler* obj : own) {
    if (auto pos = cfg.m_MeterGroupList.Find(obj)) cfg.m_MeterGroupList.RemoveAt(pos);
    delete obj;
  }
}

// Step 8: numbers and counts the meter groups, drops those beyond what version holds, and names the
// hidden PMU group. The PMU's group takes one of the version's places: the user's groups past the
// others are dropped instead of it, so that the file holds what the recorder can take and reading it
// back removes the PMU's group, not one of the user's (the version scan lists the dropped ones).
void PrepareMeterGroups(CHelvoCfg& cfg, int version) {
  const bool hasPmu = cfg.m_pDspCfg[0] && !cfg.m_pDspCfg[0]->GetPMUList().IsEmpty();
  auto isHidden = [hasPmu](const CFiler* obj) {
    const auto* group = dynamic_cast<const CMeterGroup*>(obj);
    return hasPmu && group && group->m_bPmuOwn;
  };
  std::vector<CFiler*> groups(cfg.m_MeterGroupList.begin(), cfg.m_MeterGroupList.end());
  const auto found = std::find_if(groups.begin(), groups.end(), isHidden);
  auto* hidden = found == groups.end() ? nullptr : dynamic_cast<CMeterGroup*>(*found);
  const int userLimit = MeterGroupLimit(version) - (hidden ? 1 : 0);
  int kept = 0;
  auto number = [&kept](CMeterGroup& group) {
    group.m_nCount = 0;
    for (const CrefMeter& meter : group.m_Meters)
      if (meter.m_pPhasor && meter.m_pPhasor->IsValidChannel()) ++group.m_nCount;
    group.m_nNumber = kept;
  };
  for (CFiler* obj : groups) {
    if (obj == hidden) continue;
    if (kept >= userLimit) {
      if (auto pos = cfg.m_MeterGroupList.Find(obj)) cfg.m_MeterGroupList.RemoveAt(pos);
      delete obj;
      continue;
    }
    ++kept;
    if (auto* group = dynamic_cast<CMeterGroup*>(obj)) number(*group);
  }
  // The PMU's group is written last and numbered as the last group, which is how reading finds it.
  if (!hidden) return;
  if (auto pos = cfg.m_MeterGroupList.Find(hidden)) cfg.m_MeterGroupList.RemoveAt(pos);
  cfg.m_MeterGroupList.AddTail(hidden);
  ++kept;
  number(*hidden);
  hidden->m_strName = "PMU";
}

// Step 10: the trend goes into its list with its entries counted; below version 201 an entry that
// repeats the meter and option of an earlier one is reported and cleared.
void PrepareTrend(CHelvoCfg& cfg, cTrend& trend, int version, CWnd* parent) {
  cfg.m_TrendList.AddTail(&trend);
  trend.m_nCount = 0;
  // Pairs of meter index and option seen so far. A set rather than a fixed table, so that no index,
  // however large, can reach outside it.
  std::set<std::pair<int, unsigned int>> seen;
  for (ceTrendOption& entry : trend.m_Entries) {
    const int index = entry.GetMeterIndex(version);
    if (index < 0) continue;
    const bool repeated = !seen.emplace(index, entry.m_nOption % 32u).second;
    if (repeated && version < kFirstFoldedVersion) {
      std::string name;
      if (entry.m_pPhasor) entry.m_pPhasor->GetMeterName(name, entry.m_nMeter);
      ShowMessage(Format("Removing duplicate entry in Trend List:\n %s.", name.c_str()), MB_OK | MB_ICONERROR,
                  parent, "Writing Setting file");
      entry.m_pPhasor = nullptr;
      continue;
    }
    ++trend.m_nCount;
  }
  trend.m_nTrendNumber = 1;
  if (cfg.m_pStorageAlarms)
    trend.m_nAlarmContact = static_cast<unsigned int>(cfg.m_pStorageAlarms->m_nTrendAlarm);
  cfg.m_pTrend = nullptr;
}

}  // namespace

int CHelvoCfg::PreDumpProcess(CWnd* parent, int version) {
  BackToWorkingForm(*this);

  // 1.
  const bool trendsSupported = IsTrendSupported(version);

  // 2, 3. The identification record.
  CIdCfg* id = m_pIdCfg;
  m_pIdCfg = nullptr;
  DeleteAll(m_IdList, id);
  m_IdList.AddTail(id);
  id->m_nSettingsVers = version;
  id->m_nNumBanks = m_State.m_iIedGen;
  const int sampleRate = id->m_nSampleRate;

  // 4. The limits record, with the record alarm contact the host set through the storage alarms.
  CHelvoLimitsCfg* limits = m_pLimitsCfg;
  m_pLimitsCfg = nullptr;
  DeleteAll(m_LimitsList, limits);
  if (m_pStorageAlarms) limits->m_nRecAlarm = static_cast<unsigned int>(m_pStorageAlarms->m_nRecordAlarm);
  m_LimitsList.AddTail(limits);

  // 5. The channel groups of the boards the generation has; the others lose their elements.
  //    Only the boards the generation has give frequency functions to a folded file: the functions of
  //    another board are not written, so its frequency function would name an input the file does
  //    not hold (written as that number on the first board).
  std::vector<CPhasor*> frequencies;
  for (cHelvoDspCfg* group : m_pDspCfg) {
    if (!group) continue;
    if (group->GetDspIndex() < DspsByGen(m_State.m_iIedGen)) {
      if (version >= kFirstFoldedVersion)
        for (CPhasor* f : group->m_pFrequency) frequencies.push_back(f);
      group->PreDumpProcess(version);
    } else {
      FilerList& elements = group->GetElementList();
      while (!elements.IsEmpty()) delete elements.RemoveHead();
    }
  }

  // A folded file has one channel-group record, the first group's. When the first group has no
  // channel fit to be the angle reference, the record names the second group's, by the number the
  // folded file gives it: the channel a reload of that file would choose.
  if (version >= kFirstFoldedVersion && m_pDspCfg[0] && m_pDspCfg[1] &&
      m_pDspCfg[1]->GetDspIndex() < DspsByGen(m_State.m_iIedGen)) {
    FilerList& first = m_pDspCfg[0]->GetChGrpList();
    FilerList& second = m_pDspCfg[1]->GetChGrpList();
    auto* record = first.IsEmpty() ? nullptr : dynamic_cast<cCGMisc*>(first.GetHead());
    auto* other = second.IsEmpty() ? nullptr : dynamic_cast<cCGMisc*>(second.GetHead());
    if (record && other && !record->m_bNamesChannel && other->m_bNamesChannel &&
        record->m_nRefAnaIndex != kRefChannel888) {
      record->m_nRefAnaIndex = other->m_nRefAnaIndex + kAnalogChannelsPerBoard;
      record->m_bNamesChannel = true;
    }
  }

  // 6. A folded file has one list of frequency functions, the first group's, numbered across boards.
  //    The other group's list is emptied (its functions stay in its table), or the folded file would
  //    carry the same frequency function twice.
  if (m_pDspCfg[0] && version >= kFirstFoldedVersion) {
    std::vector<CPhasor*> present;
    for (CPhasor* f : frequencies)
      if (f) present.push_back(f);
    // The functions past what a reload files are not written (the scan names them); they stay in
    // their group's table.
    if (present.size() > static_cast<size_t>(kFoldedFrequencyFunctions))
      present.resize(kFoldedFrequencyFunctions);
    m_pDspCfg[0]->ModifyFreq(present, version);
    if (m_pDspCfg[1]) m_pDspCfg[1]->GetClassList(eFrequencyCfg).RemoveAll();
  }

  // 7. PMU phasors and continuous recording: a folded file has only the first group's.
  for (cHelvoDspCfg* group : m_pDspCfg) {
    if (!group) continue;
    ResolvePMU(group, version);
    UpdatePMUInfo(group, version);
    UpdateCDRInfo(group, version);
    if (version >= kFirstFoldedVersion) break;
  }

  // 8.
  PrepareMeterGroups(*this, version);

  // 9, 10. The trend in use is the only one written; duplicates read from the file go.
  DeleteAll(m_TrendList, m_pTrend);
  if (trendsSupported)
    if (auto* trend = dynamic_cast<cTrend*>(m_pTrend)) PrepareTrend(*this, *trend, version, parent);

  // 11.
  delete m_pStorageAlarms;
  m_pStorageAlarms = nullptr;

  // 12. Recorders of the newer family sampling at 256 or 384 per cycle hold fewer analog channels.
  if (version >= kFirstFoldedVersion) {
    if (sampleRate == 256)
      MarkPhasorsAsDirty(18, version);
    else if (sampleRate == 384)
      MarkPhasorsAsDirty(9, version);
  }
  return 1;
}

int cHelvoDspCfg::PreDumpProcess(int version) {
  // 1.
  int number = 0;
  for (CFiler* obj : m_ElementList)
    if (auto* element = dynamic_cast<CElementName*>(obj)) element->m_nElementNumber = ++number;

  // 2. The CH_GRP record names the angle reference: a channel with a harmonic number, preferring the
  //    group's reference channel. Only a channel the file will hold (step 4) can be named.
  DeleteAll(m_ChGrpList);
  cCGMisc* chGrp = nullptr;
  if (IsAngleReferenceWritten(version)) {
    auto hasHarmonic = [version](CPhasor* f) {
      auto* analog = dynamic_cast<CAnalogCfg*>(f);
      return analog && analog->m_oDetParams.m_nHarmonicNumber != 0 && IsAnalogChannelKept(*analog, version);
    };
    CPhasor* reference = hasHarmonic(GetRefChannel()) ? GetRefChannel() : nullptr;
    for (int i = 0; !reference && i < GetFunctionTableCapacity(eAnalogCfg); ++i)
      if (hasHarmonic(m_pAnalog[i])) reference = m_pAnalog[i];
    chGrp = new cCGMisc(reference);
    m_ChGrpList.AddTail(chGrp);
  }

  // 3. Recorders whose device definition says so take channel 888 as their reference.
  if (version >= kFirstFoldedVersion) {
    cIEDDef def;
    std::string name;
    def.GetActiveIED(name);
    def.ReadFromRegistry(name.c_str());
    if (version >= kRefChannel888Version && def.m_nRefChannel888 && chGrp)
      chGrp->m_nRefAnaIndex = kRefChannel888;
  }

  // Functions waiting in a class list that stand in no table slot were never linked: they go.
  // Functions standing in a slot are handled with their slot below.
  auto clearClassList = [this](eHelvoCfgClass cls) {
    CPhasor** table = GetFunctionTableAddress(cls);
    const int capacity = GetFunctionTableCapacity(cls);
    FilerList& list = m_ClassLists[cls];
    std::vector<CFiler*> objects(list.begin(), list.end());
    list.RemoveAll();
    for (CFiler* obj : objects) {
      auto* f = dynamic_cast<CPhasor*>(obj);
      if (f && InTable(table, capacity, f)) continue;
      if (f)
        DeleteFunction(f);
      else
        delete obj;
    }
  };
  // Moves the function of slot i to the class list.
  auto moveToList = [this](eHelvoCfgClass cls, int i) {
    CPhasor** table = GetFunctionTableAddress(cls);
    m_ClassLists[cls].AddTail(table[i]);
    table[i] = nullptr;
  };
  const bool oldUnits = version < 5;

  // 4. Analog inputs: a channel the file cannot describe completely is deleted.
  clearClassList(eAnalogCfg);
  for (int i = 0; i < GetFunctionTableCapacity(eAnalogCfg); ++i) {
    auto* channel = dynamic_cast<CAnalogCfg*>(m_pAnalog[i]);
    if (!m_pAnalog[i]) continue;
    if (!channel || !IsAnalogChannelKept(*channel, version)) {
      DeleteFunction(m_pAnalog[i]);
      continue;
    }
    if (oldUnits) UpperCaseKiloPrefix(channel);
    moveToList(eAnalogCfg, i);
  }

  // 5. Summations carry the first point of the scale of their first input as their factors.
  clearClassList(eSummationCfg);
  if (Supported(eSummationCfg, version))
    for (int i = 0; i < GetFunctionTableCapacity(eSummationCfg); ++i) {
      auto* sum = dynamic_cast<CSummationCfg*>(m_pSummation[i]);
      if (!m_pSummation[i]) continue;
      // Derived along input 1 rather than copied from a summation's factors as they stand, so that
      // one save reaches the final values whatever the order of the summations.
      if (sum) sum->GetInputFactors(sum->m_fPriFactor, sum->m_fSecFactor);
      if (oldUnits) UpperCaseKiloPrefix(m_pSummation[i]);
      moveToList(eSummationCfg, i);
    }

  // 6, 7, 9. Functions written as they stand when the version knows their class.
  auto moveSupported = [&](eHelvoCfgClass cls, bool units) {
    clearClassList(cls);
    if (!Supported(cls, version)) return;
    CPhasor** table = GetFunctionTableAddress(cls);
    for (int i = 0; i < GetFunctionTableCapacity(cls); ++i) {
      if (!table[i]) continue;
      if (units && oldUnits) UpperCaseKiloPrefix(table[i]);
      moveToList(cls, i);
    }
  };
  moveSupported(eSequenceCfg, true);
  for (eHelvoCfgClass cls : {eImpedanceCfg, eWattsVarsCfg, eDigitalCfg, eLogicCfg}) moveSupported(cls, false);

  // 8. Fault locators: files below version 6 cannot locate from summed currents; such a locator
  //    leaves the configuration (it is deleted rather than left without an owner).
  clearClassList(eFaultLocCfg);
  if (Supported(eFaultLocCfg, version))
    for (int i = 0; i < GetFunctionTableCapacity(eFaultLocCfg); ++i) {
      if (!m_pFaultLoc[i]) continue;
      auto* locator = dynamic_cast<cFaultLocCfg*>(m_pFaultLoc[i]);
      if (locator && IsFaultLocatorDropped(*locator, version)) {
        DeleteFunction(locator);
        continue;
      }
      moveToList(eFaultLocCfg, i);
    }

  moveSupported(ePFDetCfg, false);

  // 10. Frequency functions are listed for writing and stay in their table. A listed function that
  //     stands in no table keeps an owner through the unfiled list.
  FilerList& frequencyList = m_ClassLists[eFrequencyCfg];
  for (CFiler* obj : frequencyList)
    if (auto* f = dynamic_cast<CPhasor*>(obj); f && f->GetDspCfg() == this && !InTable(m_pFrequency, 2, f))
      NoteUnfiled(f);
  frequencyList.RemoveAll();
  if (Supported(eFrequencyCfg, version))
    for (CPhasor* f : m_pFrequency) {
      if (!f) continue;
      auto* frequency = dynamic_cast<CFrequencyCfg*>(f);
      if (version < kFirstFoldedVersion && frequency && frequency->GetInputPhasor() &&
          f->GetChannelNumber() > 1)
        f->SetChannelNumber(1);
      frequencyList.AddTail(f);
    }
  return 1;
}

}  // namespace helvo
