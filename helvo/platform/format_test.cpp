#include "helvo/platform/format.h"

#include <gtest/gtest.h>

namespace helvo {
namespace {

TEST(Format, LongTextsAreNotTruncated) {
  const std::string big(5000, 'x');
  const std::string out = Format("<%s|%d|%.7g>", big.c_str(), -42, 0.1);
  EXPECT_EQ(out, "<" + big + "|-42|0.1>");
  EXPECT_EQ(Format("%4.4x", 0xbeu), "00be");
  EXPECT_EQ(Format("%s", ""), "");
  EXPECT_EQ(Format("%s", std::string(255, 'y').c_str()).size(), 255u);
  EXPECT_EQ(Format("%s", std::string(256, 'y').c_str()).size(), 256u);
}

TEST(Format, CaseInsensitiveComparisonIsAsciiOnly) {
  EXPECT_TRUE(EqualsNoCase("NUM_BANKS", "num_banks"));
  EXPECT_TRUE(EqualsNoCase("noch", "NoCh"));
  EXPECT_FALSE(EqualsNoCase("noch", "noc"));
  EXPECT_FALSE(EqualsNoCase("\xC9", "\xE9"));  // bytes above 127 compare as they are
  EXPECT_FALSE(EqualsNoCase("@", "`"));        // neighbours of the letters are not letters
  EXPECT_FALSE(EqualsNoCase("[", "{"));
  EXPECT_EQ(CompareNoCase("abc", "ABD"), -1);
  EXPECT_EQ(CompareNoCase("abc", "AB"), 1);
  EXPECT_EQ(CompareNoCase("", ""), 0);
  EXPECT_EQ(CompareNoCase("a", "\xE9"), -1);  // unsigned byte order
}

}  // namespace
}  // namespace helvo
