// A channel group: everything one DSP board of the recorder does. It owns its elements, the
// functions filed in its function tables (one table per function class, slot n - 1 holding the
// function whose channel number is n), the functions still waiting in its per-class lists after
// reading, its CH_GRP records and its PMU phasor and CDR channel lists. It registers the sections of
// one board and is the one place that files and unlinks functions and elements.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "helvo/engine/filer.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"

namespace helvo {

class CHelvoCfg;
class CPhasor;
class CElementName;
class CPMU;
class CCDR;

// The record of a CH_GRP section: the index of the board's reference analog channel. Made by the
// channel group for each CH_GRP section read (and consumed when the file is linked), and by
// pre-save processing for writing.
class cCGMisc : public CFiler {
  HELVO_DECLARE_RUNTIME(cCGMisc)
 public:
  // REF_ANA is the reference channel's channel number - 1; 0 without a reference channel (or with
  // one that has no valid channel number).
  explicit cCGMisc(CPhasor* reference = nullptr);
  ~cCGMisc() override = default;

  int m_nRecordNumber = 1;  // the section's instance number
  int m_nRefAnaIndex = 0;   // REF_ANA
  // Whether REF_ANA names a channel (made with a reference that has a channel number); not written.
  bool m_bNamesChannel = false;
};

class cHelvoDspCfg : public cFilerContainer {
  HELVO_DECLARE_RUNTIME(cHelvoDspCfg)
 public:
  static constexpr unsigned long kRefChannelTypes = 0x8000FF0ul;  // voltage and current analog types
  static constexpr int kDefaultPMUPhasors = 12;
  static constexpr int kDefaultCDRChannels = 36;

  // The dynamic-creation form: no parent configuration, DSP index 1.
  cHelvoDspCfg();
  // parent is the configuration that owns the group; dspIndex 0 for the first board, 1 for the second.
  cHelvoDspCfg(CHelvoCfg* parent, int dspIndex);
  cHelvoDspCfg(const cHelvoDspCfg&) = delete;
  cHelvoDspCfg& operator=(const cHelvoDspCfg&) = delete;
  // Deletes everything the group owns: its functions, CH_GRP records, elements, PMU phasors and CDR
  // channels. Each function is unlinked before it is deleted.
  ~cHelvoDspCfg() override;

  // Registers the board's sections, empties the tables and the element list (without deleting),
  // stores parent and DSP index, and makes the default PMU list (and, on the first board of a
  // configuration, the default CDR list).
  void Initialize(CHelvoCfg* parent, int dspIndex);

  int GetClass() const override { return eDspCfg; }
  // Elements for class 0, a CH_GRP record for class 14; otherwise the class table's factory (none
  // for classes it cannot make).
  CObject* ConstructChild(int cls) override;

  int GetDspIndex() const { return m_nDspIndex; }
  // The configuration the group belongs to, or none.
  CHelvoCfg* GetConfiguration() const;
  // "Channel Group %d" with the DSP index + 1.
  void GetName(std::string& name) const;

  // --- Function tables ---
  // FunctionsPerDsp(cls): the functions of a class one board holds for the file last read by any
  // configuration (the exported statics); a group's own count is GetDspFunctionCount.
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

  // Files p in its class's table at its channel number and takes ownership of it. A function already
  // in the table is first taken out of it. A different function standing in the target slot is
  // unlinked and deleted. A channel number outside 1 to FunctionsPerDsp leaves p out of the table
  // (still owned by the group). Classes without a table are ignored. On the second board of a file
  // below version 201, a frequency function with channel number 2 or more is renumbered to 1 (that
  // recorder has one frequency function per board).
  void Add(CPhasor* p);
  // Moves p to the slot of its current channel number. The function standing there leaves the table
  // without being deleted (so two functions can swap numbers); the group keeps owning it. Nothing
  // happens while the group has no configuration or the class holds fewer than two functions.
  void ModifyChannelNumber(CPhasor* p);
  // Unlinks p from everything in the group: the reference channel, every table slot, class list and
  // element list, and every reference held by the group's functions, section objects and PMU / CDR
  // definitions. Deletes nothing.
  void Remove(CPhasor* p);

  // --- Elements ---
  // Appends e to the element list unless it is already there.
  void Add(CElementName* e);
  // Deletes every function of e except frequency functions, makes the frequency functions forget e,
  // and unlinks e from the element list (e itself is not deleted).
  void Remove(CElementName* e);
  // The first element in list order, other than exclude, whose name equals name ignoring letter case;
  // none otherwise.
  CElementName* VerifyElementNamed(const std::string& name, const CElementName* exclude = nullptr);
  // Brackets the reading of a file into the configuration. In between, elements only join the end
  // of the element list and keep their names, so name look-ups (one per function read) use an index
  // that grows with the list instead of searching the whole list each time.
  void BeginRead();
  void EndRead();
  // The first function in whole-group scan order over the types of mask, other than exclude, whose
  // GetName equals name ignoring letter case; none otherwise.
  CPhasor* FindPhasorByName(const std::string& name, unsigned long mask, const CPhasor* exclude = nullptr);

  // Replaces the group's list of frequency functions (its FREQUENCY class list) by the frequency
  // functions of functions, numbering entry i (from 0) as channel i + 1: empty entries, and entries
  // that are not frequency functions, are skipped but use up their number; a function given twice
  // keeps its first number. The list stays empty when the setting version does not support frequency
  // functions. Functions of this group that leave the list and stand in no table slot stay owned by
  // the group (they are deleted with it).
  void ModifyFreq(const std::vector<CPhasor*>& functions, int version);

