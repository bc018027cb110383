#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "helvo/engine/converters.h"

namespace helvo {
namespace {

template <class C>
std::string Out(C& conv, int sysFreq, CFiler* owner = nullptr) {
  std::string text;
  EXPECT_EQ(conv.ConvertOut(owner, text, 6, sysFreq), 0u);
  return text;
}
template <class C>
void In(C& conv, std::string text, int sysFreq, CFiler* owner = nullptr) {
  conv.ConvertIn(owner, text, sysFreq);
}

TEST(ValueConverters, SecondsDelayScalesRoundsAndSaturates) {
  cfSecondsDelay halfCycles(2), eighths(8), noFactor;
  In(halfCycles, "30", 60);
  EXPECT_FLOAT_EQ(halfCycles.m_fSeconds, 0.25f);
  EXPECT_EQ(Out(halfCycles, 60), "30");
  In(eighths, "3", 50);
  EXPECT_FLOAT_EQ(eighths.m_fSeconds, 0.0075f);
  halfCycles.m_fSeconds = -0.25f;  // truncated toward zero after adding 0.49
  EXPECT_EQ(Out(halfCycles, 60), "-29");

  // No system frequency yet (no identification section read) or no factor: the count is not
  // interpreted and the seconds keep their value.
  halfCycles.m_fSeconds = 1.5f;
  In(halfCycles, "30", 0);
  EXPECT_EQ(halfCycles.m_fSeconds, 1.5f);
  In(noFactor, "30", 60);
  EXPECT_EQ(noFactor.m_fSeconds, 0.0f);
  EXPECT_EQ(Out(halfCycles, 0), "0");

  // Counts outside the int range saturate; NaN writes 0.
  const float inf = std::numeric_limits<float>::infinity();
  for (auto [seconds, count] : {std::pair{inf, "2147483647"},
                                {1e30f, "2147483647"},
                                {-inf, "-2147483648"},
                                {std::numeric_limits<float>::quiet_NaN(), "0"}}) {
    halfCycles.m_fSeconds = seconds;
    EXPECT_EQ(Out(halfCycles, 60), count) << seconds;
  }
  // A frequency so large that factor x frequency leaves the int range still scales.
  EXPECT_GT(cfSecondsDelay(8).GetScaleFactor(std::numeric_limits<int>::max()), 1.7e10f);
}

TEST(ValueConverters, ActionBlockPacking) {
  CActionBlock block;
  EXPECT_EQ(Out(block, 60), "64");  // default: two-bit value 1
  In(block, "1234", 60);
  EXPECT_EQ(std::vector<int>(std::begin(block.m_bAction), std::end(block.m_bAction)),
            (std::vector<int>{0, 1, 0, 0, 1, 0}));
  EXPECT_EQ(std::pair(block.m_nTwoBit, block.m_nThreeBit), std::pair(3, 4));
  EXPECT_EQ(Out(block, 60), "1234");
  In(block, "4096", 60);  // bits above 10 are dropped
  EXPECT_EQ(Out(block, 60), "0");
  In(block, "-1", 60);
  EXPECT_EQ(Out(block, 60), "2047");
  // Values set out of range by a caller do not spill into the neighbouring bits.
  block.SetPacked(0);
  block.m_nTwoBit = 5;
  block.m_bAction[2] = 7;
  EXPECT_EQ(Out(block, 60), "68");  // bit 2 + (5 & 3) << 6
}

TEST(ValueConverters, TimeIsWrittenWithEnglishMonthsAndReadChangesNothing) {
  const std::string oldLocale = std::setlocale(LC_TIME, nullptr);
  std::setlocale(LC_TIME, "de_DE.UTF-8");  // may be missing; the text must not depend on it
  CCfgTime time;
  time.m_Time = CalendarTime(2024, 3, 4, 9, 5, 3);
  EXPECT_EQ(Out(time, 60), "24 Mar 04 09:05:03");
  In(time, "99 Dec 31 23:59:59", 60);
  EXPECT_EQ(time.m_Time, CalendarTime(2024, 3, 4, 9, 5, 3));
  EXPECT_EQ(time.m_lLoadDate, 0);
  std::setlocale(LC_TIME, oldLocale.c_str());
}

}  // namespace
}  // namespace helvo
