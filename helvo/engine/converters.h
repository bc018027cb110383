// Value converters: fields of configuration objects that know their own text form in a settings
// file. The reader hands a converter the value text of its key line (ConvertIn); the writer asks it
// for the text to write (ConvertOut). Converters let the file carry references (elements, signal
// types, phasors, detector states, meters), scaled delays, packed action bits and times while the
// model holds pointers, seconds and flags.
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

#include "helvo/engine/filer.h"
#include "helvo/platform/calendar_time.h"

namespace helvo {

class CPhasor;
class CElementName;
struct sTypesEntry;

// ---------------------------------------------------------------------------------------------
// Reference converters (converters_ref.cpp)
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

  // The phasor index GetPhasorOffset(class) + GetPhasorSpan(class) x (channel - 1) of the current
  // generation (helvo/addressing/). Returns 1 and sets index; returns 0 and leaves index unchanged when
  // there is no function, its channel is not valid, or its class has no phasor block.
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

  // Display names of the five options, in option order, each followed by "\r\n".
  static const char Choices[];

  // Copies the display name of option into buffer (at most size - 1 characters, zero-terminated) and
  // returns buffer. Returns none, and writes nothing, for an option outside 0 to 4, an option
  // Choices has no line for, a null buffer, or size 0.
  static char* GetChoice(eTrendOption option, char* buffer, unsigned int size);

  unsigned int m_nOption = 0;  // eTrendOption value (the OPnn key)
};

// ---------------------------------------------------------------------------------------------
// Value converters (converters_value.cpp)
// ---------------------------------------------------------------------------------------------

// A delay kept in seconds and written as a whole number of 1 / (factor x system frequency) seconds:
// factor 2 counts half cycles, factor 8 eighths of a cycle.
class cfSecondsDelay : public CFilerElement {
  HELVO_DECLARE_RUNTIME(cfSecondsDelay)
 public:
  explicit cfSecondsDelay(int factor = 0) : m_nFactor(factor) {}

  // seconds = count / (factor x sysFreq). While that product is 0 (no system frequency known yet, or
  // factor 0) the count cannot be interpreted and the seconds are left unchanged.
  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  // "%d" of factor x sysFreq x seconds + 0.49, truncated toward zero. A count beyond the int range
  // is written as the nearest end of the range; a NaN count as 0.
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;

  // factor x sysFreq, as a floating-point value.
  float GetScaleFactor(int sysFreq) const;

  int m_nFactor;
  float m_fSeconds = 0.0f;
};

// The actions of a detector, written as one packed number: six one-bit actions in bits 0 to 5, a
// two-bit value in bits 6 and 7 and a three-bit value in bits 8 to 10. Higher bits are dropped on
// reading. The meanings are the recorder's; the library only carries them (bit 4 is Notify, which
// older setting versions do not support).
class CActionBlock : public CFilerElement {
  HELVO_DECLARE_RUNTIME(CActionBlock)
 public:
  static constexpr int kNotifyAction = 4;

  CActionBlock() = default;

  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  // "%u" of GetPacked().
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;

  // The packed form: a nonzero action counts as set; the two- and three-bit values keep their low two
  // and three bits, so no field spills into its neighbour.
  unsigned int GetPacked() const;
  void SetPacked(unsigned int packed);
  bool HasNotify() const { return m_bAction[kNotifyAction] != 0; }

  // The record that holds this block (set by that record when it initialises).
  void SetParent(CFiler* owner) { m_pParent = owner; }
  CFiler* GetParent() const { return m_pParent; }

  CFiler* m_pParent = nullptr;
  int m_bAction[6] = {0, 0, 0, 0, 0, 0};
  int m_nTwoBit = 1;
  int m_nThreeBit = 0;
};

// A date and time, written in local time as "%y %b %d %H:%M:%S" (two-digit year, English month
// abbreviation). Reading through it changes nothing; the identification record reads the load date
// into m_lLoadDate through a plain long key.
class CCfgTime : public CFilerElement {
  HELVO_DECLARE_RUNTIME(CCfgTime)
 public:
  CCfgTime() = default;

  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;

  CalendarTime m_Time;
  long m_lLoadDate = 0;
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

  std::string m_strUnit;
};

}  // namespace helvo
