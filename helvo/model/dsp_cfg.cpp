#include "helvo/model/dsp_cfg.h"

#include <iterator>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/element_name.h"
#include "helvo/model/phasor.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cHelvoDspCfg, cFilerContainer)

namespace {

template <size_t N>
constexpr int Capacity(CPhasor* const (&)[N]) {
  return static_cast<int>(N);
}

// Removes every occurrence of p from list.
void RemoveAllFrom(FilerList& list, const CFiler* p) {
  for (auto pos = list.GetHeadPosition(); pos;) {
    auto here = pos;
    if (list.GetNext(pos) == p) list.RemoveAt(here);
  }
}

}  // namespace

cHelvoDspCfg::cHelvoDspCfg() {
  Initialize(nullptr, 1);
}

cHelvoDspCfg::cHelvoDspCfg(cFilerContainer* parent, int dspIndex) {
  Initialize(parent, dspIndex);
}

cHelvoDspCfg::~cHelvoDspCfg() {
  // Unlinked before deletion, so that no list or reference of the group outlives the function.
  ForEachTable([this](CPhasor** table, int capacity) {
    for (int i = 0; i < capacity; ++i)
      while (CPhasor* f = table[i]) {
        Remove(f);
        delete f;
      }
  });
  for (FilerList& list : m_ClassLists)
    while (!list.IsEmpty()) {
      CFiler* obj = list.GetHead();
      if (auto* f = dynamic_cast<CPhasor*>(obj)) Remove(f);
      RemoveAllFrom(list, obj);
      delete obj;
    }
  while (!m_ElementList.IsEmpty()) delete m_ElementList.RemoveHead();
}

void cHelvoDspCfg::Initialize(cFilerContainer* parent, int dspIndex) {
  ForEachTable([](CPhasor** table, int capacity) {
    for (int i = 0; i < capacity; ++i) table[i] = nullptr;
  });
  m_ElementList.RemoveAll();
  SetParent(parent);
  m_nDspIndex = dspIndex;
}

CObject* cHelvoDspCfg::ConstructChild(int cls) {
  if (cls == eElementName) return new CElementName;
  if (cls == eDspCfg) return nullptr;  // the CH_GRP record is made by the group's own code
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

template <class P>
CPhasor* cHelvoDspCfg::FindFunction(P pred) {
  CPhasor* found = nullptr;
  ForEachTable([&](CPhasor** table, int capacity) {
    for (int i = 0; i < capacity && !found; ++i)
      if (table[i] && pred(table[i])) found = table[i];
  });
  for (FilerList& list : m_ClassLists) {
    if (found) break;
    for (CFiler* obj : list) {
      auto* function = dynamic_cast<CPhasor*>(obj);
      if (function && pred(function)) {
        found = function;
        break;
      }
    }
  }
  return found;
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
  return GetParent() ? CHelvoCfgTables::FunctionsPerDsp(cls) : -1;
}

void cHelvoDspCfg::Add(CPhasor* p) {
  if (!p) return;
  const auto cls = static_cast<eHelvoCfgClass>(p->GetClass());
  CPhasor** table = GetFunctionTableAddress(cls);
  if (!table) return;
  const int capacity = GetFunctionTableCapacity(cls);
  int n = CHelvoCfgTables::FunctionsPerDsp(cls);
  if (n > capacity) n = capacity;
  // Take p out of the table wherever it stands, so it is never filed twice.
  for (int i = 0; i < capacity; ++i)
    if (table[i] == p) table[i] = nullptr;

  if (cls == eFrequencyCfg && CHelvoCfgTables::m_nSetVer < 201 && m_nDspIndex == 1 &&
      p->GetChannelNumber() >= 2)
    p->SetChannelNumber(1);

  const int i = p->GetChannelNumber() - 1;
  if (i < 0 || i >= n) return;
  if (CPhasor* old = table[i]; old && old != p) {
    Remove(old);
    delete old;
  }
  table[i] = p;
}

void cHelvoDspCfg::Remove(CPhasor* p) {
  if (!p) return;
  ForEachTable([p](CPhasor** table, int capacity) {
    for (int i = 0; i < capacity; ++i)
      if (table[i] == p) table[i] = nullptr;
  });
  for (FilerList& list : m_ClassLists) RemoveAllFrom(list, p);

  // References held by filed functions (through their class's template) ...
  ForEachTable([this, p](CPhasor** table, int capacity) {
    for (int i = 0; i < capacity; ++i)
      if (table[i])
        if (auto* templ = dynamic_cast<cHelvoSection*>(GetSection(table[i]->GetClass())))
          templ->ClearReferencesTo(table[i], p);
  });
  // ... and by the objects still in the section lists.
  ClearReferencesTo(this, p);
}

void cHelvoDspCfg::Add(CElementName* e) {
  if (e && !m_ElementList.Find(e)) m_ElementList.AddTail(e);
}

void cHelvoDspCfg::Remove(CElementName* e) {
  if (!e) return;
  while (CPhasor* f = FindFunction(
             [e](CPhasor* c) { return c->GetElement() == e && c->GetClass() != eFrequencyCfg; })) {
    Remove(f);
    delete f;
  }
  while (CPhasor* f = FindFunction([e](CPhasor* c) { return c->GetElement() == e; }))
    f->SetElementName(nullptr);
  RemoveAllFrom(m_ElementList, e);
}

CElementName* cHelvoDspCfg::VerifyElementNamed(const std::string& name, const CElementName* exclude) {
  for (CFiler* obj : m_ElementList) {
    auto* element = dynamic_cast<CElementName*>(obj);
    if (element && element != exclude && EqualsNoCase(element->GetName(), name)) return element;
  }
  return nullptr;
}

}  // namespace helvo
