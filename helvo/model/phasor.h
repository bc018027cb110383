// The base of every channel and computed function of a channel group: an element, a signal type, a
// channel number within the group's table of its class, a description, a scale and a dirty mark. The
// function classes derive from it and override the virtual operations below. It also builds every
// name the user sees for a function, for one of its meters and for one of its detector states.
#pragma once

#include <string>

#include "helvo/engine/filer.h"
#include "helvo/model/model_converters.h"
#include "helvo/scaling/scale.h"

namespace helvo {

class cHelvoDspCfg;
struct sMeterChoice;
struct sStateChoice;

// One meter of a function as the trend bookkeeping sees it. All fields are zero when constructed.
struct sTrnMeterItem {
  CPhasor* m_pPhasor = nullptr;             // the function the meter belongs to
  const sMeterChoice* m_pChoice = nullptr;  // the meter definition this item stands for
  unsigned int m_nOptionMask = 0;           // bit k set: trend option k is still free for this meter
  unsigned int m_nReserved = 0;

  CPhasor* GetPhasor() const { return m_pPhasor; }
};

// Judging whether a function's inputs are defined follows detector states from function to function
// and can come back to a function already being judged: a latch (a logic function fed by its own
// state, directly or through others) or a fault locator triggered by a logic function that watches
// it. Such a function is met "pending": it neither defines nor undefines the chain that met it, so a
// latch is defined exactly when its outside inputs are. Only the outermost judgement answers a plain
// 0 or 1; a chain with nothing but pending inputs is undefined there (no outside input defines it).
enum eInputsJudged : int { eInputsUndefined = 0, eInputsDefined = 1, eInputsPending = 2 };

// Marks one function as being judged for the duration of its AreInputsDefined.
class cInputsJudgement {
 public:
  explicit cInputsJudgement(bool& busy);
  cInputsJudgement(const cInputsJudgement&) = delete;
  cInputsJudgement& operator=(const cInputsJudgement&) = delete;
  ~cInputsJudgement();
  // False when the function was being judged already: the caller answers eInputsPending.
  bool Entered() const { return m_bEntered; }
  // What AreInputsDefined returns for judged: pending becomes undefined in the outermost judgement.
  int Answer(int judged) const {
    return judged == eInputsPending && m_bOutermost ? eInputsUndefined : judged;
  }
  // Two inputs both needed: undefined if either is, else defined if either is, else pending.
  static int Both(int a, int b) {
    if (a == eInputsUndefined || b == eInputsUndefined) return eInputsUndefined;
    return a == eInputsDefined || b == eInputsDefined ? eInputsDefined : eInputsPending;
  }

 private:
  bool& m_bBusy;
  bool m_bEntered;
  bool m_bOutermost;
  static thread_local int s_nDepth;  // judgements under way on this thread
};

class CPhasor : public CFiler {
  HELVO_DECLARE_RUNTIME(CPhasor)
 public:
  // No group, element or type (the form the reader creates); channel number -1.
  CPhasor();
  // A function of group for element with the given type: attached through SetParent_Element_Flags
  // with the type's flags (with none of them when type is none).
  CPhasor(cHelvoDspCfg* group, CElementName* element, const sTypesEntry* type);
  // The same with the type looked up from flags (none when no type carries them).
  CPhasor(cHelvoDspCfg* group, CElementName* element, unsigned long flags);
  CPhasor(const CPhasor&) = delete;
  // Copies the channel number, the element and type references, the description and the parent; not
  // the scale, the meter items or the dirty mark.
  CPhasor& operator=(const CPhasor& other);
  // Releases the meter items and unlinks the function from its channel group (tables, class lists,
  // element lists, references held by the group's other objects) and from its element, so nothing
  // there keeps a pointer to it.
  ~CPhasor() override;

  // --- Virtual operations the function classes override ---
  // Every signal type the function's class can take.
  virtual unsigned long GetFunctionPhaseFlags() { return 0; }
  // Nonzero when every input the function needs is set (and usable). Inside another function's
  // judgement it may answer eInputsPending (see cInputsJudgement).
  virtual int AreInputsDefined() { return 0; }
  // The scale the function's values are reported with; none for functions without one.
  virtual cScale* GetpScale() { return nullptr; }
  // Stores element and group; with a group and nonzero flags also sets the type to the first type
  // carrying flags. Lists the function with its element under its type's kind (kind 0 without a
  // type); a function moved to another element leaves the old element's lists. Releases the meter
  // items.
  virtual void SetParent_Element_Flags(cHelvoDspCfg* group, CElementName* element, unsigned long flags);
  // The primary unit text, or none.
  virtual const char* GetPriUnit() { return nullptr; }
  virtual float GetMaxMeasuredLevel(int) { return 0.0f; }
  virtual float GetMinMeasuredLevel(int) { return 0.0f; }
  // The signal types the function's class produces; the argument is not used by the base.
  virtual unsigned long GetTypeMask(unsigned int) { return GetTypeMask(); }
  virtual unsigned long GetTypeMask();

