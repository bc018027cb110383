#include "helvo/scaling/scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace helvo {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kMax = std::numeric_limits<float>::max();
const float kAbove = std::nextafter(0.01f, 1.0f);  // the first float whose double lies above 0.01

cScale Make(float pri1, float sec1, float pri2, float sec2, float fullScale = 1, const char* priUnit = "kV",
            const char* secUnit = "V") {
  cScale s;
  s.m_fPri1 = pri1, s.m_fSec1 = sec1, s.m_fPri2 = pri2, s.m_fSec2 = sec2, s.m_fFullScale = fullScale;
  s.m_strPriUnit = priUnit, s.m_strSecUnit = secUnit;
  return s;
}

std::string Fields(const cScale& s) {
  return std::to_string(s.m_fPri1) + " " + std::to_string(s.m_fSec1) + " " + std::to_string(s.m_fPri2) + " " +
         std::to_string(s.m_fSec2) + " " + std::to_string(s.m_fFullScale) + " " + s.GetPriUnit() + "/" +
         s.GetSecUnit();
}
// clang-format off
std::string Ratio(const cScale& s) { std::string t = "stale"; s.FormatRatio(t); return t; }
std::string RatioUnits(const cScale& s) { std::string t = "stale"; s.FormatRatioUnits(t); return t; }
std::string Mag(const cScale& s, std::string t, int toPri) { s.UpdateMagDlgItem(t, toPri); return t; }
std::string Roc(const cScale& s, std::string t, int toPri) { s.UpdateROCDlgItem(t, toPri); return t; }
std::string Mult(const cScale& s, std::string t, int dir, const cScale* o) { s.UpdateMultDlgItem(t, dir, o); return t; }
// clang-format on

TEST(Scale, DefaultCopyAndInitialize) {
  const cScale empty;
  EXPECT_EQ(empty.IsValid(), 0);
  EXPECT_EQ(empty.GetSecToPriScale(), 1.0);  // no division by the zero secondary difference
  EXPECT_EQ(Ratio(empty) + RatioUnits(empty), "");
  const cScale a = Make(1.5f, 2.5f, -3.5f, -4.5f, 7.25f, "kV", "V");
  cScale b = Make(9, 9, 9, 9, 9, "A", "mA");
  b = a;
  EXPECT_EQ(Fields(b), Fields(a));
  b = static_cast<const cScale&>(b);  // self-assignment
  b.Initialize();
  EXPECT_EQ(Fields(b), Fields(Make(0, 0, 0, 0, 0, "kV", "V")));  // the units stay
}

