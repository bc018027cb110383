#include "helvo/model/helvo_cfg.h"

#include "helvo/model/meter_group.h"
#include "helvo/model/trend.h"

#include <unordered_set>

#include "helvo/engine/helvo_section.h"
#include "helvo/host/host_settings.h"
#include "helvo/host/ied_def.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CHelvoCfg, cFilerContainer)

namespace {

// Section name ids of the recorder-level sections (helvo/resources/).
enum : int {
  IDS_SECTION_ID = 10240,
  IDS_SECTION_LIMITS = 10896,
  IDS_SECTION_METERING_GROUP = 10928,
  IDS_SECTION_EXTENDED_TREND = 11808,
  IDS_SECTION_PMU = 11936,
  IDS_SECTION_CDR = 11947,
  IDS_SECTION_END = 11999,
};

// Deletes every object of list, unlinking each before it is deleted so that a destructor that calls
// back into the configuration never sees it.
// Deletes every object of list. Each is detached from the configuration first: its destructor would
// otherwise search the configuration's lists for itself, which made deleting n records cost n^2. An
// object listed twice is deleted once.
void DeleteAll(FilerList& list) {
  std::unordered_set<CFiler*> deleted;
  while (!list.IsEmpty()) {
    CFiler* obj = list.RemoveHead();
    if (!obj || !deleted.insert(obj).second) continue;
    obj->SetParent(nullptr);
    delete obj;
  }
}

// Deletes a single record held in a field, first unlinking it from list in case it is also there, so
// that it is never deleted twice.
template <class T>
void DeleteRecord(T*& record, FilerList& list) {
  if (!record) return;
  if (auto pos = list.Find(record)) list.RemoveAt(pos);
  delete record;
  record = nullptr;
}

// Brackets one read of a file into cfg for its channel groups (cHelvoDspCfg::BeginRead).
class ReadScope {
 public:
  explicit ReadScope(cHelvoDspCfg* const (&groups)[2]) : groups_(groups) {
    for (cHelvoDspCfg* group : groups_)
      if (group) group->BeginRead();
  }
  ~ReadScope() {
    for (cHelvoDspCfg* group : groups_)
      if (group) group->EndRead();
  }
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;

 private:
  cHelvoDspCfg* const (&groups_)[2];
};

}  // namespace

// ---- Construction and destruction ----

CHelvoCfg::CHelvoCfg() {
  Initialize();
}

CHelvoCfg::CHelvoCfg(StringList& lines) {
  Initialize();
  MessageScope scope(this, {});
  StringList::Position pos;
  ReadCfgFile(lines, pos);
  PostLoadProcess();
}

CHelvoCfg::CHelvoCfg(const std::string& path, int noCheck) {
  Initialize();
  if (path.empty()) return;
  MessageScope scope(this, path);
  m_eReadResult = ReadCfgFile(path, noCheck);
  if (m_eReadResult != eFilerNoError) return;
  PostLoadProcess();
  m_strFilePath = path;
}

void CHelvoCfg::Initialize() {
  m_pIdCfg = nullptr;
  m_pLimitsCfg = nullptr;
  m_pStorageAlarms = nullptr;
  m_pTrend = nullptr;
  m_Sections.SetParent(this);
  m_State = sCfgState();
  m_Sections.SetHeader(&m_State.m_Header);

  m_pDspCfg[0] = new cHelvoDspCfg(this, 0);
  m_pDspCfg[1] = new cHelvoDspCfg(this, 1);

  // The DC unit list is process-wide; a new configuration reads it afresh when it is first used.
  DiscardDCUnits();

  // The registration order is the order in which a settings file is written. The unnamed section
  // that nests the channel groups names this configuration's groups, so it is its own; the others
  // are shared by every configuration.
  for (CFilerSection* section : SectionDefinitions()) {
    if (section) {
      m_Sections.AddSharedSection(section);
      continue;
    }
    auto* groups = new cHelvoSection(0, eElementName);
    groups->AddNestedListAddress(m_pDspCfg[0])->AddNestedListAddress(m_pDspCfg[1]);
    AddFilerSection(eElementName, groups);
  }

  m_nSampleRateRead = 96;
  m_nSampleRateWritten = 96;
  m_pHostObject = nullptr;
}

