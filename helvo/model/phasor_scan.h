// The function scanner: walks the functions of one element, or of a whole channel group, in a fixed
// order and filtered by a mask of signal-type bits.
//
// Order: within an element, functions come grouped by signal type in type-table order ("Va", "Vb",
// "Vc", "Vac", "Ia", ...) and in the element's list order within a type. A whole-group scan first
// returns the group's frequency functions (from its frequency table, when the mask has the
// frequency bit), then each element of the group in list order. Only functions with a type whose
// bits above bit 3 share a bit with the mask are returned.
#pragma once

#include "helvo/engine/filer.h"
#include "helvo/model/element_name.h"

namespace helvo {

class CHelvoCfg;
class cHelvoDspCfg;
class CPhasor;
struct sTypesEntry;

enum E_PHSCAN_MODE : int {
  ePhScanGroup = 0,    // every element of the channel group (and its frequency functions)
  ePhScanNone = 1,     // yields nothing
  ePhScanElement = 2,  // one element
};

class cPhasorScan {
 public:
  static constexpr unsigned long kFrequencyBit = 0x4000000ul;

  // element is used only in mode 2. A scan without group (mode 0) or element (mode 2) yields nothing.
  cPhasorScan(cHelvoDspCfg* group, E_PHSCAN_MODE mode, unsigned long mask, CElementName* element = nullptr);
  cPhasorScan(const cPhasorScan&) = delete;
  cPhasorScan& operator=(const cPhasorScan&) = delete;

  // The first function in scan order (the scan starts over); none when there is none.
  CPhasor* GetFirst();
  // The next function; none at the end.
  CPhasor* GetNext();
  // Takes the function last returned out of the element kind list it was found in (nothing for a
  // function found in the frequency table, or when there is none). The scan may go on with GetNext.
  void RemoveLast();

 private:
  enum class ePhase { kFrequency, kElements, kDone };

  // Starts the current element at the first type that matches the mask; false when none does.
  bool StartTypes();
  // Moves to the next type that matches the mask; false at the end of the type table.
  bool NextType();
  // Makes the first matching type from index from on the current one; false when there is none.
  bool SelectType(unsigned int from);
  // Moves to the next element of the group (mode 0); false at the end of the element list.
  bool NextElement();
  CPhasor* Advance();

  cHelvoDspCfg* m_pDspCfg;
  CHelvoCfg* m_pCfg;
  E_PHSCAN_MODE m_eMode;
  unsigned long m_nScanMask;  // as given
  unsigned long m_nMask;      // as used: the frequency bit goes once the frequency slots are done
  CElementName* m_pStartElement;

  ePhase m_ePhase = ePhase::kDone;
  CElementName* m_pElement = nullptr;
  FilerList::Position m_posElement;  // the element after the current one (mode 0)
  unsigned int m_nTypeIndex = 0;
  const sTypesEntry* m_pType = nullptr;
  unsigned long m_nMatch = 0;
  PhasorList* m_pList = nullptr;
  PhasorList::Position m_posNext;  // the node to examine next
  PhasorList::Position m_posLast;  // the node last returned
  int m_nFreqSlot = 0;
};

}  // namespace helvo