  // Channel number, without moving the function in its channel group's table (the group's
  // ModifyChannelNumber does that).
  int GetChannelNumber() const { return m_oiChannelNumber.m_nChannel; }
  void SetChannelNumber(int number) override { m_oiChannelNumber.m_nChannel = number; }
  static int GetChannelIndex(int n) { return n - 1; }
  int GetChannelIndex() const { return GetChannelNumber() - 1; }
  int GetMinChannelNumber() const { return 1; }
  int GetMaxChannelNumber() const;
  int GetDspFunctionCount() const { return GetMaxChannelNumber(); }

  // Numbering across both boards: FunctionsPerDsp(class) x DSP index + channel number n.
  int GetUserChannelNumber() const { return GetUserChannelNumber(GetChannelNumber()); }
  int GetUserChannelNumber(int n) const;
  // The inverse: channel number = u - FunctionsPerDsp(class) x DSP index.
  void SetUserChannelNumber(int u);

  // 1 <= n <= the functions per DSP board of the class.
  bool IsValidChannel(int n) const;
  // IsValidChannel(channel number), and the function is not marked dirty.
  bool IsValidChannel() const;

  // The channel group (the parent), or none.
  cHelvoDspCfg* GetDspCfg() const;
  // The channel group's DSP index; 0 without a group.
  int GetDspIndex() const;

  CElementName* GetElement() const { return m_orefElementName.m_pElementName; }
  // Sets the element pointer only (no list changes).
  void SetElementName(CElementName* element) { m_orefElementName.m_pElementName = element; }
  // The element's name; empty without an element.
  void GetElementName(std::string& name) const;

  const sTypesEntry* GetTypesEntry() const { return m_orefTypesEntry.m_pTypesEntry; }
  // Sets the type only; UpdateType refiles the function with its element afterwards.
  void SetTypesEntry(const sTypesEntry* type) { m_orefTypesEntry.m_pTypesEntry = type; }
  // Lists the function again with its element under its current type.
  void UpdateType();
  // The type's name, or none without a type.
  const char* GetTypeString() const;
  // The type's flags; 0 without a type.
  unsigned long GetPhaseFlags() const;
  // The type's group mask; 0 without a type.
  unsigned long GetGroupMask() const;

  std::string& GetDescription() { return m_strDescription; }
  const std::string& GetDescription() const { return m_strDescription; }
  void SetDescription(const char* text) { m_strDescription = text ? text : ""; }

  // --- Names ---
  // Frequency functions: "Frequency 1" at generations 1 and 2, "Frequency <channel>" at 3 and 4.
  // Others: the type's name, with ":" and the description when there is one; empty without a type.
  void GetTypeDescText(std::string& text) const;
  // Frequency functions: "Group <board> " + type text at generations 1 and 2, the type text alone at
  // 3 and 4. With element and type: "<element>:<type text>". Otherwise the class's display name in
  // the singular and the user channel number ("Analog Input 23").
  void GetName(std::string& name) const;
  // The name of one meter: "<element>:<alternate type name><suffix>[:<description>]" (watts/vars
  // functions leave the type name out); frequency functions "Group <board> <type text>"; empty
  // without element or type.
  void GetMeterName(std::string& name, const sMeterChoice* choice) const;
  // The name of one detector state: "<element>:<alternate type name>[:<description>][[<suffix>]]";
  // frequency functions "Group <board> <type text>[[<suffix>]]"; empty without element or type.
  void GetStateName(std::string& name, const sStateChoice* choice) const;
  // The same for the meter / state of that index in the section of the function's class; empty when
  // the function has no group or the section defines no such meter / state.
  void GetMeterName(std::string& name, int index) const;
  void GetStateName(std::string& name, int index) const;

  // The element reference as a field, for registering the ELEMENT key of the function sections.
  static Field<CFilerElement> GetorefElementName() { return FieldOf(&CPhasor::m_orefElementName); }

  // The meter items the trend bookkeeping keeps for this function (addressing/trend_masks.cpp);
  // none until the first CHelvoCfg::RefreshTrendMasks that reaches the function.
  sTrnMeterItem* GetpMeterItems() const { return m_pMeterItems; }
  int GetMeterItemCount() const { return m_nMeterItems; }
  // Takes ownership of items (an array made with new[] holding count items; count -1 stands for the
  // meter span of the function's class at the current generation, the size a refresh makes). The
  // previous array is released. None releases the array.
  void SetpMeterItems(sTrnMeterItem* items, int count = -1);
  // The free trend options of meter item i (bit k: option k is still free); 0 when the function has
  // no item i.
  unsigned int GetTrendOptionMask(int item) const;

  // The host record code and index listing this function for a kind (addressing/); 0 and 0 when unlisted.
  void GetcRecordMapping(int kind, int& code, int& index) const;

  // Dirty functions are left out of files of version 201 and later.
  bool IsLeftOutWhenFolding() const override { return m_bDirty != 0; }

  // Channel number, description, dirty mark to their initial values.
  void Initialize();

  CrefElementName m_orefElementName;
  CrefTypesEntry m_orefTypesEntry;
  CiChannelNumber m_oiChannelNumber;
  std::string m_strDescription;
  cScale m_Scale;
  int m_bDirty = 0;

 private:
  bool IsFrequencyClass() const;
  sTrnMeterItem* m_pMeterItems = nullptr;
  int m_nMeterItems = 0;  // the items m_pMeterItems holds
};

}  // namespace helvo
