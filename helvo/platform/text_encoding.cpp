#include "helvo/platform/text_encoding.h"

#include <algorithm>
#include <cstdint>

namespace helvo {

namespace {

// The code points of 0x80-0x9F; an undefined byte stands for the control character of its own value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Reads one UTF-8 character at text[pos], advancing pos; false for a malformed, overlong or surrogate
// sequence.
bool NextCodePoint(std::string_view text, std::size_t& pos, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  int extra = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    cp = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    cp = lead & 0x1F, extra = 1, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    cp = lead & 0x0F, extra = 2, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    cp = lead & 0x07, extra = 3, min = 0x10000;
  } else {
    return false;
  }
  if (text.size() - pos <= static_cast<std::size_t>(extra)) return false;
  for (int i = 1; i <= extra; ++i) {
    const auto c = static_cast<unsigned char>(text[pos + i]);
    if ((c & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  pos += extra + 1;
  return true;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
  }
  return out;
}

bool Utf8ToCp1252(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    char32_t cp = 0;
    if (!NextCodePoint(text, pos, cp)) return false;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    const auto* hit = std::find(std::begin(kHigh), std::end(kHigh), static_cast<char16_t>(cp));
    if (cp > 0xFFFF || hit == std::end(kHigh)) return false;
    out += static_cast<char>(0x80 + (hit - std::begin(kHigh)));
  }
  return true;
}

}  // namespace helvo
