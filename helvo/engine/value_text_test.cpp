#include "helvo/engine/value_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "helvo/platform/format.h"

namespace helvo {
namespace {

TEST(ValueText, IntegersTakeTheLeadingNumberAndSaturateAtTheirRange) {
  // clang-format off
  const std::pair<const char*, int> ints[] = {
      {"12abc", 12}, {"abc", 0}, {"0x10", 0}, {" \t-7", -7}, {"+5", 5}, {"- 5", 0}, {"", 0}, {"\xE9" "5", 0},
      {"2147483648", INT32_MAX}, {"-2147483648", INT32_MIN}, {"-99999999999999999999999", INT32_MIN}};
  // clang-format on
  for (auto [text, value] : ints) EXPECT_EQ(LeadingInt(text), value) << text;
  EXPECT_EQ(LeadingLong("99999999999"), 2147483647L);  // 32 bits, as on the recorder
  EXPECT_EQ(LeadingLong("-99999999999"), -2147483647L - 1);
  EXPECT_EQ(LeadingUnsigned("4294967296"), 4294967295u);
  EXPECT_EQ(LeadingUnsigned("-1"), 4294967295u);
  EXPECT_EQ(LeadingUnsigned("-99999999999"), 2147483648u);
  EXPECT_EQ(LeadingInteger64("9223372036854775808"), INT64_MAX);
  EXPECT_EQ(LeadingInteger64("-9223372036854775809"), INT64_MIN);
}

TEST(ValueText, FloatsReadDecimalFormsOnlyAndSaturate) {
  const std::string zeros(400, '0');
  // Magnitudes too small for a float give 0, with or without an exponent; too large ones saturate.
  // clang-format off
  const std::pair<std::string, float> floats[] = {
      {"1.5e3V", 1500.0f}, {" -.5", -0.5f}, {"5.", 5.0f}, {"2e+", 2.0f}, {"0.1", 0.1f}, {"1e39", FLT_MAX},
      {"-1e400", -FLT_MAX}, {"1" + zeros, FLT_MAX}, {"1e-400", 0.0f}, {"0." + zeros + "1", 0.0f},
      {"0." + zeros + "1e+300", 0.0f}, {"1" + zeros + "e-500", 0.0f}, {"0." + zeros + "1e+500", FLT_MAX},
      {"0e99999999999999999999", 0.0f}};
  // clang-format on
  for (const auto& [text, value] : floats) EXPECT_EQ(LeadingFloat(text), value) << text;
  for (const char* zero : {"", ".", "-", "inf", "nan", "e5", "0x1p3"})
    EXPECT_EQ(LeadingFloat(zero), 0.0f) << zero;

  // What the writer prints always reads back.
  EXPECT_EQ(FormatFloatKey(0.1f), "0.1");
  EXPECT_EQ(FormatFloatKey(1234567.0f), "1234567");
  EXPECT_EQ(FormatFloatInstance(1234567.0f), "1.23457e+06");
  EXPECT_EQ(FormatFloatKey(std::numeric_limits<float>::quiet_NaN()), "0");
  EXPECT_EQ(FormatFloatKey(std::numeric_limits<float>::infinity()), "3.402823e+38");
  EXPECT_EQ(FormatFloatInstance(-std::numeric_limits<float>::infinity()), "-3.40282e+38");
  EXPECT_NEAR(LeadingFloat("3.402823e+38"), FLT_MAX, FLT_MAX * 1e-6);
}

// The writer formats without printf; its text must stay the very text printf gives ("%.7g" for keys,
// "%g" for section headers, "%d"/"%u" for integers), or saved files would change.
TEST(ValueText, FormattingGivesPrintfTextForEveryKindOfValue) {
  std::mt19937 random(7);
  std::vector<float> values = {0.0f,  -0.0f,   1.0f,      0.1f,         66.4f,
                               1e-5f, 1e-4f,   123456.5f, 9999999.0f,   1e7f,
                               1e16f, FLT_MIN, FLT_MAX,   FLT_TRUE_MIN, 0.00012345678f};
  for (int i = 0; i < 20000; ++i) {
    const std::uint32_t bits = static_cast<std::uint32_t>(random());
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (std::isfinite(f)) values.push_back(f);
  }
  for (int i = 0; i < 2000; ++i) values.push_back(static_cast<float>(random() % 2000000) / 1000.0f);
  for (float f : values) {
    const double d = f;
    ASSERT_EQ(FormatFloatKey(f), Format("%.7g", d)) << Format("%a", d);
    ASSERT_EQ(FormatFloatInstance(f), Format("%g", d)) << Format("%a", d);
  }
  for (long long v : {0LL, -1LL, 7LL, -2147483648LL, 2147483647LL, 4294967295LL})
    EXPECT_EQ(FormatInteger(v), Format("%lld", v));
}

TEST(ValueText, AddressesTakeFourDottedPartsModulo256) {
  EXPECT_EQ(ParseIPAddress("192.168.10.255"), 0xC0A80AFFu);
  EXPECT_EQ(ParseIPAddress("10.1.2.300"), 0x0A01022Cu);
  EXPECT_EQ(ParseIPAddress("..10..1.2.3"), 0x0A010203u);
  EXPECT_EQ(ParseIPAddress("1.2.3..4"), 0x01020300u);  // the fourth part is the rest after one dot
  EXPECT_EQ(ParseIPAddress("-1.2.3.4"), 0xFF020304u);
  EXPECT_EQ(ParseIPAddress("1.2.3.4567890123456"), 0x01020300u | (456789012u & 0xFF));  // 15 characters
  for (const char* bad : {"", "10.1.2", "10.1.2.", "...", "1.2"}) EXPECT_EQ(ParseIPAddress(bad), 0u) << bad;
  EXPECT_EQ(FormatIPAddress(0xC0A80AFFu), "192.168.10.255");
}

}  // namespace
}  // namespace helvo