  // Dirty marking belongs to the configuration; the group's form does nothing and returns 0.
  short MarkPhasorsAsDirty(int);

  // The group's share of saving (helvo/saving/): numbers the elements 1, 2, ..., makes the CH_GRP
  // record (from version 5), and moves every function the version can hold from its table slot to its
  // class list in table order (frequency functions stay in their table as well); channels and fault
  // locators the version cannot hold are deleted. Returns 1.
  int PreDumpProcess(int version);

  // --- Linking after a read (helvo/model/post_load.cpp) ---
  // Files the functions the reader left in the class lists into the tables and their elements, sets
  // the reference channel from the CH_GRP records (which it deletes), gives the computed functions
  // their fixed types and input masks, and resolves their input and state references. Analog inputs
  // with an element but no known type are reported and deleted. A function taken from a class list
  // that stands in no table slot stays owned by the group (unfiled list). An input that would close a
  // loop of inputs back to its own function is left empty.
  void PostLoadProcess(CHelvoCfg* cfg);

  // --- Index resolution (helvo/addressing/) ---
  // The function owning phasor entry index on this board (index unchanged); none when no function does.
  CPhasor* ResolvePhasorIndex(int& index);
  // The function owning state bit index on this board, index becoming its state number; none if unowned.
  CPhasor* ResolveStateIndex(int& index);

  // --- PMU phasors and CDR channels ---
  // n below 1: nothing. Else replaces every PMU phasor by n new ones named "PMU", numbered 1 to n.
  void AddPMU(int n);
  // n below 1: nothing. Else replaces every CDR channel by n unused ones numbered 0 to n - 1.
  void AddCDR(int n);
  // Delete every PMU phasor / CDR channel and empty the list.
  void RemoveAllPMU();
  void RemoveAllCDR();
  // Unlink one PMU phasor / CDR channel from its list (every occurrence) without deleting it.
  void Remove(CPMU* pmu);
  void Remove(CCDR* cdr);
  // True when any PMU phasor names an input / any CDR channel is used.
  int IsPMUDefValid();
  int IsCDRValid();
  // The number of used CDR channels.
  int GetActiveCDRChannels();
  // Every CDR channel whose channel number is n or more becomes unused.
  void MarkCDRChanDirty(int n);

  // --- Lists ---
  FilerList& GetElementList() { return m_ElementList; }
  FilerList& GetChGrpList() { return m_ChGrpList; }
  FilerList& GetPMUList() { return m_PMUList; }
  FilerList& GetCDRList() { return m_CDRList; }
  // The list the reader appends functions of class cls to; the class must be 0 to 21.
  FilerList& GetClassList(int cls) { return m_ClassLists[cls]; }
  // Functions handed to the group (Add, ModifyChannelNumber) that stand in no table slot.
  const PtrList<CPhasor>& GetUnfiledList() const { return m_Unfiled; }

  // The reference analog channel (the angle reference of the board), or none.
  CPhasor* GetRefChannel() const { return m_orefRefAna.m_pPhasor; }
  void SetRefChannel(CPhasor* channel) { m_orefRefAna.m_pPhasor = channel; }

  // The section object lists, as field references for section templates.
  static FilerListRef ElementListRef() { return FieldOf(&cHelvoDspCfg::m_ElementList); }
  static FilerListRef ClassListRef(int cls) { return FieldOf(&cHelvoDspCfg::m_ClassLists, cls); }

  CrefPhasor m_orefRefAna;
  FilerList m_ChGrpList;
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
  FilerList m_PMUList;
  FilerList m_CDRList;
  int m_nDspIndex = 1;
  FilerList m_ClassLists[kNumClasses];

 private:
  void RegisterSections();
  // The section definitions every channel group shares, in write order.
  static const std::vector<CFilerSection*>& SectionDefinitions();
  // Calls f(table, capacity) for every function table.
  template <class F>
  void ForEachTable(F f);
  // Calls f(function) for every function the group reaches: tables, class lists, unfiled functions
  // and element lists (a function may be visited more than once).
  template <class F>
  void ForEachFunction(F f);
  // The first function of the group (tables, class lists, unfiled functions, element lists) for
  // which pred holds; none otherwise.
  template <class P>
  CPhasor* FindFunction(P pred);
  void DeleteFunction(CPhasor* p);       // Remove(p) (and from its element), then delete p
  void NoteUnfiled(CPhasor* p);          // appends p to the unfiled list unless it is there
  void ForgetUnfiled(const CPhasor* p);  // takes p out of the unfiled list

  struct ElementIndex;
  // The index of the element list while a file is read (BeginRead), catching up with the elements
  // appended since it was last used; none otherwise.
  ElementIndex* ReadIndex();

  PtrList<CPhasor> m_Unfiled;
  // Where each unfiled function stands in m_Unfiled, so that filing and unfiling cost the same
  // however many functions wait there.
  std::unordered_map<const CPhasor*, PtrList<CPhasor>::Position> m_UnfiledAt;
  std::unique_ptr<ElementIndex> m_pReadIndex;
  bool m_bSectionsRegistered = false;
};

}  // namespace helvo