TEST(ScaleValidity, Boundaries) {
  ASSERT_LT(static_cast<double>(0.01f), 0.01);
  ASSERT_GT(static_cast<double>(kAbove), 0.01);
  // The double difference lies just above 0.01, but in float arithmetic it would be 0.01f.
  const float tiny = 5e-10f;
  // clang-format off
  const struct { cScale scale; int valid; } cases[] = {
      {Make(-1, -1, 1, 1), 1},  // differences are absolute
      {Make(1.000f, 0, 1.005f, 1), 0}, {Make(0, 1.000f, 1, 1.005f), 0},  // the documented example
      {Make(0.01f, 0, 0, 1), 0},       {Make(0, 0, -kAbove, 1), 1},        {Make(0, -0.01f, 1, 0), 0},
      {Make(0, 0, 1, -kAbove), 1},     {Make(1.01f, 0, 1.0f, 1), 0},       {Make(kAbove, 0, tiny, 1), 1},
      {Make(1, 1, -1, -1, 1, "kV", ""), 0}, {Make(1, 1, -1, -1, 1, "", "V"), 1},  // primary unit untested
      {Make(1, 1, -1, -1, 0), 0}, {Make(1, 1, -1, -1, -1), 0},
      {Make(1, 1, -1, -1, std::numeric_limits<float>::denorm_min()), 1}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(c.scale.IsValid(), c.valid) << Fields(c.scale);

  // Non-finite numbers are not valid, and everything derived falls back to its neutral form.
  for (float cScale::*field :
       {&cScale::m_fPri1, &cScale::m_fSec1, &cScale::m_fPri2, &cScale::m_fSec2, &cScale::m_fFullScale}) {
    for (float bad : {kNaN, kInf, -kInf}) {
      cScale s = Make(1, 1, -1, -1);
      s.*field = bad;
      EXPECT_EQ(s.IsValid(), 0) << bad;
      EXPECT_EQ(s.GetSecToPriScale(), 1.0);
      EXPECT_EQ(s.GetBaseScale(), 1.0);
      EXPECT_EQ(Ratio(s) + RatioUnits(s) + Mag(s, "5", 1), "5");
    }
  }
}

TEST(ScaleRatio, SlopeUnitFactorsAndTexts) {
  EXPECT_EQ(Make(-100, 1, 100, -1).GetSecToPriScale(), -100.0);
  EXPECT_EQ(Make(0.069f, 69, -0.069f, -69).GetSecToPriScale(),
            (double{0.069f} - double{-0.069f}) / (double{69.0f} - double{-69.0f}));  // in double precision
  EXPECT_EQ(Make(10, 5, -10, 5).GetSecToPriScale(), 1.0);                            // would divide by zero
  EXPECT_EQ(Make(10, 5, -10, -5, 0).GetBaseScale(), 1.0);
  // The largest floats, widened to double, give finite ratios.
  const cScale steep = Make(kMax, 0.02f, -kMax, 0, 1, "kV", "mV");
  EXPECT_EQ(steep.GetSecToPriScale(), (2.0 * kMax) / double{0.02f});
  EXPECT_EQ(Ratio(steep), "3.402824e+46");
  const cScale flat = Make(kAbove, kMax, 0, -kMax, 1, "mV", "MV");
  EXPECT_GT(flat.GetBaseScale(), 0.0);
  // Slope 2; expected values in the operation's order: (slope * primary factor) * secondary factor.
  // clang-format off
  const struct { const char *pri, *sec; double expected; } cases[] = {
      {"ka", "A", 2000.0},  // kV and kA: any letter case
      {"kV", "A", 2000.0}, {"A", "MV", 2.0 * 0.000001},  // V and A are not matched between the units
      {"MV", "mV", (2.0 * 1000000.0) * 1000.0}, {"mA", "MA", (2.0 * 0.001) * 0.000001},
      {"mv", "V", 1.0}, {" kV", "V", 1.0}, {"kVA", "V", 1.0}, {"kV", "kv", 1.0}};  // unknown
  // clang-format on
  for (const auto& c : cases) {
    const cScale s = Make(10, 5, -10, -5, 1, c.pri, c.sec);
    EXPECT_EQ(s.GetBaseScale(), c.expected) << "'" << c.pri << "' / '" << c.sec << "'";
  }
  // (1.125 * 0.001) * 1000 is not 1.125 in double precision: the order of the products shows.
  EXPECT_EQ(Make(1.125f, 1, 0, 0, 1, "mV", "mV").GetBaseScale(), (1.125 * 0.001) * 1000.0);
  const cScale pt = Make(0.069f, 69, -0.069f, -69, 1, "kV", "V");  // the documented examples
  EXPECT_EQ(Ratio(pt), "1");
  EXPECT_EQ(RatioUnits(pt), "0.001 kV/V");
  const cScale ct = Make(1200, 5, -1200, -5, 1, "A", "A");
  EXPECT_EQ(Ratio(ct) + " " + RatioUnits(ct), "240 240 A/A");
  EXPECT_EQ(Ratio(Make(1, 3, 0, 0, 1, "V", "V")) + " " + Ratio(Make(1, 100000, 0, 0, 1, "V", "V")),
            "0.3333333 1e-05");
  EXPECT_EQ(RatioUnits(Make(-100, 1, 100, -1, 1, "MVA", "VA")), "-100 MVA/VA");
  EXPECT_EQ(RatioUnits(Make(2, 1, 0, 0, 1, "", "V")), "2 /V");
  EXPECT_EQ(Ratio(Make(2, 1, 0, 0, 0)) + RatioUnits(Make(2, 1, 0, 0, 1, "kV", "")), "");  // not valid
}

TEST(ScaleDialog, MagnitudeRateOfChangeAndMultiplier) {
  const cScale s = Make(110, 2, 10, 1, 1, "V", "V");  // primary = 100 * (secondary - 2) + 110
  EXPECT_EQ(Mag(s, "210", 0), "3");
  EXPECT_EQ(Mag(s, "2", -1), "110");  // any non-zero value means to primary
  EXPECT_EQ(Roc(s, "2", 1), "200");
  EXPECT_EQ(Roc(s, "2", 0), "0.02");
  EXPECT_EQ(Roc(Make(1, 3, 0, 0, 1, "V", "V"), "12345678", 1), "4115226");
  // The leading number of the text; none, "inf", "nan" and hexadecimal read as 0.
  for (const char* zero : {"abc", "", "-", "inf", "nan", "0x10", "1e-99999999999999999999999"})
    EXPECT_EQ(Mag(s, zero, 1), "-90") << zero;
  EXPECT_EQ(Mag(s, "0." + std::string(400, '0') + "1", 1), "-90");
  for (const char* three : {"3", "3e+", " +3.0 V"}) EXPECT_EQ(Mag(s, three, 1), "210") << three;
  EXPECT_EQ(Mag(s, "\t-0.03e2", 1), "-390");
  // Numbers, or converted values, beyond the double range leave the text as it was.
  for (const char* huge : {"0.001e99999999999999999999999999", "1e307"}) EXPECT_EQ(Mag(s, huge, 1), huge);
  EXPECT_EQ(Roc(s, "-1e307", 1), "-1e307");
  EXPECT_EQ(Roc(s, "1e306", 1), "1e+308");  // still finite: converted
  // A scale that is not valid leaves the text as it was.
  for (const cScale& bad : {Make(110, 2, 10, 1, 0), cScale()}) {
    EXPECT_EQ(Mag(bad, "abc", 1), "abc");
    EXPECT_EQ(Roc(bad, "5", 0), "5");
  }
  const cScale ct = Make(1200, 5, -1200, -5, 1, "A", "A");    // base 240
  const cScale vt = Make(100, 1, -100, -1, 1, "V", "V");      // base 100
  const cScale kvt = Make(0.1f, 1, -0.1f, -1, 1, "kV", "V");  // slope 0.1, base 100
  EXPECT_EQ(Mult(ct, "24", 1, &vt), "10");                    // x * other / this
  EXPECT_EQ(Mult(ct, "10", 0, &kvt), "24");                   // x * this / other, with base ratios
  EXPECT_EQ(Mult(ct, "10", -2, &vt), "4.166667");
  const cScale invalid = Make(1200, 5, -1200, -5, 1, "A", "");
  EXPECT_EQ(Mult(ct, "abc", 1, nullptr), "abc");
  EXPECT_EQ(Mult(ct, "24", 1, &invalid) + Mult(invalid, "24", 0, &ct), "2424");
  // The flattest and steepest valid scales: their quotient overflows, the reverse is tiny but finite.
  const cScale flat = Make(kAbove, kMax, 0, -kMax, 1, "mV", "MV");
  const cScale steep = Make(kMax, 0.02f, -kMax, 0, 1, "MV", "mV");
  EXPECT_EQ(Mult(flat, "1e300", 1, &steep), "1e300");
  EXPECT_EQ(Mult(steep, "1", 1, &flat), "4.318085e-100");
}

TEST(ScaleCopyFrom, ReportsChanges) {
  cScale a = Make(1, 2, 3, 4, 5, "kV", "V");
  EXPECT_EQ(a.CopyFrom(Make(1, 2, 3, 4, 5, "kV", "V")), 0);
  for (float cScale::*field :
       {&cScale::m_fPri1, &cScale::m_fSec1, &cScale::m_fPri2, &cScale::m_fSec2, &cScale::m_fFullScale}) {
    cScale other = Make(1, 2, 3, 4, 5, "A", "mA");
    other.*field = std::nextafter(other.*field, 100.0f);  // the smallest possible change
    cScale target = Make(1, 2, 3, 4, 5, "A", "mA");
    EXPECT_EQ(target.CopyFrom(other), 1);
    EXPECT_EQ(Fields(target), Fields(other));
  }
  EXPECT_EQ(a.CopyFrom(Make(1, 2, 3, 4, 5, "kv", "V ")), 1);  // units compare exactly
  EXPECT_STREQ(a.GetSecUnit(), "V ");
  a.m_fPri1 = 0;
  EXPECT_EQ(a.CopyFrom(Make(-0.0f, 2, 3, 4, 5, "kv", "V ")), 0);  // not a change, yet copied
  EXPECT_TRUE(std::signbit(a.m_fPri1));
  cScale nan = Make(kNaN, 2, 3, 4, 5);  // NaN and infinite differences are never exactly 0
  EXPECT_EQ(nan.CopyFrom(Make(kNaN, 2, 3, 4, 5)), 1);
  cScale inf = Make(kInf, 2, 3, 4, 5);
  EXPECT_EQ(inf.CopyFrom(Make(kInf, 2, 3, 4, 5)), 1);
}

}  // namespace
}  // namespace helvo
