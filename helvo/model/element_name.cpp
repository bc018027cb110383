#include "helvo/model/element_name.h"

#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_RUNTIME(ClistPhasor, CObject)
HELVO_IMPLEMENT_DYNCREATE(CElementName, CFiler)

namespace {

// The classes that have a handle, in handle order.
constexpr eHelvoCfgClass kHandleClasses[CElementName::kNumHandles] = {
    eAnalogCfg,  eSummationCfg, eSequenceCfg, eImpedanceCfg, eWattsVarsCfg,
    eDigitalCfg, eLogicCfg,     eFaultLocCfg, ePFDetCfg,
};

}  // namespace

CElementName::CElementName() {
  InitHandles();
}

CElementName::CElementName(std::string& name, cHelvoDspCfg* group) : CFiler(group) {
  InitHandles();
  if (group && group->VerifyElementNamed(name, this)) {
    auto taken = [&](const std::string& candidate) { return group->VerifyElementNamed(candidate, this); };
    std::string chosen;
    for (int i = 2; i <= 99 && chosen.empty(); ++i) {
      std::string candidate = Format("Element %d", i);
      if (!taken(candidate)) chosen = std::move(candidate);
    }
    for (int i = 100; i <= 999 && chosen.empty(); ++i) {
      std::string candidate = Format("Element%d", i);
      if (!taken(candidate)) chosen = std::move(candidate);
    }
    name = chosen;  // empty when every candidate is taken
  }
  m_strName = name;
}

CElementName::~CElementName() {
  if (cHelvoDspCfg* group = GetDspCfg()) {
    group->Remove(this);
    if (CHelvoCfg* config = group->GetConfiguration()) config->Remove(this);
  }
  // Whatever is still listed (an element outside any group, or functions of another group) must not
  // keep pointing here.
  for (PhasorList& list : m_KindLists)
    while (!list.IsEmpty()) {
      CPhasor* f = list.RemoveHead();
      if (f && f->GetElement() == this) f->SetElementName(nullptr);
    }
}

void CElementName::InitHandles() {
  for (int i = 0; i < kNumHandles; ++i) {
    m_Handles[i].m_pElement = this;
    m_Handles[i].m_eClass = kHandleClasses[i];
  }
}

int CElementName::KindOf(const sTypesEntry* type) {
  if (!type) return 0;
  const int kind = static_cast<int>(type->m_nFlags & 0xFul);
  return kind < kNumKinds ? kind : 0;
}

PhasorList& CElementName::GetKindList(int kind) {
  return m_KindLists[(kind >= 0 && kind < kNumKinds) ? kind : 0];
}

void CElementName::Add(CPhasor* p) {
  if (!p) return;
  Remove(p);
  GetKindList(KindOf(p->GetTypesEntry())).AddTail(p);
}

void CElementName::Remove(CPhasor* p) {
  if (!p) return;
  for (PhasorList& list : m_KindLists)
    for (auto pos = list.GetHeadPosition(); pos;) {
      auto here = pos;
      if (list.GetNext(pos) == p) list.RemoveAt(here);
    }
}

bool CElementName::Contains(const CPhasor* p) const {
  for (const PhasorList& list : m_KindLists)
    for (const CPhasor* f : list)
      if (f == p) return true;
  return false;
}

ClistPhasor* CElementName::GetListBaseAddress(eHelvoCfgClass cls) {
  for (ClistPhasor& handle : m_Handles)
    if (handle.m_eClass == cls) return &handle;
  return nullptr;
}

cHelvoDspCfg* CElementName::GetDspCfg() const {
  return dynamic_cast<cHelvoDspCfg*>(GetParent());
}

}  // namespace helvo
