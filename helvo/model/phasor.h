// The base of every channel and computed function of a channel group: an element, a signal type, a
// channel number within the group's table of its class, a description, a scale and a dirty mark. The
// function classes derive from it and override the virtual operations below.
#pragma once

#include <string>

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"
#include "helvo/scaling/scale.h"

namespace helvo {

class cHelvoDspCfg;
struct sMeterChoice;

// One meter of a function as the trend bookkeeping sees it. All fields are zero when constructed.
struct sTrnMeterItem {
  CPhasor* m_pPhasor = nullptr;             // the function the meter belongs to
  const sMeterChoice* m_pChoice = nullptr;  // the meter definition this item stands for
  unsigned int m_nOptionMask = 0;           // bit k set: trend option k is still free for this meter
  unsigned int m_nReserved = 0;

  CPhasor* GetPhasor() const { return m_pPhasor; }
};

class CPhasor : public CFiler {
  HELVO_DECLARE_RUNTIME(CPhasor)
 public:
  CPhasor();
  CPhasor(const CPhasor&) = delete;
  // Copies the channel number, the element and type references, the description and the parent; not
  // the scale, the meter items or the dirty mark.
  CPhasor& operator=(const CPhasor& other);
  // Releases the meter items and unlinks the function from its channel group (tables, class lists,
  // references held by the group's other functions), so nothing there keeps a pointer to it.
  ~CPhasor() override;

  // --- Virtual operations the function classes override ---
  virtual unsigned long GetFunctionPhaseFlags() { return 0; }
  // Nonzero when every input the function needs is set (and usable).
  virtual int AreInputsDefined() { return 0; }
  // The scale the function's values are reported with; none for functions without one.
  virtual cScale* GetpScale() { return nullptr; }
  // The primary unit text, or none.
  virtual const char* GetPriUnit() { return nullptr; }
  virtual float GetMaxMeasuredLevel(int) { return 0.0f; }
  virtual float GetMinMeasuredLevel(int) { return 0.0f; }
  // The signal types the function's class produces; the argument is not used by the base.
  virtual unsigned long GetTypeMask(unsigned int) { return GetTypeMask(); }
  virtual unsigned long GetTypeMask();

  // Channel number, without moving the function in its channel group's table.
  int GetChannelNumber() const { return m_oiChannelNumber.m_nChannel; }
  void SetChannelNumber(int number) override { m_oiChannelNumber.m_nChannel = number; }
  static int GetChannelIndex(int n) { return n - 1; }
  int GetChannelIndex() const { return GetChannelNumber() - 1; }
  int GetMinChannelNumber() const { return 1; }
  int GetMaxChannelNumber() const;
  int GetDspFunctionCount() const { return GetMaxChannelNumber(); }

  // 1 <= n <= the functions per DSP board of the class.
  bool IsValidChannel(int n) const;
  // IsValidChannel(channel number), and the function is not marked dirty.
  bool IsValidChannel() const;

  // The channel group (the parent), or none.
  cHelvoDspCfg* GetDspCfg() const;

  CElementName* GetElement() const { return m_orefElementName.m_pElementName; }
  void SetElementName(CElementName* element) { m_orefElementName.m_pElementName = element; }
  // The element's name; empty without an element.
  void GetElementName(std::string& name) const;

  const sTypesEntry* GetTypesEntry() const { return m_orefTypesEntry.m_pTypesEntry; }
  void SetTypesEntry(const sTypesEntry* type) { m_orefTypesEntry.m_pTypesEntry = type; }
  // The type's name, or none without a type.
  const char* GetTypeString() const;
  // The type's flags; 0 without a type.
  unsigned long GetPhaseFlags() const;

  std::string& GetDescription() { return m_strDescription; }
  void SetDescription(const char* text) { m_strDescription = text ? text : ""; }

  // The element reference as a field, for registering the ELEMENT key of the function sections.
  static Field<CFilerElement> GetorefElementName() { return FieldOf(&CPhasor::m_orefElementName); }

  sTrnMeterItem* GetpMeterItems() const { return m_pMeterItems; }
  // Takes ownership of items (an array made with new[]); the previous array is released.
  void SetpMeterItems(sTrnMeterItem* items);
  unsigned int GetTrendOptionMask(int item) const { return m_pMeterItems[item].m_nOptionMask; }

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
  sTrnMeterItem* m_pMeterItems = nullptr;
};

}  // namespace helvo
