// An element: a named piece of the monitored power system (a line, a bus, a transformer winding)
// inside a channel group. Functions name their element through CrefElementName; the element keeps
// non-owning lists of its functions, one per kind code of their signal type, which the function
// scanner (cPhasorScan) walks.
#pragma once

#include <string>

#include "helvo/engine/filer.h"
#include "helvo/model/class_tables.h"

namespace helvo {

class cHelvoDspCfg;
class CElementName;
class CPhasor;

// The handle an element offers for its functions of one class: which element, which class. Hosts use
// it to address "the summations of this element" and the like; it has no behaviour of its own.
class ClistPhasor : public CObject {
  HELVO_DECLARE_RUNTIME(ClistPhasor)
 public:
  ClistPhasor() = default;
  ClistPhasor(CElementName* element, eHelvoCfgClass cls) : m_pElement(element), m_eClass(cls) {}
  ClistPhasor(const ClistPhasor&) = delete;
  ClistPhasor& operator=(const ClistPhasor&) = delete;

  CElementName* GetElement() const { return m_pElement; }
  eHelvoCfgClass GetClass() const { return m_eClass; }

  CElementName* m_pElement = nullptr;
  eHelvoCfgClass m_eClass = eElementName;
};

using PhasorList = PtrList<CPhasor>;

class CElementName : public CFiler {
  HELVO_DECLARE_RUNTIME(CElementName)
 public:
  // Kind codes are the low four bits of a signal type's flags: voltage, current, DC, sequence
  // voltage, sequence current, impedance, watts/vars, external input, logic, fault locator, power
  // factor.
  static constexpr int kNumKinds = 11;
  static constexpr int kNumHandles = 9;

  // No channel group, empty name.
  CElementName();
  // An element of group (its parent). When another element of the group already has name (ignoring
  // letter case), the first free name of "Element 2" ... "Element 99", then "Element100" ...
  // "Element999" is taken instead, and an empty name when all of those are used. The chosen name is
  // also written back into name. The element does not add itself to the group.
  CElementName(std::string& name, cHelvoDspCfg* group);
  CElementName(const CElementName&) = delete;
  CElementName& operator=(const CElementName&) = delete;
  // With a channel group: the group deletes the element's functions except frequency functions and
  // unlinks the element (cHelvoDspCfg::Remove). Without one: the functions listed here forget the
  // element. Either way no function keeps a pointer to it.
  ~CElementName() override;

  const std::string& GetName() const { return m_strName; }
  void GetName(std::string& name) const { name = m_strName; }
  void SetName(const std::string& name) { m_strName = name; }

  // Files p in the kind list of its signal type's kind code (kind 0 without a type). A function
  // already listed here is first taken out, so it is listed once, under its current type.
  void Add(CPhasor* p);
  // Takes p out of every kind list of the element. Deletes nothing.
  void Remove(CPhasor* p);
  // True when p is in one of the element's kind lists.
  bool Contains(const CPhasor* p) const;

  // The kind list of kind code kind (0 to 10); kinds outside that range share list 0, as the kind of
  // a function without a known kind.
  PhasorList& GetKindList(int kind);
  // The kind list a function of that type belongs in: the type's kind code, 0 without a type.
  static int KindOf(const sTypesEntry* type);

  // The handle of class cls: analog, summation, sequence, impedance, watts/vars, external input,
  // logic, fault locator, PF detector; none for other classes.
  ClistPhasor* GetListBaseAddress(eHelvoCfgClass cls);

  // The channel group (the parent), or none.
  cHelvoDspCfg* GetDspCfg() const;

  int GetClass() const override { return eElementName; }
  // The writer marks the second channel group's elements this way when it folds the groups. A name
  // this element already got from an earlier folding write is not marked again, so saving the same
  // configuration twice does not give "Line:2:2".
  void AppendToName(const std::string& suffix) override {
    if (!m_strFoldedName.empty() && m_strName == m_strFoldedName) return;
    m_strName += suffix;
    m_strFoldedName = m_strName;
  }

  std::string m_strName;
  ClistPhasor m_Handles[kNumHandles];
  PhasorList m_KindLists[kNumKinds];
  int m_nElementNumber = 0;  // the ELEMENT section's number; pre-save processing numbers 1, 2, 3, ...

 private:
  void InitHandles();

  std::string m_strFoldedName;  // the name as the last folding write left it; empty before
};

}  // namespace helvo
