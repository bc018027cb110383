#include "helvo/platform/text_encoding.h"

#include <gtest/gtest.h>

namespace helvo {
namespace {

TEST(TextEncoding, EveryByteDecodesAndEncodesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1252ToUtf8(all);
  std::string back;
  ASSERT_TRUE(Utf8ToCp1252(utf8, back));
  EXPECT_EQ(back, all);
}

TEST(TextEncoding, KnownCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("M\xFCnchen"), "M\u00FCnchen");
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xA0"), "\u20AC\u0178\u00A0");
  EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
  std::string out;
  ASSERT_TRUE(Utf8ToCp1252("\u2122 \u00FF", out));
  EXPECT_EQ(out, "\x99 \xFF");
}

TEST(TextEncoding, RefusesWhatCannotBeHeld) {
  std::string out;
  for (const char* bad : {"\u0100", "\u0080", "\U0001F600", "\xFC", "\xC0\xAF", "\xE0\x80\x80",
                          "\xED\xA0\x80", "\xE2\x82", "\xF8\x88\x80\x80\x80"})
    EXPECT_FALSE(Utf8ToCp1252(bad, out)) << bad;
}

}  // namespace
}  // namespace helvo
