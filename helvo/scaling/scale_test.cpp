#include "helvo/scaling/scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

#include "helvo/platform/format.h"

namespace helvo {
namespace {

// The fields are plain public data of exactly these types: key definitions reach them through member
// pointers (PRI_1 ... SEC_UNIT of an analog channel).
static_assert(std::is_same_v<decltype(cScale::m_fPri1), float>);
static_assert(std::is_same_v<decltype(cScale::m_fSec1), float>);
static_assert(std::is_same_v<decltype(cScale::m_fPri2), float>);
static_assert(std::is_same_v<decltype(cScale::m_fSec2), float>);
static_assert(std::is_same_v<decltype(cScale::m_fFullScale), float>);
static_assert(std::is_same_v<decltype(cScale::m_strPriUnit), std::string>);
static_assert(std::is_same_v<decltype(cScale::m_strSecUnit), std::string>);
static_assert(std::has_virtual_destructor_v<cScale>);
static_assert(std::is_copy_constructible_v<cScale> && std::is_copy_assignable_v<cScale>);

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kMax = std::numeric_limits<float>::max();

cScale Make(float pri1, float sec1, float pri2, float sec2, float fullScale, const char* priUnit,
            const char* secUnit) {
  cScale s;
  s.m_fPri1 = pri1;
  s.m_fSec1 = sec1;
  s.m_fPri2 = pri2;
  s.m_fSec2 = sec2;
  s.m_fFullScale = fullScale;
  s.m_strPriUnit = priUnit;
  s.m_strSecUnit = secUnit;
  return s;
}

// A valid scale whose slope is exactly 2 (primary per secondary), with the given units.
cScale Slope2(const char* priUnit, const char* secUnit) {
  return Make(10, 5, -10, -5, 1, priUnit, secUnit);
}

void ExpectSameFields(const cScale& a, const cScale& b) {
  EXPECT_EQ(a.m_fPri1, b.m_fPri1);
  EXPECT_EQ(a.m_fSec1, b.m_fSec1);
  EXPECT_EQ(a.m_fPri2, b.m_fPri2);
  EXPECT_EQ(a.m_fSec2, b.m_fSec2);
  EXPECT_EQ(a.m_fFullScale, b.m_fFullScale);
  EXPECT_EQ(a.m_strPriUnit, b.m_strPriUnit);
  EXPECT_EQ(a.m_strSecUnit, b.m_strSecUnit);
}

// ---- construction, copy, Initialize ----

TEST(Scale, DefaultIsZeroEmptyAndNotValid) {
  const cScale s;
  EXPECT_EQ(s.m_fPri1, 0.0f);
  EXPECT_EQ(s.m_fSec1, 0.0f);
  EXPECT_EQ(s.m_fPri2, 0.0f);
  EXPECT_EQ(s.m_fSec2, 0.0f);
  EXPECT_EQ(s.m_fFullScale, 0.0f);
  EXPECT_EQ(s.m_strPriUnit, "");
  EXPECT_EQ(s.m_strSecUnit, "");
  EXPECT_STREQ(s.GetPriUnit(), "");
  EXPECT_STREQ(s.GetSecUnit(), "");
  EXPECT_EQ(s.IsValid(), 0);
  EXPECT_EQ(s.GetBaseScale(), 1.0);
  EXPECT_EQ(s.GetSecToPriScale(), 1.0);  // no division by the zero secondary difference
  std::string text = "old";
  s.FormatRatio(text);
  EXPECT_EQ(text, "");
  text = "old";
  s.FormatRatioUnits(text);
  EXPECT_EQ(text, "");
}

TEST(Scale, CopyConstructorAndAssignmentCopyAllSevenFields) {
  const cScale a = Make(1.5f, 2.5f, -3.5f, -4.5f, 7.25f, "kV", "V");
  const cScale b(a);
  ExpectSameFields(b, a);
  cScale c = Make(9, 9, 9, 9, 9, "A", "mA");
  c = a;
  ExpectSameFields(c, a);
  // The copies are independent.
  c.m_strPriUnit = "MV";
  c.m_fPri1 = 0;
  EXPECT_EQ(a.m_strPriUnit, "kV");
  EXPECT_EQ(a.m_fPri1, 1.5f);
}

TEST(Scale, SelfAssignmentChangesNothing) {
  cScale a = Make(1.5f, 2.5f, -3.5f, -4.5f, 7.25f, "kV", "V");
  const cScale before = a;
  cScale& alias = a;
  a = alias;
  ExpectSameFields(a, before);
}

TEST(Scale, InitializeZeroesTheNumbersAndKeepsTheUnits) {
  cScale s = Make(1, 2, 3, 4, 5, "kV", "V");
  s.Initialize();
  EXPECT_EQ(s.m_fPri1, 0.0f);
  EXPECT_EQ(s.m_fSec1, 0.0f);
  EXPECT_EQ(s.m_fPri2, 0.0f);
  EXPECT_EQ(s.m_fSec2, 0.0f);
  EXPECT_EQ(s.m_fFullScale, 0.0f);
  EXPECT_STREQ(s.GetPriUnit(), "kV");
  EXPECT_STREQ(s.GetSecUnit(), "V");
  EXPECT_EQ(s.IsValid(), 0);
}

// ---- validity ----

TEST(ScaleValidity, ValidScale) {
  EXPECT_EQ(Make(0.069f, 69, -0.069f, -69, 1, "kV", "V").IsValid(), 1);
  EXPECT_EQ(Make(-1, -1, 1, 1, 1, "kV", "V").IsValid(), 1);  // differences are taken as absolute values
}

TEST(ScaleValidity, PrimaryDifferenceMustExceedOneHundredth) {
  // The documented example: 1.000 and 1.005 differ by less than 0.01.
  EXPECT_EQ(Make(1.000f, 0, 1.005f, 1, 1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(0, 0, 0, 1, 1, "kV", "V").IsValid(), 0);  // equal primary values
  // No two floats differ by exactly the double 0.01; the floats next to it decide. 0.01f lies just
  // below 0.01, the next float just above it.
  const float below = 0.01f;
  const float above = std::nextafter(0.01f, 1.0f);
  ASSERT_LT(static_cast<double>(below), 0.01);
  ASSERT_GT(static_cast<double>(above), 0.01);
  EXPECT_EQ(Make(below, 0, 0, 1, 1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(above, 0, 0, 1, 1, "kV", "V").IsValid(), 1);
  EXPECT_EQ(Make(0, 0, below, 1, 1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(0, 0, above, 1, 1, "kV", "V").IsValid(), 1);
  EXPECT_EQ(Make(-below, 0, 0, 1, 1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(-above, 0, 0, 1, 1, "kV", "V").IsValid(), 1);
  // 1.01f - 1.0f is 0.00999999..., not more than 0.01.
  EXPECT_EQ(Make(1.01f, 0, 1.0f, 1, 1, "kV", "V").IsValid(), 0);
}

TEST(ScaleValidity, DifferencesAreTakenInDoublePrecision) {
  // The double difference lies just above 0.01, but in float arithmetic it would round to 0.01f,
  // which is below 0.01: only a double-precision test calls this scale valid.
  const float a = std::nextafter(0.01f, 1.0f);
  const float b = 5e-10f;
  const volatile float inFloat = a - b;
  ASSERT_EQ(inFloat, 0.01f);
  ASSERT_GT(static_cast<double>(a) - static_cast<double>(b), 0.01);
  EXPECT_EQ(Make(a, 0, b, 1, 1, "kV", "V").IsValid(), 1);
  EXPECT_EQ(Make(0, a, 1, b, 1, "kV", "V").IsValid(), 1);
}

TEST(ScaleValidity, SecondaryDifferenceMustExceedOneHundredth) {
  const float below = 0.01f;
  const float above = std::nextafter(0.01f, 1.0f);
  EXPECT_EQ(Make(0, 1.000f, 1, 1.005f, 1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(0, 3, 1, 3, 1, "kV", "V").IsValid(), 0);  // equal secondary values
  EXPECT_EQ(Make(0, below, 1, 0, 1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(0, above, 1, 0, 1, "kV", "V").IsValid(), 1);
  EXPECT_EQ(Make(0, 0, 1, below, 1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(0, 0, 1, above, 1, "kV", "V").IsValid(), 1);
  EXPECT_EQ(Make(0, -below, 1, 0, 1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(0, -above, 1, 0, 1, "kV", "V").IsValid(), 1);
}

TEST(ScaleValidity, SecondaryUnitMustNotBeEmptyPrimaryUnitIsNotTested) {
  EXPECT_EQ(Make(1, 1, -1, -1, 1, "kV", "").IsValid(), 0);
  EXPECT_EQ(Make(1, 1, -1, -1, 1, "", "").IsValid(), 0);
  EXPECT_EQ(Make(1, 1, -1, -1, 1, "", "V").IsValid(), 1);
  EXPECT_EQ(Make(1, 1, -1, -1, 1, "anything", "V").IsValid(), 1);
  EXPECT_EQ(Make(1, 1, -1, -1, 1, "kV", " ").IsValid(), 1);  // not empty
}

TEST(ScaleValidity, FullScaleMustBePositive) {
  EXPECT_EQ(Make(1, 1, -1, -1, 0, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(1, 1, -1, -1, -0.0f, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(1, 1, -1, -1, -1, "kV", "V").IsValid(), 0);
  EXPECT_EQ(Make(1, 1, -1, -1, std::numeric_limits<float>::denorm_min(), "kV", "V").IsValid(), 1);
  EXPECT_EQ(Make(1, 1, -1, -1, kMax, "kV", "V").IsValid(), 1);
}

TEST(ScaleValidity, NonFiniteNumbersAreNotValid) {
  const cScale good = Make(1, 1, -1, -1, 1, "kV", "V");
  ASSERT_EQ(good.IsValid(), 1);
  float cScale::*fields[] = {&cScale::m_fPri1, &cScale::m_fSec1, &cScale::m_fPri2, &cScale::m_fSec2,
                             &cScale::m_fFullScale};
  for (float cScale::*field : fields) {
    for (float bad : {kNaN, kInf, -kInf}) {
      cScale s = good;
      s.*field = bad;
      EXPECT_EQ(s.IsValid(), 0) << bad;
      // Every derived value falls back to its neutral form.
      EXPECT_EQ(s.GetSecToPriScale(), 1.0);
      EXPECT_EQ(s.GetBaseScale(), 1.0);
      std::string text;
      s.FormatRatio(text);
      EXPECT_EQ(text, "");
      s.FormatRatioUnits(text);
      EXPECT_EQ(text, "");
      text = "5";
      s.UpdateMagDlgItem(text, 1);
      EXPECT_EQ(text, "5");
    }
  }
}

TEST(ScaleValidity, HugeFiniteNumbersAreValidAndGiveFiniteRatios) {
  // Widened to double, the differences of the largest floats cannot overflow.
  const cScale steep = Make(kMax, 0.02f, -kMax, 0, 1, "kV", "mV");
  ASSERT_EQ(steep.IsValid(), 1);
  const double r = steep.GetSecToPriScale();
  EXPECT_EQ(r, (2.0 * static_cast<double>(kMax)) / static_cast<double>(0.02f));
  EXPECT_TRUE(std::isfinite(steep.GetBaseScale()));
  std::string text;
  steep.FormatRatio(text);
  EXPECT_EQ(text, "3.402824e+46");

  const cScale flat = Make(std::nextafter(0.01f, 1.0f), kMax, 0, -kMax, 1, "mV", "MV");
  ASSERT_EQ(flat.IsValid(), 1);
  EXPECT_GT(flat.GetSecToPriScale(), 0.0);
  EXPECT_GT(flat.GetBaseScale(), 0.0);
  EXPECT_TRUE(std::isfinite(flat.GetBaseScale()));
}

// ---- ratios ----

TEST(ScaleRatio, SecToPriIsTheSlopeInDoublePrecision) {
  const cScale s = Make(0.069f, 69, -0.069f, -69, 1, "kV", "V");
  EXPECT_EQ(s.GetSecToPriScale(), (static_cast<double>(0.069f) - static_cast<double>(-0.069f)) /
                                      (static_cast<double>(69.0f) - static_cast<double>(-69.0f)));
  EXPECT_EQ(Make(110, 2, 10, 1, 1, "V", "V").GetSecToPriScale(), 100.0);
  EXPECT_EQ(Make(-100, 1, 100, -1, 1, "V", "V").GetSecToPriScale(), -100.0);
}

TEST(ScaleRatio, DegenerateScalesGiveTheNeutralRatio) {
  // Equal secondary values: the slope would divide by zero.
  EXPECT_EQ(Make(10, 5, -10, 5, 1, "kV", "V").GetSecToPriScale(), 1.0);
  // Both points equal.
  EXPECT_EQ(Make(3, 5, 3, 5, 1, "kV", "V").GetSecToPriScale(), 1.0);
  // A secondary difference too small for a valid scale.
  EXPECT_EQ(Make(10, 1.000f, -10, 1.005f, 1, "kV", "V").GetSecToPriScale(), 1.0);
  EXPECT_EQ(Make(10, 1.000f, -10, 1.005f, 1, "kV", "V").GetBaseScale(), 1.0);
  // Otherwise valid points with no secondary unit or no full scale.
  EXPECT_EQ(Make(10, 5, -10, -5, 1, "kV", "").GetSecToPriScale(), 1.0);
  EXPECT_EQ(Make(10, 5, -10, -5, 0, "kV", "V").GetBaseScale(), 1.0);
}

struct UnitCase {
  const char* pri;
  const char* sec;
  double expected;  // for a slope of 2, computed in the operation's order: (2 * primary) * secondary
};

TEST(ScaleBase, UnitFactors) {
  const UnitCase cases[] = {
      // Primary kV and kA match without regard to letter case.
      {"kV", "V", (2.0 * 1000.0) * 1.0},
      {"KV", "V", (2.0 * 1000.0) * 1.0},
      {"kv", "V", (2.0 * 1000.0) * 1.0},
      {"Kv", "V", (2.0 * 1000.0) * 1.0},
      {"kA", "A", (2.0 * 1000.0) * 1.0},
      {"KA", "A", (2.0 * 1000.0) * 1.0},
      {"ka", "A", (2.0 * 1000.0) * 1.0},
      {"kA", "mA", (2.0 * 1000.0) * 1000.0},
      // The other primary units match exactly.
      {"V", "V", 2.0},
      {"A", "A", 2.0},
      {"MV", "V", (2.0 * 1000000.0) * 1.0},
      {"MA", "A", (2.0 * 1000000.0) * 1.0},
      {"mV", "V", (2.0 * 0.001) * 1.0},
      {"mA", "A", (2.0 * 0.001) * 1.0},
      // V and A are not matched between the two units.
      {"kV", "A", (2.0 * 1000.0) * 1.0},
      {"V", "A", 2.0},
      {"A", "kV", (2.0 * 1.0) * 0.001},
      // Every secondary unit.
      {"V", "kV", (2.0 * 1.0) * 0.001},
      {"A", "kA", (2.0 * 1.0) * 0.001},
      {"V", "MV", (2.0 * 1.0) * 0.000001},
      {"A", "MA", (2.0 * 1.0) * 0.000001},
      {"V", "mV", (2.0 * 1.0) * 1000.0},
      {"A", "mA", (2.0 * 1.0) * 1000.0},
      {"kV", "kV", (2.0 * 1000.0) * 0.001},
      {"MV", "mV", (2.0 * 1000000.0) * 1000.0},
      {"mA", "MA", (2.0 * 0.001) * 0.000001},
      // Unknown primary units (case matters except for kV/kA): 1.0 at once.
      {"v", "V", 1.0},
      {"a", "A", 1.0},
      {"mv", "V", 1.0},
      {"Mv", "V", 1.0},
      {"MA ", "A", 1.0},
      {" kV", "V", 1.0},
      {"kVA", "V", 1.0},
      {"MVA", "VA", 1.0},
      {"Pri Ohm", "Sec Ohm", 1.0},
      {"", "V", 1.0},
      // Unknown secondary units (all comparisons exact): 1.0, not the slope times the primary factor.
      {"kV", "KV", 1.0},
      {"kV", "kv", 1.0},
      {"kA", "KA", 1.0},
      {"kV", "v", 1.0},
      {"kV", "a", 1.0},
      {"kV", "mv", 1.0},
      {"kV", "VA", 1.0},
      {"MV", "Mv", 1.0},
      {"A", "ma", 1.0},
  };
  for (const UnitCase& c : cases) {
    const cScale s = Slope2(c.pri, c.sec);
    ASSERT_EQ(s.IsValid(), 1);
    EXPECT_EQ(s.GetBaseScale(), c.expected) << "'" << c.pri << "' / '" << c.sec << "'";
  }
}

TEST(ScaleBase, MultipliesSlopeByPrimaryThenBySecondaryFactor) {
  // With a slope of 1.125, (1.125 * 0.001) * 1000 is 1.1250000000000002 in double precision, while
  // 1.125 * (0.001 * 1000) would be 1.125: the order of the multiplications is visible.
  const cScale s = Make(1.125f, 1, 0, 0, 1, "mV", "mV");
  ASSERT_EQ(s.GetSecToPriScale(), 1.125);
  EXPECT_EQ(s.GetBaseScale(), (1.125 * 0.001) * 1000.0);
  EXPECT_NE(s.GetBaseScale(), 1.125);
}

TEST(ScaleBase, DocumentedExamples) {
  const cScale pt = Make(0.069f, 69, -0.069f, -69, 1, "kV", "V");
  std::string text;
  EXPECT_EQ(Format("%.7g", pt.GetSecToPriScale()), "0.001");
  pt.FormatRatio(text);
  EXPECT_EQ(text, "1");
  pt.FormatRatioUnits(text);
  EXPECT_EQ(text, "0.001 kV/V");

  const cScale ct = Make(1200, 5, -1200, -5, 1, "A", "A");
  ct.FormatRatio(text);
  EXPECT_EQ(text, "240");
  ct.FormatRatioUnits(text);
  EXPECT_EQ(text, "240 A/A");

  // KV on the primary side is kilovolts; on the secondary side it matches nothing.
  EXPECT_EQ(Make(0.069f, 69, -0.069f, -69, 1, "KV", "V").GetBaseScale(), pt.GetBaseScale());
  EXPECT_EQ(Make(69, 0.069f, -69, -0.069f, 1, "V", "KV").GetBaseScale(), 1.0);
}

// ---- ratio texts ----

TEST(ScaleText, FormatRatioUsesTheBaseRatioWithSevenSignificantDigits) {
  std::string text = "stale";
  Make(1, 3, 0, 0, 1, "V", "V").FormatRatio(text);
  EXPECT_EQ(text, "0.3333333");
  Make(1234567890.0f, 1, 0, 0, 1, "V", "V").FormatRatio(text);
  EXPECT_EQ(text, "1.234568e+09");
  Make(1, 100000, 0, 0, 1, "V", "V").FormatRatio(text);
  EXPECT_EQ(text, "1e-05");
  Make(1, 10000, 0, 0, 1, "V", "V").FormatRatio(text);
  EXPECT_EQ(text, "0.0001");
  Make(-100, 1, 100, -1, 1, "kV", "V").FormatRatio(text);
  EXPECT_EQ(text, "-100000");
  Make(-100, 1, 100, -1, 1, "kV", "kV").FormatRatio(text);
  EXPECT_EQ(text, "-100");
  // Valid but with units the table does not know: the base ratio is 1.
  Make(-100, 1, 100, -1, 1, "Pri Ohm", "Sec Ohm").FormatRatio(text);
  EXPECT_EQ(text, "1");
  // Not valid: emptied.
  text = "stale";
  Make(-100, 1, 100, -1, 0, "kV", "V").FormatRatio(text);
  EXPECT_EQ(text, "");
}

TEST(ScaleText, FormatRatioUnitsUsesTheSlopeAsWritten) {
  std::string text = "stale";
  Make(1, 3, 0, 0, 1, "kV", "V").FormatRatioUnits(text);
  EXPECT_EQ(text, "0.3333333 kV/V");
  Make(-100, 1, 100, -1, 1, "MVA", "VA").FormatRatioUnits(text);
  EXPECT_EQ(text, "-100 MVA/VA");
  Make(2, 1, 0, 0, 1, "", "V").FormatRatioUnits(text);  // the primary unit may be empty
  EXPECT_EQ(text, "2 /V");
  Make(1234567890.0f, 1, 0, 0, 1, "A", "mA").FormatRatioUnits(text);
  EXPECT_EQ(text, "1.234568e+09 A/mA");
  text = "stale";
  Make(2, 1, 0, 0, 1, "kV", "").FormatRatioUnits(text);
  EXPECT_EQ(text, "");
}

// ---- dialog-item conversions ----

// Slope 100 with offsets: primary = 100 * (secondary - 2) + 110.
cScale Offset() {
  return Make(110, 2, 10, 1, 1, "V", "V");
}

std::string Mag(const cScale& s, std::string text, int toPrimary) {
  s.UpdateMagDlgItem(text, toPrimary);
  return text;
}
std::string Roc(const cScale& s, std::string text, int toPrimary) {
  s.UpdateROCDlgItem(text, toPrimary);
  return text;
}
std::string Mult(const cScale& s, std::string text, int direction, const cScale* other) {
  s.UpdateMultDlgItem(text, direction, other);
  return text;
}

TEST(ScaleDialog, MagnitudeUsesSlopeAndOffsets) {
  const cScale s = Offset();
  EXPECT_EQ(Mag(s, "3", 1), "210");
  EXPECT_EQ(Mag(s, "210", 0), "3");
  EXPECT_EQ(Mag(s, "2", 7), "110");  // any non-zero value means to primary
  EXPECT_EQ(Mag(s, "2", -1), "110");
  EXPECT_EQ(Mag(s, "1", 0), "0.91");
  EXPECT_EQ(Mag(s, "1", 1), "10");
  EXPECT_EQ(Mag(Make(1, 3, 0, 0, 1, "V", "V"), "1", 1), "0.3333333");
}

TEST(ScaleDialog, MagnitudeReadsTheLeadingNumber) {
  const cScale s = Offset();
  // No number converts 0.
  EXPECT_EQ(Mag(s, "abc", 1), "-90");
  EXPECT_EQ(Mag(s, "abc", 0), "0.9");
  EXPECT_EQ(Mag(s, "", 1), "-90");
  EXPECT_EQ(Mag(s, "-", 1), "-90");
  EXPECT_EQ(Mag(s, ".", 1), "-90");
  EXPECT_EQ(Mag(s, "inf", 1), "-90");
  EXPECT_EQ(Mag(s, "nan", 1), "-90");
  EXPECT_EQ(Mag(s, "0x10", 1), "-90");  // reads the 0 before the x
  // The leading numeric part.
  EXPECT_EQ(Mag(s, "3kV", 1), "210");
  EXPECT_EQ(Mag(s, "  +3.5 V", 1), "260");
  EXPECT_EQ(Mag(s, "\t-0.03e2", 1), "-390");
  EXPECT_EQ(Mag(s, "3e", 1), "210");
  EXPECT_EQ(Mag(s, "3e+", 1), "210");
  EXPECT_EQ(Mag(s, ".5", 0), "0.905");
  EXPECT_EQ(Mag(s, "5.", 0), "0.95");
  EXPECT_EQ(Mag(s, "1E1", 1), "910");
  EXPECT_EQ(Mag(s, "1e-999", 1), "-90");  // too small for a double: 0
  // A fraction too small for a double, written without an exponent: 0.
  EXPECT_EQ(Mag(s, "0." + std::string(400, '0') + "1", 1), "-90");
  // Saturating exponents of either sign.
  EXPECT_EQ(Mag(s, "1e-99999999999999999999999999", 1), "-90");
  EXPECT_EQ(Mag(s, "0.001e99999999999999999999999999", 1), "0.001e99999999999999999999999999");
}

TEST(ScaleDialog, NotValidLeavesTheTextUnchanged) {
  const cScale invalid = Make(110, 2, 10, 1, 0, "V", "V");  // no full scale
  EXPECT_EQ(Mag(invalid, "abc", 1), "abc");
  EXPECT_EQ(Mag(invalid, "5", 0), "5");
  EXPECT_EQ(Roc(invalid, "abc", 1), "abc");
  EXPECT_EQ(Roc(invalid, "5", 0), "5");
  const cScale degenerate = Make(110, 2, 10, 2, 1, "V", "V");  // equal secondary values
  EXPECT_EQ(Mag(degenerate, "5", 1), "5");
  EXPECT_EQ(Roc(degenerate, "5", 0), "5");
  EXPECT_EQ(Mag(cScale(), "5", 1), "5");
}

TEST(ScaleDialog, NonFiniteNumbersLeaveTheTextUnchanged) {
  const cScale s = Offset();
  // The number itself is beyond the double range.
  EXPECT_EQ(Mag(s, "1e999", 1), "1e999");
  EXPECT_EQ(Mag(s, "-1e999", 0), "-1e999");
  EXPECT_EQ(Roc(s, "1e99999999999999999999999999", 1), "1e99999999999999999999999999");
  // The converted value would be beyond the double range.
  EXPECT_EQ(Mag(s, "1e307", 1), "1e307");
  EXPECT_EQ(Roc(s, "-1e307", 1), "-1e307");
  // Still finite: converted.
  EXPECT_EQ(Roc(s, "1e306", 1), "1e+308");
  EXPECT_EQ(Roc(s, "1e-300", 0), "1e-302");
}

TEST(ScaleDialog, RateOfChangeUsesTheSlopeWithoutOffsets) {
  const cScale s = Offset();
  EXPECT_EQ(Roc(s, "2", 1), "200");
  EXPECT_EQ(Roc(s, "2", 0), "0.02");
  EXPECT_EQ(Roc(s, "abc", 1), "0");
  EXPECT_EQ(Roc(s, "-7.5", 3), "-750");
  EXPECT_EQ(Roc(Make(3, 1, 0, 0, 1, "V", "V"), "1", 0), "0.3333333");
  EXPECT_EQ(Roc(Make(1, 3, 0, 0, 1, "V", "V"), "12345678", 1), "4115226");
}

TEST(ScaleDialog, MultiplierUsesTheBaseRatiosOfBothScales) {
  const cScale ct = Make(1200, 5, -1200, -5, 1, "A", "A");  // base 240
  const cScale vt = Make(100, 1, -100, -1, 1, "V", "V");    // base 100
  EXPECT_EQ(Mult(ct, "24", 1, &vt), "10");                  // x * other / this
  EXPECT_EQ(Mult(ct, "10", 0, &vt), "24");                  // x * this / other
  EXPECT_EQ(Mult(ct, "10", -2, &vt), "4.166667");           // any non-zero direction
  EXPECT_EQ(Mult(ct, "abc", 0, &vt), "0");
  // The base ratio, not the slope as written: kV on the primary side counts 1000.
  const cScale kvt = Make(0.1f, 1, -0.1f, -1, 1, "kV", "V");  // slope 0.1 kV/V, base 100
  EXPECT_EQ(Mult(ct, "10", 0, &kvt), "24");
  EXPECT_EQ(Mult(ct, "1", 0, &ct), "1");
}

TEST(ScaleDialog, MultiplierNeedsBothScalesValid) {
  const cScale ct = Make(1200, 5, -1200, -5, 1, "A", "A");
  const cScale invalid = Make(1200, 5, -1200, -5, 1, "A", "");
  EXPECT_EQ(Mult(ct, "abc", 1, nullptr), "abc");
  EXPECT_EQ(Mult(ct, "24", 0, nullptr), "24");
  EXPECT_EQ(Mult(ct, "24", 1, &invalid), "24");
  EXPECT_EQ(Mult(invalid, "24", 1, &ct), "24");
  EXPECT_EQ(Mult(invalid, "24", 0, &invalid), "24");
}

TEST(ScaleDialog, MultiplierOverflowLeavesTheTextUnchanged) {
  // The flattest and the steepest valid scales are still finite and non-zero; their quotient is not.
  const cScale flat = Make(std::nextafter(0.01f, 1.0f), kMax, 0, -kMax, 1, "mV", "MV");
  const cScale steep = Make(kMax, 0.02f, -kMax, 0, 1, "MV", "mV");
  ASSERT_GT(flat.GetBaseScale(), 0.0);
  ASSERT_TRUE(std::isfinite(steep.GetBaseScale()));
  EXPECT_EQ(Mult(flat, "1e300", 1, &steep), "1e300");
  EXPECT_EQ(Mult(steep, "1", 1, &flat), "4.318085e-100");  // tiny but finite: converted
}

// ---- change detection ----

TEST(ScaleCopyFrom, IdenticalScaleIsNoChange) {
  cScale a = Make(0.069f, 69, -0.069f, -69, 1, "kV", "V");
  const cScale b = a;
  EXPECT_EQ(a.CopyFrom(b), 0);
  ExpectSameFields(a, b);
  EXPECT_EQ(a.CopyFrom(a), 0);  // from itself
  ExpectSameFields(a, b);
  cScale empty;
  EXPECT_EQ(empty.CopyFrom(cScale()), 0);
}

TEST(ScaleCopyFrom, EveryNumberCounts) {
  const cScale base = Make(1, 2, 3, 4, 5, "kV", "V");
  float cScale::*fields[] = {&cScale::m_fPri1, &cScale::m_fSec1, &cScale::m_fPri2, &cScale::m_fSec2,
                             &cScale::m_fFullScale};
  for (float cScale::*field : fields) {
    cScale other = base;
    other.*field = std::nextafter(base.*field, 100.0f);  // the smallest possible change
    other.m_strPriUnit = "A";
    other.m_strSecUnit = "mA";
    cScale target = base;
    EXPECT_EQ(target.CopyFrom(other), 1);
    ExpectSameFields(target, other);
  }
}

TEST(ScaleCopyFrom, UnitsCompareExactly) {
  cScale a = Make(1, 2, 3, 4, 5, "kV", "V");
  EXPECT_EQ(a.CopyFrom(Make(1, 2, 3, 4, 5, "kv", "V")), 1);
  EXPECT_STREQ(a.GetPriUnit(), "kv");
  EXPECT_EQ(a.CopyFrom(Make(1, 2, 3, 4, 5, "kv", "v")), 1);
  EXPECT_STREQ(a.GetSecUnit(), "v");
  EXPECT_EQ(a.CopyFrom(Make(1, 2, 3, 4, 5, "kv", "v ")), 1);
  EXPECT_EQ(a.CopyFrom(Make(1, 2, 3, 4, 5, "", "v ")), 1);
  EXPECT_EQ(a.CopyFrom(Make(1, 2, 3, 4, 5, "", "v ")), 0);
}

TEST(ScaleCopyFrom, CopiesEvenWhenNothingCounts) {
  // -0 and +0 differ by 0, so no change is reported, but the field is still copied.
  cScale a = Make(0, 2, 3, 4, 5, "kV", "V");
  EXPECT_EQ(a.CopyFrom(Make(-0.0f, 2, 3, 4, 5, "kV", "V")), 0);
  EXPECT_TRUE(std::signbit(a.m_fPri1));
}

TEST(ScaleCopyFrom, NonFiniteNumbersCountAsChange) {
  // NaN and infinite differences are never exactly 0.
  cScale a = Make(kNaN, 2, 3, 4, 5, "kV", "V");
  EXPECT_EQ(a.CopyFrom(Make(kNaN, 2, 3, 4, 5, "kV", "V")), 1);
  cScale b = Make(kInf, 2, 3, 4, 5, "kV", "V");
  EXPECT_EQ(b.CopyFrom(Make(kInf, 2, 3, 4, 5, "kV", "V")), 1);
  EXPECT_EQ(b.m_fPri1, kInf);
  // Huge finite differences are ordinary changes.
  cScale c = Make(kMax, 2, 3, 4, 5, "kV", "V");
  EXPECT_EQ(c.CopyFrom(Make(-kMax, 2, 3, 4, 5, "kV", "V")), 1);
  EXPECT_EQ(c.m_fPri1, -kMax);
}

}  // namespace
}  // namespace helvo
