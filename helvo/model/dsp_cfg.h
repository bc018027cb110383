// A channel group: everything one DSP board of the recorder does. It owns its elements, the
// functions filed in its function tables (one table per function class, slot n - 1 holding the
// function whose channel number is n), and the functions still waiting in its per-class lists after
// reading. It is the one place that files and unlinks functions and elements.
#pragma once

#include <string>

#include "helvo/engine/filer.h"
#include "helvo/model/class_tables.h"

namespace helvo {

class CPhasor;
class CElementName;

class cHelvoDspCfg : public cFilerContainer {
  HELVO_DECLARE_RUNTIME(cHelvoDspCfg)
 public:
  // The dynamic-creation form: no parent configuration, DSP index 1.
  cHelvoDspCfg();
  // parent is the configuration that owns the group; dspIndex 0 for the first board, 1 for the second.
  cHelvoDspCfg(cFilerContainer* parent, int dspIndex);
  // Deletes the functions in the tables and class lists, then the elements.
  ~cHelvoDspCfg() override;

  // Stores parent and DSP index and empties the tables and the element list (without deleting).
  void Initialize(cFilerContainer* parent, int dspIndex);

  int GetClass() const override { return eDspCfg; }
  // Elements for class 0; otherwise the class table's factory (none for classes it cannot make).
  CObject* ConstructChild(int cls) override;

  int GetDspIndex() const { return m_nDspIndex; }
  // "Channel Group %d" with the DSP index + 1.
  void GetName(std::string& name) const;

  // --- Function tables ---
  // FunctionsPerDsp(cls): the functions of a class one board holds for the file last read.
  static int GetFunctionTableCount(eHelvoCfgClass cls);
  // The number of slots of the class's table (the largest count of any generation); 0 for classes
  // without a table.
  static int GetFunctionTableCapacity(int cls);
  // The class's table, or none for classes without one.
  CPhasor** GetFunctionTableAddress(eHelvoCfgClass cls);
  static int GetChannelIndex(eHelvoCfgClass, int channel) { return channel - 1; }
  // Slot index of the class's table; none for an empty slot, a class without a table or an index
  // outside the table.
  CPhasor* GetIndexedPhasorAddress(eHelvoCfgClass cls, int index);
  // -1 when the group has no parent configuration; otherwise FunctionsPerDsp(cls).
  int GetDspFunctionCount(eHelvoCfgClass cls) const;

  // Files p in its class's table at its channel number. A function already in the table is first
  // taken out of it. A channel number outside 1 to FunctionsPerDsp leaves p out of the table. A
  // different function standing in the target slot is deleted. Classes without a table are ignored.
  // On the second board of a file below version 201, a frequency function with channel number 2 or
  // more is renumbered to 1 (that recorder has one frequency function per board).
  void Add(CPhasor* p);
  // Unlinks p from every table slot and class list of the group and clears every reference to p held
  // by the group's functions and section objects. Deletes nothing.
  void Remove(CPhasor* p);

  // --- Elements ---
  // Appends e to the element list unless it is already there.
  void Add(CElementName* e);
  // Deletes every function of e except frequency functions, clears the element reference of those
  // that remain, and unlinks e from the element list (e itself is not deleted).
  void Remove(CElementName* e);
  // The first element in list order, other than exclude, whose name equals name ignoring letter case;
  // none otherwise.
  CElementName* VerifyElementNamed(const std::string& name, const CElementName* exclude = nullptr);

  FilerList& GetElementList() { return m_ElementList; }
  // The list the reader appends functions of class cls to; the class must be 0 to 21.
  FilerList& GetClassList(int cls) { return m_ClassLists[cls]; }

  // The section object lists, as field references for section templates.
  static FilerListRef ElementListRef() { return FieldOf(&cHelvoDspCfg::m_ElementList); }
  static FilerListRef ClassListRef(int cls) { return FieldOf(&cHelvoDspCfg::m_ClassLists, cls); }

  FilerList m_ElementList;
  CPhasor* m_pAnalog[36] = {};
  CPhasor* m_pDigital[64] = {};
  CPhasor* m_pSummation[30] = {};
  CPhasor* m_pSequence[12] = {};
  CPhasor* m_pImpedance[18] = {};
  CPhasor* m_pWattsVars[18] = {};
  CPhasor* m_pFrequency[2] = {};
  CPhasor* m_pLogic[30] = {};
  CPhasor* m_pFaultLoc[10] = {};
  CPhasor* m_pPFDet[18] = {};
  FilerList m_ClassLists[kNumClasses];
  int m_nDspIndex = 1;

 private:
  // Calls f(table, capacity) for every function table.
  template <class F>
  void ForEachTable(F f);
  // The first function of the group (tables, then class lists) for which pred holds; none otherwise.
  template <class P>
  CPhasor* FindFunction(P pred);
};

}  // namespace helvo
