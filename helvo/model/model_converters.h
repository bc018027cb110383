// The converters that refer to objects of the recorder model: the channel number of a function, the
// element, signal type, function, detector state and meter it refers to, a trend entry and the unit
// text. The generic converters are in helvo/engine/converters.h.
//
// The text forms are part of the stored settings-file format; docs/file-format.md describes them.
//
// Reference converters never own what they refer to. Their number / meter fields hold the raw index
// read from the file until the channel group or the configuration resolves the reference; they are
// written from the resolved function, so an unresolved reference writes "-1" (phasors, states,
// trend entries) or no line (other meter references).
#pragma once

#include <atomic>
#include <string>

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"

namespace helvo {

class CPhasor;
class CElementName;
struct sTypesEntry;

// ---------------------------------------------------------------------------------------------
// Reference converters (model_converters.cpp)
// ---------------------------------------------------------------------------------------------

// The channel number of a function (1-based within its channel group's table of the class).
// Reading it files the owning function in its channel group's table (cHelvoDspCfg::Add), so a later
// definition with the same channel number replaces an earlier one.
class CiChannelNumber : public CFilerElement {
  HELVO_DECLARE_RUNTIME(CiChannelNumber)
 public:
  CiChannelNumber() = default;

  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
  bool AlwaysWritesKey() const override { return true; }

  int m_nChannel = -1;
};

// The element a function belongs to, written as the element's name. Reading looks the name up in the
// owner's channel group without regard to letter case and creates the element there when it is
// missing, so a function section may name an element before (or without) its ELEMENT section.
class CrefElementName : public CFilerElement {
  HELVO_DECLARE_RUNTIME(CrefElementName)
 public:
  CrefElementName() = default;

  // Without a channel group (the owner's parent is not one) the reference is left as it was.
  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;

  CElementName* m_pElementName = nullptr;
  int m_nReserved = 0;  // carried for the host; no converter operation uses it
};

// The signal type of a function, written as the type's name.
class CrefTypesEntry : public CFilerElement {
  HELVO_DECLARE_RUNTIME(CrefTypesEntry)
 public:
  CrefTypesEntry() = default;

  // Old files carry some types as numbers: "1", "11" and "19" are replaced by "Vb", "VbSum" and
  // "Vseq" (in text itself) before the lookup. A name no type carries leaves the reference empty.
  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
  bool AlwaysWritesKey() const override { return true; }

  const sTypesEntry* m_pTypesEntry = nullptr;
};

// A reference to a function's phasor, written as its index in the channel group's phasor table.
class CrefPhasor : public CFilerElement {
  HELVO_DECLARE_RUNTIME(CrefPhasor)
 public:
  CrefPhasor() = default;

  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  // "%d" of GetPhasorIndex, or "-1" when there is none.
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
  bool AlwaysWritesKey() const override { return true; }

  // The phasor index GetPhasorOffset(class) + GetPhasorSpan(class) x (channel - 1) at the
  // generation of the function's configuration (helvo/addressing/). Returns 1 and sets index; returns 0 and
  // leaves index unchanged when there is no function, its channel is not valid, or its class has no phasor
  // block.
  int GetPhasorIndex(int& index) const;

  unsigned long GetTypesMask() const { return m_nTypesMask; }
  void SetTypesMask(unsigned long mask) { m_nTypesMask = mask; }

  CPhasor* m_pPhasor = nullptr;
  int m_nNumber = -1;              // raw phasor index as read
  unsigned long m_nTypesMask = 0;  // signal types the owner accepts here (set by the owner)
};

// A reference to one detector state of a function, written as the state's bit index in the channel
// group's detector-state table.
class crefState : public CFilerElement {
  HELVO_DECLARE_RUNTIME(crefState)
 public:
  crefState() = default;

  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  // "%d" of GetStateIndex, or "-1" when there is none.
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
  bool AlwaysWritesKey() const override { return true; }

  // The state's bit index 32 x GetStateOffset(class) + (channel - 1) + number x 32 x W, with
  // W = ceil(FunctionsPerDsp(class) / 32) words per state (helvo/addressing/). Returns 1 and sets
  // index; returns 0 and leaves index unchanged when there is no function, its inputs are not
  // defined, its channel is not valid, or the number is not one of its class's states.
  int GetStateIndex(int& index) const;

