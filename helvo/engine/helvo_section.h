// Section templates: the section definition every configuration section uses. Besides the keys of a
// CFilerSection it lists what the recorder derives from each object of the section: the meters it
// produces (meter choices), the detector states it produces (state choices, each with the action
// blocks acting on it), and the fields of the object that point at other functions (reference
// addresses), so that removing a function can clear every pointer to it.
#pragma once

#include <string>

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"

namespace helvo {

// One meter that each object of a section produces.
struct sMeterChoice {
  std::string m_strName;      // name suffix ("Mag", "THD", ...); "\n" stands for no suffix
  unsigned long m_nTypeMask;  // signal types of the objects for which the meter exists
  int m_nIndex;               // the meter's number within the function (0-based)

  // The suffix, empty when the choice has none.
  std::string GetSuffix() const;
};

// One detector state that each object of a section produces, with the action blocks acting on it.
struct sStateChoice {
  std::string m_strName;          // name suffix ("HiLev", "Sag", ...); "\n" stands for no suffix
  unsigned long m_nTypeMask;      // signal types for which the state exists
  int m_nIndex;                   // the state's number within the function (0-based)
  Field<CFilerElement> m_First;   // action block acting when the state asserts
  Field<CFilerElement> m_Second;  // action block of the other transition (may name the same block)

  std::string GetSuffix() const;
  // The action blocks of obj; none when obj is not of the section's class.
  CActionBlock* GetFirstAction(CFiler* obj) const;
  CActionBlock* GetSecondAction(CFiler* obj) const;
  // True when both transitions use the same block.
  bool HasSingleAction() const { return m_First == m_Second; }
};

// A field reference to an action block, for LoadStateDefinition: ActionBlockOf(&CAnalogCfg::m_oHighAct).
// Only CActionBlock members are accepted; the reference equals FieldOf of the same member.
template <class C>
Field<CFilerElement> ActionBlockOf(CActionBlock C::*member) {
  return FieldOf(member);
}
template <class C, size_t N>
Field<CFilerElement> ActionBlockOf(CActionBlock (C::*array)[N], size_t index) {
  return FieldOf(array, index);
}

// A field of a section's object class that holds a pointer to another function (or other filer
// object). It reads and clears that pointer in whichever object it is given.
class sReferenceAddress {
 public:
  template <class T>
  explicit sReferenceAddress(const Field<T*>& field)
      : m_Field(field),
        m_pfnGet([](void* p) -> CFiler* { return *static_cast<T**>(p); }),
        m_pfnClear([](void* p) { *static_cast<T**>(p) = nullptr; }) {
    static_assert(std::is_base_of_v<CFiler, T>, "a reference address names a pointer to a filer object");
  }

  const FieldRef& GetField() const { return m_Field; }
  // The object the field of obj points at; none when obj is not of the section's class.
  CFiler* Get(CFiler* obj) const;
  // Sets the field of obj to none (nothing when obj is not of the section's class).
  void Clear(CFiler* obj) const;
  // Clears the field of obj when it points at target; true when it did.
  bool ClearIfRefersTo(CFiler* obj, const CFiler* target) const;

 private:
  FieldRef m_Field;
  CFiler* (*m_pfnGet)(void*);
  void (*m_pfnClear)(void*);
};

class cHelvoSection : public CFilerSection {
 public:
  using MeterPosition = OrderedList<sMeterChoice>::Position;
  using StatePosition = OrderedList<sStateChoice>::Position;
  using ReferencePosition = OrderedList<sReferenceAddress>::Position;

  // As CFilerSection: name string id (0 for the unnamed section), class number, the container's list
  // that holds the section's objects, flags.
  cHelvoSection(int nameId, int cls, FilerListRef objects = {}, unsigned long flags = 0);
  ~cHelvoSection() override = default;

  // The key definitions of CFilerSection, returning this template so that one chain can mix keys with
  // meter and state definitions.
  template <class F>
  cHelvoSection* LoadCfgType(const F& field, int nameId, unsigned int flags = 0) {
    CFilerSection::LoadCfgType(field, nameId, flags);
    return this;
  }
  cHelvoSection* AddNestedListAddress(cFilerContainer* container) {
    CFilerSection::AddNestedListAddress(container);
    return this;
  }

  // Appends a meter choice with the suffix loaded from nameId.
  cHelvoSection* LoadMeterDefinition(int index, int nameId, unsigned long typeMask);
  // Appends a state choice with the suffix loaded from nameId and its two action blocks (see
  // ActionBlockOf); detectors with a single block name it twice.
  cHelvoSection* LoadStateDefinition(int index, int nameId, unsigned long typeMask,
                                     const Field<CFilerElement>& firstAction,
                                     const Field<CFilerElement>& secondAction);
  // Appends a reference address: a field holding a pointer to another function, for example
  // FieldOf(&CSummationCfg::m_Inputs, 0, &CrefPhasor::m_pPhasor).
  template <class T>
  cHelvoSection* LoadReferenceAddress(const Field<T*>& field) {
    m_References.AddTail(sReferenceAddress(field));
    return this;
  }

  // Walks. GetFirst... sets pos to the first item and returns it (none, pos none, when the list is
  // empty); GetNext... advances pos first and returns the item there (none at the end, pos none).
  sMeterChoice* GetFirstMeterId(MeterPosition& pos);
  sMeterChoice* GetNextMeterId(MeterPosition& pos);
  sStateChoice* GetFirstStateId(StatePosition& pos);
  sStateChoice* GetNextStateId(StatePosition& pos);
  const sReferenceAddress* GetFirstReferenceAddress(ReferencePosition& pos);
  const sReferenceAddress* GetNextReferenceAddress(ReferencePosition& pos);

  // The choice whose index equals index (first in registration order), or none.
  const sMeterChoice* FindMeterChoice(int index) const;
  const sStateChoice* FindStateChoice(int index) const;

  const OrderedList<sMeterChoice>& GetMeterChoices() const { return m_Meters; }
  const OrderedList<sStateChoice>& GetStateChoices() const { return m_States; }
  const OrderedList<sReferenceAddress>& GetReferenceAddresses() const { return m_References; }

  // Sets to none every reference address of obj that points at target. Returns how many it cleared.
  int ClearReferencesTo(CFiler* obj, const CFiler* target) const;

 private:
  OrderedList<sMeterChoice> m_Meters;
  OrderedList<sStateChoice> m_States;
  OrderedList<sReferenceAddress> m_References;
};

// Clears every pointer to target held through a reference address by any object in the object list
// of any section template of container, and of the containers nested in it. Returns how many pointers
// it cleared. Used when a function is removed.
int ClearReferencesTo(cFilerContainer* container, const CFiler* target);

}  // namespace helvo
