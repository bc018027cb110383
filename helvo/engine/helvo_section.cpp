#include "helvo/engine/helvo_section.h"

#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// A suffix consisting of a single line feed stands for no suffix.
std::string SuffixOf(const std::string& name) {
  return (!name.empty() && name[0] == '\n') ? std::string() : name;
}

CActionBlock* ActionOf(const Field<CFilerElement>& field, CFiler* obj) {
  return dynamic_cast<CActionBlock*>(field.Get(obj));
}

template <class T>
T* FirstOf(OrderedList<T>& list, typename OrderedList<T>::Position& pos) {
  pos = list.GetHeadPosition();
  return pos ? &list.GetAt(pos) : nullptr;
}

template <class T>
T* NextOf(OrderedList<T>& list, typename OrderedList<T>::Position& pos) {
  if (!pos) return nullptr;
  list.GetNext(pos);                        // advance first ...
  return pos ? &list.GetAt(pos) : nullptr;  // ... then return what stands there
}

}  // namespace

std::string sMeterChoice::GetSuffix() const {
  return SuffixOf(m_strName);
}
std::string sStateChoice::GetSuffix() const {
  return SuffixOf(m_strName);
}
CActionBlock* sStateChoice::GetFirstAction(CFiler* obj) const {
  return ActionOf(m_First, obj);
}
CActionBlock* sStateChoice::GetSecondAction(CFiler* obj) const {
  return ActionOf(m_Second, obj);
}

// ---- sReferenceAddress ----

CFiler* sReferenceAddress::Get(CFiler* obj) const {
  void* p = m_Field.Resolve(obj);
  return p ? m_pfnGet(p) : nullptr;
}

void sReferenceAddress::Clear(CFiler* obj) const {
  if (void* p = m_Field.Resolve(obj)) m_pfnClear(p);
}

bool sReferenceAddress::ClearIfRefersTo(CFiler* obj, const CFiler* target) const {
  void* p = m_Field.Resolve(obj);
  if (!p || !target || m_pfnGet(p) != target) return false;
  m_pfnClear(p);
  return true;
}

// ---- cHelvoSection ----

cHelvoSection::cHelvoSection(int nameId, int cls, FilerListRef objects, unsigned long flags)
    : CFilerSection(nameId, cls, objects, flags) {}

cHelvoSection* cHelvoSection::LoadMeterDefinition(int index, int nameId, unsigned long typeMask) {
  m_Meters.AddTail(sMeterChoice{LoadString(nameId), typeMask, index});
  return this;
}

cHelvoSection* cHelvoSection::LoadStateDefinition(int index, int nameId, unsigned long typeMask,
                                                  const Field<CFilerElement>& firstAction,
                                                  const Field<CFilerElement>& secondAction) {
  m_States.AddTail(sStateChoice{LoadString(nameId), typeMask, index, firstAction, secondAction});
  return this;
}

sMeterChoice* cHelvoSection::GetFirstMeterId(MeterPosition& pos) {
  return FirstOf(m_Meters, pos);
}
sMeterChoice* cHelvoSection::GetNextMeterId(MeterPosition& pos) {
  return NextOf(m_Meters, pos);
}
sStateChoice* cHelvoSection::GetFirstStateId(StatePosition& pos) {
  return FirstOf(m_States, pos);
}
sStateChoice* cHelvoSection::GetNextStateId(StatePosition& pos) {
  return NextOf(m_States, pos);
}

const sReferenceAddress* cHelvoSection::GetFirstReferenceAddress(ReferencePosition& pos) {
  return FirstOf(m_References, pos);
}
const sReferenceAddress* cHelvoSection::GetNextReferenceAddress(ReferencePosition& pos) {
  return NextOf(m_References, pos);
}

const sMeterChoice* cHelvoSection::FindMeterChoice(int index) const {
  for (const sMeterChoice& m : m_Meters)
    if (m.m_nIndex == index) return &m;
  return nullptr;
}

const sStateChoice* cHelvoSection::FindStateChoice(int index) const {
  for (const sStateChoice& s : m_States)
    if (s.m_nIndex == index) return &s;
  return nullptr;
}

int cHelvoSection::ClearReferencesTo(CFiler* obj, const CFiler* target) const {
  int cleared = 0;
  for (const sReferenceAddress& ref : m_References)
    if (ref.ClearIfRefersTo(obj, target)) ++cleared;
  return cleared;
}

int ClearReferencesTo(cFilerContainer* container, const CFiler* target) {
  if (!container || !target) return 0;
  int cleared = 0;
  for (CFilerSection* section : container->GetSections().GetSections()) {
    for (cFilerContainer* nested : section->GetNestedContainers())
      cleared += ClearReferencesTo(nested, target);
    const auto* templ = dynamic_cast<const cHelvoSection*>(section);
    if (!templ || templ->GetReferenceAddresses().IsEmpty()) continue;
    FilerList* objects = section->GetObjectList(container);
    if (!objects) continue;
    for (CFiler* obj : *objects)
      if (obj) cleared += templ->ClearReferencesTo(obj, target);
  }
  return cleared;
}

}  // namespace helvo