const std::vector<CFilerSection*>& CHelvoCfg::SectionDefinitions() {
  // Built on first use and never deleted (a configuration destroyed during static destruction still
  // finds them); they hold member pointers only, so every configuration can read and write
  // through them.
  static const std::vector<CFilerSection*>* const kSections = [] {
    auto* sections = new std::vector<CFilerSection*>;
    auto* id = new cHelvoSection(IDS_SECTION_ID, eIdCfg, FieldOf(&CHelvoCfg::m_IdList));
    CIdCfg::DefineIdCfgTypes(id);
    sections->push_back(id);
    sections->push_back(nullptr);  // the configuration's own section nesting its channel groups

    auto* meterGroups =
        new cHelvoSection(IDS_SECTION_METERING_GROUP, eMeterGroup, FieldOf(&CHelvoCfg::m_MeterGroupList));
    CMeterGroup::DefineMeterGroupCfgTypes(meterGroups);
    sections->push_back(meterGroups);

    auto* trends = new cHelvoSection(IDS_SECTION_EXTENDED_TREND, eTrend, FieldOf(&CHelvoCfg::m_TrendList));
    cTrend::DefineTrendCfgTypes(trends);
    sections->push_back(trends);

    auto* limits = new cHelvoSection(IDS_SECTION_LIMITS, eLimitsCfg, FieldOf(&CHelvoCfg::m_LimitsList));
    CHelvoLimitsCfg::DefineLimitsCfgTypes(limits);
    sections->push_back(limits);

    auto* pmuIds = new cHelvoSection(IDS_SECTION_PMU, ePMUId, FieldOf(&CHelvoCfg::m_PMUIdList));
    CPMUId::DefinePMUIdCfgTypes(pmuIds);
    sections->push_back(pmuIds);

    auto* cdrIds = new cHelvoSection(IDS_SECTION_CDR, eCDRId, FieldOf(&CHelvoCfg::m_CDRIdList));
    CCDRId::DefineCDRIdCfgTypes(cdrIds);
    sections->push_back(cdrIds);

    sections->push_back(new cHelvoSection(IDS_SECTION_END, eEndOfFile));
    return sections;
  }();
  return *kSections;
}

CHelvoCfg::~CHelvoCfg() {
  // Each single record is unlinked from its list before the list's leftovers go, so nothing is
  // deleted twice.
  DeleteRecord(m_pIdCfg, m_IdList);
  DeleteAll(m_IdList);
  DeleteRecord(m_pLimitsCfg, m_LimitsList);
  DeleteAll(m_LimitsList);
  delete m_pStorageAlarms;
  m_pStorageAlarms = nullptr;
  DeleteAll(m_MeterGroupList);
  DeleteRecord(m_pTrend, m_TrendList);
  DeleteAll(m_TrendList);
  DiscardDCUnits();
  delete m_pHostObject;
  m_pHostObject = nullptr;
  DeleteAll(m_PMUIdList);
  // Functions deleted with their channel group call back into Remove(CPhasor*); the meter groups and
  // the trend are gone by then, so that finds nothing to clear.
  for (cHelvoDspCfg*& group : m_pDspCfg) {
    delete group;
    group = nullptr;
  }
  DeleteAll(m_CDRIdList);
}

CObject* CHelvoCfg::ConstructChild(int cls) {
  return CreateClassObject(cls);  // none outside 0 to 21 and for classes without a factory
}

// ---- Reading ----

eFilerError CHelvoCfg::ReadCfgFile(const std::string& path, int noCheck) {
  MessageScope messages(this, path);
  m_strFilePath = path;
  eFilerError result;
  {
    ReadScope scope(m_pDspCfg);
    result = m_Sections.ReadCfgFile(path, noCheck);
  }
  if (result != eFilerNoError) return result;

  m_State.TakeHeaderCopies();
  m_State.Publish();
  m_nSampleRateRead = m_State.m_nSRate;

  // A file marked as a one-time new file is removed once it has been read; the configuration stays.
  if (!m_IdList.IsEmpty())
    if (auto* id = dynamic_cast<CIdCfg*>(m_IdList.GetHead()); id && id->m_nNewFile == 1) RemoveFile(path);
  return eFilerNoError;
}

eFilerError CHelvoCfg::ReadCfgFile(char* image, unsigned long size, int noCheck) {
  MessageScope messages(this, {});
  eFilerError result;
  {
    ReadScope scope(m_pDspCfg);
    result = m_Sections.ReadCfgFile(image, size, noCheck);
  }
  if (result == eFilerNoError) {
    m_State.Publish();
    PostLoadProcess();
  }
  return result;
}

void CHelvoCfg::ReadCfgFile(StringList& lines, StringList::Position& pos) {
  MessageScope messages(this, {});
  m_strFilePath.clear();
  {
    ReadScope scope(m_pDspCfg);
    m_Sections.ReadCfgFile(lines, pos);
  }
  m_State.Publish();
}

