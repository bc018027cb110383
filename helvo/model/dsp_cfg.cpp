#include "helvo/model/dsp_cfg.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "helvo/functions/analog.h"
#include "helvo/functions/digital.h"
#include "helvo/functions/fault_locator.h"
#include "helvo/functions/frequency.h"
#include "helvo/functions/impedance.h"
#include "helvo/functions/logic.h"
#include "helvo/functions/pf_detector.h"
#include "helvo/functions/sequence.h"
#include "helvo/functions/summation.h"
#include "helvo/functions/watts_vars.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/phasor_scan.h"
#include "helvo/model/pmu.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cCGMisc, CFiler)
HELVO_IMPLEMENT_DYNCREATE(cHelvoDspCfg, cFilerContainer)

namespace {

// The table slot of a function with channel number channel (counted from 1) in a table of n slots;
// -1 when the number names no slot. A file may give any number, the most negative one included.
int SlotOf(int channel, int n) {
  return channel >= 1 && channel <= n ? channel - 1 : -1;
}

// String ids of the per-board section names and of the keys defined here (a section's keys take the
// ids after its own). Part of the settings-file format.
enum : int {
  kChGrpSection = 10256,
  kRefAnaKey = 10257,
  kElementSection = 10264,
  kNameKey = 10265,
  kAnalogSection = 10272,
  kSummationSection = 10336,
  kSequenceSection = 10400,
  kImpedanceSection = 10496,
  kFrequencySection = 10584,
  kDigitalSection = 10624,
  kFaultLocSection = 10704,
  kWattsVarsSection = 10768,
  kLogicSection = 11232,
  kPFDetSection = 11264,
  kPhasorSection = 11939,
  kCdrChanSection = 11949,
};

constexpr unsigned long kFrequencyBit = 0x4000000ul;

template <size_t N>
constexpr int Capacity(CPhasor* const (&)[N]) {
  return static_cast<int>(N);
}

// Removes every occurrence of p from list.
template <class T, class U>
void RemoveAllFrom(PtrList<T>& list, const U* p) {
  for (auto pos = list.GetHeadPosition(); pos;) {
    auto here = pos;
    if (list.GetNext(pos) == p) list.RemoveAt(here);
  }
}

// Frequency functions survive the removal of their element.
bool IsFrequencyFunction(const CPhasor* f) {
  return f->GetClass() == eFrequencyCfg || (f->GetPhaseFlags() & kFrequencyBit) != 0;
}

template <size_t N>
void ClearMeterRefs(CrefMeter (&refs)[N], const CPhasor* p) {
  for (CrefMeter& ref : refs)
    if (ref.m_pPhasor == p) ref.m_pPhasor = nullptr;
}

}  // namespace

// ---- cCGMisc ----

cCGMisc::cCGMisc(CPhasor* reference) {
  if (reference && reference->GetChannelNumber() >= 1) {
    m_nRefAnaIndex = reference->GetChannelNumber() - 1;
    m_bNamesChannel = true;
  }
}

// ---- cHelvoDspCfg ----

cHelvoDspCfg::cHelvoDspCfg() {
  Initialize(nullptr, 1);
}

cHelvoDspCfg::cHelvoDspCfg(CHelvoCfg* parent, int dspIndex) {
  Initialize(parent, dspIndex);
}