  CPhasor* m_pPhasor = nullptr;
  int m_nNumber = 0;  // raw state index as read; the state's number within the function once resolved
};

// A reference to one meter of a function, written as the meter's index in the recorder's meter
// table for the target setting version.
class CrefMeter : public CFilerElement {
  HELVO_DECLARE_RUNTIME(CrefMeter)
 public:
  CrefMeter() = default;

  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  // The meter index (for sequence functions from version 202 on, the RecalcMeterIndex form). When
  // there is no index: "-1" in a trend record, otherwise no line (result 1).
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;

  // The meter index of this reference in a file of the given setting version (helvo/addressing/):
  //   span(c) x (channel - 1) + offset(c) + GetMeterSize(version) x board + meter x k
  // with offset and span from the meter layout of that version (MeterId3_Offset / MeterId3_Span from
  // version 202 on, else the generation tables at the current generation), board counted only below
  // version 201 and k = 2 for sequence functions (class 4) from version 202 on, else 1. Returns 1 and
  // sets index on success; returns 0 and leaves index unchanged when the reference has no function,
  // the function has no channel group, its channel is not valid, its inputs are not defined, the
  // board is not in the current generation, its class has no meters, the meter number is negative or
  // lies beyond the function's own entries, or the entry lies beyond the version's meter table.
  int GetMeterIndex(int& index, int version) const;
  // The same index as a value: the index, or -1 when there is none (valid indexes are never negative).
  int GetMeterIndex(int version) const;

  // As GetMeterIndex, but fails (0) without an owner, and from version 202 on counts a sequence meter
  // with k = 1 instead of 2 when owner is the recorder's PMU meter group (see SetPmuMeterGroupTest).
  int RecalcMeterIndex(int& index, int version, CFiler* owner) const;
  // The same as a value: the index, or -1 when there is none.
  int RecalcMeterIndex(int version, CFiler* owner) const;

  // Whether an object is the PMU meter group (the last meter group, named "PMU" in any letter case)
  // is decided by the meter-group code, which installs its test here; until one is installed no
  // object is the PMU meter group. Returns the test it replaces.
  using PmuMeterGroupTest = bool (*)(const CFiler* owner);
  static PmuMeterGroupTest SetPmuMeterGroupTest(PmuMeterGroupTest test);
  // Whether owner is the PMU meter group by the installed test; false for none or without a test.
  static bool IsPmuMeterGroup(const CFiler* owner);

  CPhasor* m_pPhasor = nullptr;
  int m_nMeter = -1;  // raw meter index as read; the meter's number within the function once resolved

 private:
  int ComputeIndex(int& index, int version, bool pmuGroup) const;
  static std::atomic<PmuMeterGroupTest> s_pfnIsPmuMeterGroup;  // installed by every new meter group
};

// Trend options of a trended meter. Values are stored in settings files (OPnn keys).
enum eTrendOption : int {
  eTrendDamped = 0,
  eTrendUndamped = 1,
  eTrendAvg = 2,
  eTrendMin = 3,
  eTrendMax = 4,
};

// One entry of the trend: a meter reference plus the entry's trend option.
class ceTrendOption : public CrefMeter {
  HELVO_DECLARE_RUNTIME(ceTrendOption)
 public:
  ceTrendOption() = default;

  // Reads the meter index as CrefMeter does.
  // Writes the meter index, or "-1" when there is none (the entry's line is always written).
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
  bool AlwaysWritesKey() const override { return true; }

  // Display names of the five options, in option order, each followed by "\r\n".
  static const char Choices[];

  // Copies the display name of option into buffer (at most size - 1 characters, zero-terminated) and
  // returns buffer. Returns none, and writes nothing, for an option outside 0 to 4, an option
  // Choices has no line for, a null buffer, or size 0.
  static char* GetChoice(eTrendOption option, char* buffer, unsigned int size);

  unsigned int m_nOption = 0;  // eTrendOption value (the OPnn key)
};

// A unit key. The text read is kept, but what is written is the owning function's primary unit, for
// the classes that have one (analog inputs, summations, sequence functions, PF detectors); for any
// other owner the value is written empty.
class cstrUnit : public CFilerElement {
  HELVO_DECLARE_RUNTIME(cstrUnit)
 public:
  cstrUnit() = default;

  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
  bool AlwaysWritesKey() const override { return true; }

  std::string m_strUnit;
};

}  // namespace helvo