CIdCfg* CHelvoCfg::GetIdCfg() const {
  if (m_pIdCfg) return m_pIdCfg;
  for (CFiler* obj : m_IdList)
    if (auto* id = dynamic_cast<CIdCfg*>(obj)) return id;
  return nullptr;
}

// ---- Meter groups, trends, PMU and CDR identifications ----

CFiler* CHelvoCfg::VerifyMeterGroupNamed(const std::string& name, const CFiler* exclude) {
  std::string groupName;
  for (CFiler* obj : m_MeterGroupList) {
    if (!obj || obj == exclude) continue;
    const auto* named = dynamic_cast<const cNamedRecord*>(obj);
    if (!named) continue;
    named->GetName(groupName);
    if (EqualsNoCase(groupName, name)) return obj;
  }
  return nullptr;
}

void CHelvoCfg::Remove(CFiler* record) {
  if (!record) return;
  if (record == m_pTrend) m_pTrend = nullptr;
  for (FilerList* list : {&m_MeterGroupList, &m_TrendList, &m_PMUIdList, &m_CDRIdList}) {
    if (auto pos = list->Find(record)) {
      list->RemoveAt(pos);
      return;
    }
  }
}

void CHelvoCfg::Remove(CPhasor* phasor) {
  if (!phasor) return;
  if (auto* groups = dynamic_cast<cHelvoSection*>(GetSection(eMeterGroup)))
    for (CFiler* group : m_MeterGroupList)
      if (group) groups->ClearReferencesTo(group, phasor);
  if (auto* trends = dynamic_cast<cHelvoSection*>(GetSection(eTrend))) {
    if (m_pTrend) trends->ClearReferencesTo(m_pTrend, phasor);
    // Trends still in the list are never resolved, but clearing them too keeps every pointer sound.
    for (CFiler* trend : m_TrendList)
      if (trend) trends->ClearReferencesTo(trend, phasor);
  }
}

// ---- Version and generation ----

bool CHelvoCfg::IsClassSupported(eHelvoCfgClass cls) const {
  const CIdCfg* id = GetIdCfg();
  return id && id->m_nSettingsVers >= 0 &&
         CHelvoCfgTables::IsClassSupported(cls, static_cast<unsigned int>(id->m_nSettingsVers));
}

bool CHelvoCfg::IsDCSupported() const {
  const CIdCfg* id = GetIdCfg();
  return id && id->m_nSettingsVers >= 0 &&
         CHelvoCfgTables::IsDCSupported(static_cast<unsigned int>(id->m_nSettingsVers));
}

int CHelvoCfg::GetOwnSettingVersion() const {
  const CIdCfg* id = GetIdCfg();
  return id ? id->m_nSettingsVers : 0;
}

int CHelvoCfg::UpdateIedGen(int gen) {
  if (gen < 1 || gen > kNumGenerations) return 0;
  const int changed = gen != m_State.m_iIedGen ? 1 : 0;
  for (int board = 0; board < DspsByGen(gen) && board < 2; ++board)
    if (!m_pDspCfg[board]) m_pDspCfg[board] = new cHelvoDspCfg(this, board);
  // The header names the generation too, so that a save that folds the boards (which takes the
  // analog channel count from the board count) keeps it.
  m_State.m_iIedGen = gen;
  if (gen <= 2)
    m_State.m_Header.m_nDSPBanks = gen;
  else
    m_State.m_Header.m_nAChan = gen == 3 ? 18 : 36;
  m_State.Publish();
  if (CIdCfg* id = GetIdCfg()) id->m_nNumBanks = gen;
  return changed;
}

int CHelvoCfg::ImportParametersFromDatabase(const sIEDDef& def) {
  int changed = 0;
  CIdCfg* id = GetIdCfg();
  const std::string& serial = def.m_strSerialNumber;
  if (id && !serial.empty() && !EqualsNoCase(serial, id->m_strSerialNum)) {
    if (!id->m_strSerialNum.empty())
      ShowMessage("Modifying Serial Number \"" + id->m_strSerialNum + "\"to\r\n match the Serial Number \"" +
                      serial + "\" stored in database.",
                  MB_OK | MB_ICONINFORMATION);
    id->m_strSerialNum = serial;
    changed = 1;
  }
  // The definition's generation only says that one is known: the current generation is kept and the
  // channel groups and NUM_BANKS are brought in line with it.
  if (def.m_nGeneration >= 1 && def.m_nGeneration <= 4) changed |= UpdateIedGen(m_State.m_iIedGen);
  return changed;
}

}  // namespace helvo