cHelvoDspCfg::~cHelvoDspCfg() {
  // Everything goes at once. Each function is collected once from wherever the group reaches it,
  // every table and list is emptied, and functions and elements are detached from the group before
  // they are deleted, so that no destructor searches the group or clears references to itself: done
  // one by one, that search made the teardown quadratic in the number of functions and elements.
  std::vector<CPhasor*> functions;
  std::unordered_set<CPhasor*> seen;
  ForEachFunction([&](CPhasor* f) {
    if (seen.insert(f).second) functions.push_back(f);
  });
  ForEachTable([](CPhasor** table, int capacity) { std::fill(table, table + capacity, nullptr); });
  // Objects in the section lists that are not functions (none are expected) belong to the group too.
  for (FilerList& list : m_ClassLists)
    while (!list.IsEmpty()) {
      CFiler* obj = list.RemoveHead();
      if (!dynamic_cast<CPhasor*>(obj)) {
        RemoveAllFrom(list, obj);
        delete obj;
      }
    }
  m_Unfiled.RemoveAll();
  m_UnfiledAt.clear();
  std::unordered_set<const CElementName*> elements;
  for (CFiler* obj : m_ElementList) {
    if (auto* e = dynamic_cast<CElementName*>(obj)) {
      for (int kind = 0; kind < CElementName::kNumKinds; ++kind) e->GetKindList(kind).RemoveAll();
      elements.insert(e);
    }
    obj->SetParent(nullptr);
  }
  while (!m_ChGrpList.IsEmpty()) delete m_ChGrpList.RemoveHead();
  CHelvoCfg* config = GetConfiguration();
  for (CPhasor* f : functions) {
    // A function of the other group that this group lists (through an element) is deleted as
    // before, unlinking itself from its own group.
    if (f->GetDspCfg() == this) {
      if (config) config->Remove(f);  // meter groups and trends that outlive the group
      if (CElementName* e = f->GetElement(); e && !elements.count(e)) e->Remove(f);  // not ours
      f->SetParent(nullptr);
      f->SetElementName(nullptr);
    }
    delete f;
  }
  while (!m_ElementList.IsEmpty()) delete m_ElementList.RemoveHead();
  RemoveAllPMU();
  RemoveAllCDR();
}

void cHelvoDspCfg::Initialize(CHelvoCfg* parent, int dspIndex) {
  m_Sections.SetParent(this);
  RegisterSections();
  ForEachTable([](CPhasor** table, int capacity) {
    for (int i = 0; i < capacity; ++i) table[i] = nullptr;
  });
  m_ElementList.RemoveAll();
  SetParent(parent);
  m_nDspIndex = dspIndex;
  m_orefRefAna.SetTypesMask(kRefChannelTypes);
  AddPMU(kDefaultPMUPhasors);
  if (dspIndex == 0 && parent) AddCDR(kDefaultCDRChannels);
}

void cHelvoDspCfg::RegisterSections() {
  if (m_bSectionsRegistered) return;
  m_bSectionsRegistered = true;
  for (CFilerSection* section : SectionDefinitions()) m_Sections.AddSharedSection(section);
}

const std::vector<CFilerSection*>& cHelvoDspCfg::SectionDefinitions() {
  // Built on first use and kept for the life of the process (never deleted, so that a group
  // destroyed during static destruction still finds them): every channel group of every
  // configuration reads and writes through the same definitions, which hold member pointers only.
  static const std::vector<CFilerSection*>* const kSections = [] {
    auto* sections = new std::vector<CFilerSection*>;
    // Registration order is the order the sections are written in.
    sections->push_back((new cHelvoSection(kChGrpSection, eDspCfg, FieldOf(&cHelvoDspCfg::m_ChGrpList)))
                            ->LoadCfgType(FieldOf(&cCGMisc::m_nRecordNumber), 0)
                            ->LoadCfgType(FieldOf(&cCGMisc::m_nRefAnaIndex), kRefAnaKey));
    sections->push_back((new cHelvoSection(kElementSection, eElementName, ElementListRef()))
                            ->LoadCfgType(FieldOf(&CElementName::m_strName), kNameKey)
                            ->LoadCfgType(FieldOf(&CElementName::m_nElementNumber), 0));
    // The function sections; each function class registers its keys in its own section.
    const struct {
      int nameId;
      eHelvoCfgClass cls;
      void (*define)(cHelvoSection*);
    } kFunctionSections[] = {
        {kAnalogSection, eAnalogCfg, &CAnalogCfg::DefineAnalogCfgTypes},
        {kSummationSection, eSummationCfg, &CSummationCfg::DefineSummationCfgTypes},
        {kSequenceSection, eSequenceCfg, &CSequenceCfg::DefineSequenceCfgTypes},
        {kDigitalSection, eDigitalCfg, &CDigitalCfg::DefineDigitalCfgTypes},
        {kImpedanceSection, eImpedanceCfg, &CImpedanceCfg::DefineImpedanceCfgTypes},
        {kWattsVarsSection, eWattsVarsCfg, &CWattsVarsCfg::DefineWattsVarsCfgTypes},
        {kFrequencySection, eFrequencyCfg, &CFrequencyCfg::DefineFrequencyCfgTypes},
        {kLogicSection, eLogicCfg, &cLogicCfg::DefineLogicCfgTypes},
        {kFaultLocSection, eFaultLocCfg, &cFaultLocCfg::DefineFaultLocCfgTypes},
        {kPFDetSection, ePFDetCfg, &cPFDetCfg::DefinePFDetCfgTypes},
    };
    for (const auto& s : kFunctionSections) {
      auto* section = new cHelvoSection(s.nameId, s.cls, ClassListRef(s.cls));
      s.define(section);
      sections->push_back(section);
    }
    auto* phasors = new cHelvoSection(kPhasorSection, ePMU, FieldOf(&cHelvoDspCfg::m_PMUList));
    CPMU::DefinePMUCfgTypes(phasors);
    sections->push_back(phasors);
    auto* cdrChannels = new cHelvoSection(kCdrChanSection, eCDR, FieldOf(&cHelvoDspCfg::m_CDRList));
    CCDR::DefineCDRCfgTypes(cdrChannels);
    sections->push_back(cdrChannels);
    return sections;
  }();
  return *kSections;
}

