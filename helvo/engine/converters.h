// Value converters: fields of configuration objects that know their own text form in a settings
// file. The reader hands a converter the value text of its key line (ConvertIn); the writer asks it
// for the text to write (ConvertOut). The generic ones are here: scaled delays, packed action bits
// and times. The converters that refer to objects of the recorder model (elements, signal types,
// functions, detector states, meters, units) are next to the model, in helvo/model/model_converters.h.
//
// The text forms are part of the stored settings-file format; docs/file-format.md describes them.
#pragma once

#include <string>

#include "helvo/engine/filer.h"
#include "helvo/platform/calendar_time.h"

namespace helvo {

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
  bool AlwaysWritesKey() const override { return true; }

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
  bool AlwaysWritesKey() const override { return true; }

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

}  // namespace helvo
