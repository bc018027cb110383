// Scale factors: how a quantity measured in secondary units (what the recorder's input
// sees, e.g. volts at a transducer) relates to the same quantity in primary units (what the power
// system carries, e.g. kilovolts on the line). The relation is the straight line through two
// (primary, secondary) points, plus the two unit texts and a full-scale value.
//
// Every phasor-producing function holds one cScale by value in its CPhasor base. An analog input
// channel keys the seven fields directly (PRI_1, SEC_1, PRI_2, SEC_2, FULL_SCALE, PRI_UNIT, SEC_UNIT),
// so the fields are public data members that key definitions reach through member pointers, e.g.
// Field<float>::Of(&CAnalogCfg::m_Scale, &cScale::m_fPri1).
//
// Arithmetic guarantees (beyond the original, which left these cases undefined):
// - A scale whose five numbers are not all finite is not valid (IsValid), so for every valid scale
//   GetSecToPriScale and GetBaseScale are finite and non-zero.
// - GetSecToPriScale never divides by a zero secondary difference: on a scale that is not valid it
//   returns 1.0, the same neutral ratio GetBaseScale gives.
// - The dialog-item conversions leave the text unchanged when the converted value would not be a
//   finite number.
// No operation converts a floating-point value to an integer.
#pragma once

#include <string>

namespace helvo {

class cScale {
 public:
  // All five numbers 0, both units empty: not valid.
  cScale() = default;
  // Copy all seven fields; assigning a scale to itself changes nothing.
  cScale(const cScale& other) = default;
  cScale& operator=(const cScale& other) = default;
  virtual ~cScale() = default;

  // Sets the five numbers to 0; leaves both unit texts as they are.
  void Initialize();

  // 1 (valid) when all of these hold, else 0; tests are done in double precision on the fields:
  //   |m_fPri1 - m_fPri2| > 0.01, |m_fSec1 - m_fSec2| > 0.01 (a difference of exactly 0.01 is not
  //   valid), m_strSecUnit is not empty (the primary unit is not tested), m_fFullScale > 0, and
  //   (this library's addition) all five numbers are finite.
  int IsValid() const;

  // Copies all fields of other. Returns 1 when anything changed: the sum of the absolute differences
  // of the five numbers is not exactly 0 (a NaN in either scale counts as a change), or a unit text
  // differs (exact comparison, letter case included); else 0.
  int CopyFrom(const cScale& other);

  // The slope of the line, primary per secondary in the units as written:
  // (pri1 - pri2) / (sec1 - sec2), each float widened to double first. Meant for valid scales
  // (callers test IsValid first); a scale that is not valid gives 1.0.
  double GetSecToPriScale() const;

  // The slope converted to base units (volts per volt, amperes per ampere); 1.0 when the scale is not
  // valid or either unit is not one of those below. Primary unit factors, tested in this order:
  // "kV" then "kA" without regard to letter case: 1000; exactly "V" or "A": 1; "MV" or "MA": 1000000;
  // "mV" or "mA": 0.001. Secondary unit factors, exact comparisons only: "V" or "A": 1; "kV" or "kA":
  // 0.001; "MV" or "MA": 0.000001; "mV" or "mA": 1000. V and A are not matched between the two units.
  // Computed as (GetSecToPriScale() * primary factor) * secondary factor.
  double GetBaseScale() const;

  // text = "%.7g" of GetBaseScale() when the scale is valid, else "".
  void FormatRatio(std::string& text) const;
  // text = "%.7g %s/%s" of GetSecToPriScale(), primary unit, secondary unit when the scale is valid
  // (e.g. "0.001 kV/V"), else "".
  void FormatRatioUnits(std::string& text) const;

  // The editing dialogs' conversions. Each takes the text an edit field holds, reads its leading
  // decimal number x (optional white space, sign, digits, fraction, exponent; 0 when there is none;
  // "inf", "nan" and hexadecimal forms read as 0; a magnitude beyond the double range reads as
  // infinite), and replaces the text by the "%.7g" form of the converted value. The text is left
  // unchanged when a scale involved is not valid or when x or the converted value is not finite.
  //
  // Magnitude, with r = GetSecToPriScale(): toPrimary non-zero: r * (x - sec1) + pri1;
  // toPrimary zero: (x - pri1) / r + sec1.
  void UpdateMagDlgItem(std::string& text, int toPrimary) const;
  // Rate of change: r * x when toPrimary is non-zero, x / r when it is zero.
  void UpdateROCDlgItem(std::string& text, int toPrimary) const;
  // Multiplier between this scale and other (none counts as not valid): direction non-zero:
  // x * other.GetBaseScale() / GetBaseScale(); direction zero: x * GetBaseScale() / other.GetBaseScale().
  void UpdateMultDlgItem(std::string& text, int direction, const cScale* other) const;

  const char* GetPriUnit() const { return m_strPriUnit.c_str(); }
  const char* GetSecUnit() const { return m_strSecUnit.c_str(); }

  // Fields, in this order (the order of the original's record). Keys name the analog channel's keys.
  float m_fPri1 = 0.0f;       // PRI_1: primary value of point 1, in the primary unit
  float m_fSec1 = 0.0f;       // SEC_1: secondary value of point 1, in the secondary unit
  float m_fPri2 = 0.0f;       // PRI_2: primary value of point 2, in the primary unit
  float m_fSec2 = 0.0f;       // SEC_2: secondary value of point 2, in the secondary unit
  float m_fFullScale = 0.0f;  // FULL_SCALE: largest secondary value the input measures (secondary unit)
  std::string m_strPriUnit;   // PRI_UNIT: primary unit text from the unit table ("kV", "A", ...)
  std::string m_strSecUnit;   // SEC_UNIT: secondary unit text from the unit table ("V", "mA", ...)
};

}  // namespace helvo