CHelvoCfg* cHelvoDspCfg::GetConfiguration() const {
  return dynamic_cast<CHelvoCfg*>(GetParent());
}

CObject* cHelvoDspCfg::ConstructChild(int cls) {
  if (cls == eElementName) return new CElementName;
  if (cls == eDspCfg) return new cCGMisc;  // the object of a CH_GRP section
  return CHelvoCfgTables::CreateClassObject(cls);
}

void cHelvoDspCfg::GetName(std::string& name) const {
  name = Format("Channel Group %d", m_nDspIndex + 1);
}

template <class F>
void cHelvoDspCfg::ForEachTable(F f) {
  f(m_pAnalog, Capacity(m_pAnalog));
  f(m_pDigital, Capacity(m_pDigital));
  f(m_pSummation, Capacity(m_pSummation));
  f(m_pSequence, Capacity(m_pSequence));
  f(m_pImpedance, Capacity(m_pImpedance));
  f(m_pWattsVars, Capacity(m_pWattsVars));
  f(m_pFrequency, Capacity(m_pFrequency));
  f(m_pLogic, Capacity(m_pLogic));
  f(m_pFaultLoc, Capacity(m_pFaultLoc));
  f(m_pPFDet, Capacity(m_pPFDet));
}

template <class F>
void cHelvoDspCfg::ForEachFunction(F f) {
  ForEachTable([&](CPhasor** table, int capacity) {
    for (int i = 0; i < capacity; ++i)
      if (table[i]) f(table[i]);
  });
  for (FilerList& list : m_ClassLists)
    for (CFiler* obj : list)
      if (auto* function = dynamic_cast<CPhasor*>(obj)) f(function);
  for (CPhasor* function : m_Unfiled) f(function);
  for (CFiler* obj : m_ElementList)
    if (auto* element = dynamic_cast<CElementName*>(obj))
      for (int kind = 0; kind < CElementName::kNumKinds; ++kind)
        for (CPhasor* function : element->GetKindList(kind))
          if (function) f(function);
}

template <class P>
CPhasor* cHelvoDspCfg::FindFunction(P pred) {
  CPhasor* found = nullptr;
  ForEachFunction([&](CPhasor* f) {
    if (!found && pred(f)) found = f;
  });
  return found;
}

void cHelvoDspCfg::DeleteFunction(CPhasor* p) {
  Remove(p);
  if (CElementName* element = p->GetElement()) element->Remove(p);
  delete p;
}

void cHelvoDspCfg::NoteUnfiled(CPhasor* p) {
  if (!m_UnfiledAt.count(p)) m_UnfiledAt.emplace(p, m_Unfiled.AddTail(p));
}

void cHelvoDspCfg::ForgetUnfiled(const CPhasor* p) {
  const auto at = m_UnfiledAt.find(p);
  if (at == m_UnfiledAt.end()) return;
  m_Unfiled.RemoveAt(at->second);
  m_UnfiledAt.erase(at);
}

int cHelvoDspCfg::GetFunctionTableCount(eHelvoCfgClass cls) {
  return CHelvoCfgTables::FunctionsPerDsp(cls);
}

int cHelvoDspCfg::GetFunctionTableCapacity(int cls) {
  switch (cls) {
    case eAnalogCfg:
      return 36;
    case eDigitalCfg:
      return 64;
    case eSummationCfg:
      return 30;
    case eSequenceCfg:
      return 12;
    case eImpedanceCfg:
      return 18;
    case eWattsVarsCfg:
      return 18;
    case eFrequencyCfg:
      return 2;
    case eLogicCfg:
      return 30;
    case eFaultLocCfg:
      return 10;
    case ePFDetCfg:
      return 18;
    default:
      return 0;
  }
}

CPhasor** cHelvoDspCfg::GetFunctionTableAddress(eHelvoCfgClass cls) {
  switch (cls) {
    case eAnalogCfg:
      return m_pAnalog;
    case eDigitalCfg:
      return m_pDigital;
    case eSummationCfg:
      return m_pSummation;
    case eSequenceCfg:
      return m_pSequence;
    case eImpedanceCfg:
      return m_pImpedance;
    case eWattsVarsCfg:
      return m_pWattsVars;
    case eFrequencyCfg:
      return m_pFrequency;
    case eLogicCfg:
      return m_pLogic;
    case eFaultLocCfg:
      return m_pFaultLoc;
    case ePFDetCfg:
      return m_pPFDet;
    default:
      return nullptr;
  }
}

CPhasor* cHelvoDspCfg::GetIndexedPhasorAddress(eHelvoCfgClass cls, int index) {
  CPhasor** table = GetFunctionTableAddress(cls);
  if (!table || index < 0 || index >= GetFunctionTableCapacity(cls)) return nullptr;
  return table[index];
}

int cHelvoDspCfg::GetDspFunctionCount(eHelvoCfgClass cls) const {
  return GetConfiguration() ? CHelvoCfgTables::FunctionsPerDsp(cls, sCfgState::Of(this)) : -1;
}

void cHelvoDspCfg::Add(CPhasor* p) {
  if (!p) return;
  const auto cls = static_cast<eHelvoCfgClass>(p->GetClass());
  CPhasor** table = GetFunctionTableAddress(cls);
  if (!table) return;
  const int capacity = GetFunctionTableCapacity(cls);
  const sCfgState state = sCfgState::Of(this);
  int n = CHelvoCfgTables::FunctionsPerDsp(cls, state);
  if (n > capacity) n = capacity;
  // Take p out of the table wherever it stands, so it is never filed twice.
  for (int i = 0; i < capacity; ++i)
    if (table[i] == p) table[i] = nullptr;

  if (cls == eFrequencyCfg && state.m_nSetVer < 201 && m_nDspIndex == 1 && p->GetChannelNumber() >= 2)
    p->SetChannelNumber(1);

  const int i = SlotOf(p->GetChannelNumber(), n);
  if (i < 0) {
    NoteUnfiled(p);
    return;
  }
  if (CPhasor* old = table[i]; old && old != p) DeleteFunction(old);
  table[i] = p;
  ForgetUnfiled(p);
}

void cHelvoDspCfg::ModifyChannelNumber(CPhasor* p) {
  if (!p) return;
  const auto cls = static_cast<eHelvoCfgClass>(p->GetClass());
  CPhasor** table = GetFunctionTableAddress(cls);
  const int capacity = GetFunctionTableCapacity(cls);
  int n = GetDspFunctionCount(cls);
  if (!table || n < 2) return;
  if (n > capacity) n = capacity;
  for (int i = 0; i < capacity; ++i)
    if (table[i] == p) table[i] = nullptr;
  const int i = SlotOf(p->GetChannelNumber(), n);
  if (i < 0) {
    NoteUnfiled(p);
    return;
  }
  if (CPhasor* old = table[i]; old && old != p) NoteUnfiled(old);
  table[i] = p;
  ForgetUnfiled(p);
}

void cHelvoDspCfg::ModifyFreq(const std::vector<CPhasor*>& functions, int version) {
  FilerList& list = m_ClassLists[eFrequencyCfg];
  PtrList<CPhasor> previous;
  for (CFiler* obj : list)
    if (auto* f = dynamic_cast<CPhasor*>(obj)) previous.AddTail(f);
  list.RemoveAll();
  if (version >= 0 && CHelvoCfgTables::IsClassSupported(eFrequencyCfg, static_cast<unsigned int>(version))) {
    const size_t count = std::min(functions.size(), static_cast<size_t>(INT_MAX));
    for (size_t i = 0; i < count; ++i) {
      CPhasor* f = functions[i];
      // Only frequency functions belong in this list; listing one twice would write it twice.
      if (!f || f->GetClass() != eFrequencyCfg || list.Find(f)) continue;
      f->SetChannelNumber(static_cast<int>(i) + 1);
      list.AddTail(f);
    }
  }
  // A function of this group that is now in neither the list nor the table would otherwise be lost
  // to the group's destructor.
  for (CPhasor* f : previous) {
    const bool filed =
        std::find(std::begin(m_pFrequency), std::end(m_pFrequency), f) != std::end(m_pFrequency);
    if (!list.Find(f) && !filed && f->GetDspCfg() == this) NoteUnfiled(f);
  }
}

void cHelvoDspCfg::Remove(CPhasor* p) {
  if (!p) return;
  if (m_orefRefAna.m_pPhasor == p) m_orefRefAna.m_pPhasor = nullptr;
  ForEachTable([p](CPhasor** table, int capacity) {
    for (int i = 0; i < capacity; ++i)
      if (table[i] == p) table[i] = nullptr;
  });
  for (FilerList& list : m_ClassLists) RemoveAllFrom(list, p);
  ForgetUnfiled(p);
  for (CFiler* obj : m_ElementList)
    if (auto* element = dynamic_cast<CElementName*>(obj)) element->Remove(p);
  if (CElementName* element = p->GetElement()) element->Remove(p);

  // References held by the group's functions (through their class's template) ...
  ForEachFunction([this, p](CPhasor* f) {
    if (auto* templ = dynamic_cast<cHelvoSection*>(GetSection(f->GetClass()))) templ->ClearReferencesTo(f, p);
  });
  // ... by the objects in the section lists ...
  ClearReferencesTo(this, p);
  // ... and by the PMU and CDR definitions.
  for (CFiler* obj : m_PMUList)
    if (auto* pmu = dynamic_cast<CPMU*>(obj)) ClearMeterRefs(pmu->m_Meters, p);
  for (CFiler* obj : m_CDRList)
    if (auto* cdr = dynamic_cast<CCDR*>(obj)) ClearMeterRefs(cdr->m_Meters, p);
}

struct cHelvoDspCfg::ElementIndex {
  std::unordered_map<std::string, std::vector<CElementName*>> byName;  // names in lower case, list order
  std::unordered_set<const CFiler*> members;
  FilerList::Storage::iterator last;  // the last list entry indexed
  bool any = false;                   // whether last is set
};

namespace {
std::string LowerCase(const std::string& text) {
  std::string lower = text;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}
}  // namespace

void cHelvoDspCfg::BeginRead() {
  m_pReadIndex = std::make_unique<ElementIndex>();
}

void cHelvoDspCfg::EndRead() {
  m_pReadIndex.reset();
}

cHelvoDspCfg::ElementIndex* cHelvoDspCfg::ReadIndex() {
  ElementIndex* index = m_pReadIndex.get();
  if (!index) return nullptr;
  for (auto it = index->any ? std::next(index->last) : m_ElementList.begin(); it != m_ElementList.end();
       ++it) {
    index->last = it;
    index->any = true;
    if (!index->members.insert(*it).second) continue;
    if (auto* e = dynamic_cast<CElementName*>(*it)) index->byName[LowerCase(e->GetName())].push_back(e);
  }
  return index;
}

void cHelvoDspCfg::Add(CElementName* e) {
  if (!e) return;
  if (ElementIndex* index = ReadIndex()) {
    if (!index->members.count(e)) m_ElementList.AddTail(e);
    return;
  }
  if (!m_ElementList.Find(e)) m_ElementList.AddTail(e);
}

void cHelvoDspCfg::Remove(CElementName* e) {
  if (!e) return;
  if (m_pReadIndex) m_pReadIndex = std::make_unique<ElementIndex>();  // the list shrinks: index anew
  // The functions the element lists, then those that name it without being listed yet (read from a
  // file and not linked). Each deletion unlinks the function everywhere.
  for (;;) {
    CPhasor* f = nullptr;
    for (int kind = 0; kind < CElementName::kNumKinds && !f; ++kind)
      for (CPhasor* listed : e->GetKindList(kind))
        if (listed && !IsFrequencyFunction(listed)) {
          f = listed;
          break;
        }
    if (!f) f = FindFunction([e](CPhasor* c) { return c->GetElement() == e && !IsFrequencyFunction(c); });
    if (!f) break;
    e->Remove(f);
    DeleteFunction(f);
  }
  // What remains are frequency functions: they stay, without element.
  for (int kind = 0; kind < CElementName::kNumKinds; ++kind) {
    PhasorList& list = e->GetKindList(kind);
    while (!list.IsEmpty()) {
      CPhasor* f = list.RemoveHead();
      if (f && f->GetElement() == e) f->SetElementName(nullptr);
    }
  }
  while (CPhasor* f = FindFunction([e](CPhasor* c) { return c->GetElement() == e; }))
    f->SetElementName(nullptr);
  RemoveAllFrom(m_ElementList, e);
}

CElementName* cHelvoDspCfg::VerifyElementNamed(const std::string& name, const CElementName* exclude) {
  if (ElementIndex* index = ReadIndex()) {
    const auto found = index->byName.find(LowerCase(name));
    if (found == index->byName.end()) return nullptr;
    for (CElementName* element : found->second)
      if (element != exclude && EqualsNoCase(element->GetName(), name)) return element;
    // A name changed after it was indexed (not expected during a read): search the list below.
  }
  for (CFiler* obj : m_ElementList) {
    auto* element = dynamic_cast<CElementName*>(obj);
    if (element && element != exclude && EqualsNoCase(element->GetName(), name)) return element;
  }
  return nullptr;
}

CPhasor* cHelvoDspCfg::FindPhasorByName(const std::string& name, unsigned long mask, const CPhasor* exclude) {
  cPhasorScan scan(this, ePhScanGroup, mask);
  std::string candidate;
  for (CPhasor* f = scan.GetFirst(); f; f = scan.GetNext()) {
    if (f == exclude) continue;
    f->GetName(candidate);
    if (EqualsNoCase(candidate, name)) return f;
  }
  return nullptr;
}

short cHelvoDspCfg::MarkPhasorsAsDirty(int) {
  return 0;
}

// ---- PMU phasors and CDR channels ----

void cHelvoDspCfg::AddPMU(int n) {
  if (n < 1) return;
  RemoveAllPMU();
  for (int i = 1; i <= n; ++i) {
    auto* pmu = new CPMU("PMU", this);
    pmu->m_nPhasorNumber = i;
  }
}

void cHelvoDspCfg::AddCDR(int n) {
  if (n < 1) return;
  RemoveAllCDR();
  for (int i = 0; i < n; ++i) {
    auto* cdr = new CCDR(std::string(), this);
    cdr->m_nChannel = i;
  }
}

void cHelvoDspCfg::RemoveAllPMU() {
  while (!m_PMUList.IsEmpty()) delete m_PMUList.RemoveHead();
}

void cHelvoDspCfg::RemoveAllCDR() {
  while (!m_CDRList.IsEmpty()) delete m_CDRList.RemoveHead();
}

void cHelvoDspCfg::Remove(CPMU* pmu) {
  if (pmu) RemoveAllFrom(m_PMUList, pmu);
}

void cHelvoDspCfg::Remove(CCDR* cdr) {
  if (cdr) RemoveAllFrom(m_CDRList, cdr);
}

int cHelvoDspCfg::IsPMUDefValid() {
  for (CFiler* obj : m_PMUList)
    if (auto* pmu = dynamic_cast<CPMU*>(obj); pmu && pmu->IsDefined()) return 1;
  return 0;
}

int cHelvoDspCfg::IsCDRValid() {
  return GetActiveCDRChannels() > 0 ? 1 : 0;
}

int cHelvoDspCfg::GetActiveCDRChannels() {
  int active = 0;
  for (CFiler* obj : m_CDRList)
    if (auto* cdr = dynamic_cast<CCDR*>(obj); cdr && cdr->IsUsed()) ++active;
  return active;
}

void cHelvoDspCfg::MarkCDRChanDirty(int n) {
  for (CFiler* obj : m_CDRList)
    if (auto* cdr = dynamic_cast<CCDR*>(obj); cdr && cdr->m_nChannel >= n) cdr->m_nInputIndex = -1;
}

}  // namespace helvo
