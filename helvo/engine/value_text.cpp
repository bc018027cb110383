#include "helvo/engine/value_text.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

#include "helvo/platform/format.h"

namespace helvo {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

template <class T>
T Clamp64(std::int64_t v) {
  if (v < static_cast<std::int64_t>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (v > static_cast<std::int64_t>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(v);
}

float ClampToFloat(double v) {
  if (std::isnan(v)) return 0.0f;
  if (v > static_cast<double>(FLT_MAX)) return FLT_MAX;
  if (v < -static_cast<double>(FLT_MAX)) return -FLT_MAX;
  return static_cast<float>(v);
}

double Printable(float value) {
  if (std::isnan(value)) return 0.0;
  if (std::isinf(value)) return value > 0 ? static_cast<double>(FLT_MAX) : -static_cast<double>(FLT_MAX);
  return static_cast<double>(value);
}

// The power of ten of the leading nonzero digit of a decimal number text (digits, optional fraction,
// optional exponent), saturated; "0.00123e2" gives -1. A text without a nonzero digit gives 0.
std::int64_t DecimalMagnitude(std::string_view number) {
  std::int64_t exponent = 0;
  const size_t e = number.find_first_of("eE");
  if (e != std::string_view::npos) {
    exponent = LeadingInteger64(number.substr(e + 1));
    number = number.substr(0, e);
  }
  const size_t point = std::min(number.find('.'), number.size());
  const size_t first = number.find_first_of("123456789");
  if (first == std::string_view::npos) return 0;
  const std::int64_t lead = first < point ? static_cast<std::int64_t>(point - first - 1)
                                          : -static_cast<std::int64_t>(first - point);
  constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 2;
  exponent = std::clamp(exponent, -kLimit, kLimit);
  return lead + exponent;
}

}  // namespace

std::int64_t LeadingInteger64(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate as a negative number so that INT64_MIN is reachable; saturate on overflow.
  std::int64_t v = 0;
  bool overflow = false;
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    const int d = text[i] - '0';
    if (overflow) continue;
    if (v < (kMin + d) / 10) {
      overflow = true;
      continue;
    }
    v = v * 10 - d;
  }
  if (overflow) return negative ? kMin : std::numeric_limits<std::int64_t>::max();
  if (negative) return v;
  return v == kMin ? std::numeric_limits<std::int64_t>::max() : -v;
}

int LeadingInt(std::string_view text) {
  return Clamp64<int>(LeadingInteger64(text));
}

long LeadingLong(std::string_view text) {
  return Clamp64<std::int32_t>(LeadingInteger64(text));
}

unsigned int LeadingUnsigned(std::string_view text) {
  std::int64_t v = LeadingInteger64(text);
  if (v < std::numeric_limits<std::int32_t>::min()) v = std::numeric_limits<std::int32_t>::min();
  if (v > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max()))
    v = std::numeric_limits<std::uint32_t>::max();
  return static_cast<unsigned int>(static_cast<std::uint64_t>(v) & 0xFFFFFFFFu);
}

float LeadingFloat(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t start = i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0f;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + i, v, std::chars_format::general);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves v unchanged; the decimal magnitude decides between underflow and overflow.
    v = DecimalMagnitude(text.substr(start, i - start)) < 0 ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc()) {
    v = 0.0;
  }
  return ClampToFloat(negative ? -v : v);
}

std::uint32_t ParseIPAddress(std::string_view text) {
  if (text.size() > 15) text = text.substr(0, 15);
  std::uint32_t parts[4] = {};
  size_t i = 0;
  for (int k = 0; k < 3; ++k) {
    while (i < text.size() && text[i] == '.') ++i;  // runs of separators count as one
    if (i >= text.size()) return 0;
    const size_t start = i;
    while (i < text.size() && text[i] != '.') ++i;
    parts[k] = static_cast<std::uint32_t>(LeadingInteger64(text.substr(start, i - start))) & 0xFFu;
    if (i < text.size()) ++i;  // the separator that ended this token
  }
  if (i >= text.size()) return 0;
  parts[3] = static_cast<std::uint32_t>(LeadingInteger64(text.substr(i))) & 0xFFu;
  return (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3];
}

std::string FormatIPAddress(std::uint32_t a) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (shift != 24) text += '.';
    text += FormatInteger((a >> shift) & 0xFFu);
  }
  return text;
}

namespace {
// printf's "%.<precision>g" of value: std::to_chars in general form with a precision follows the same
// rules (shortest of fixed and exponent form, trailing zeros dropped, at least two exponent digits)
// without going through the C locale and a format string.
std::string FormatGeneral(double value, int precision) {
  // Most values in a settings file are whole numbers (thresholds, delays, action masks): below
  // 10^precision "%g" writes them as plain integers, which the integer conversion does far faster.
  // A negative zero is left to the general form, which writes its sign.
  static constexpr double kLimit[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
  if (precision >= 1 && precision <= 7 && std::fabs(value) < kLimit[precision] &&
      value == std::trunc(value) && !(value == 0.0 && std::signbit(value)))
    return FormatInteger(static_cast<long long>(value));
  char buffer[32];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  if (ec != std::errc()) return Format("%.*g", precision, value);
  return std::string(buffer, end);
}
}  // namespace

std::string FormatFloatKey(float value) {
  return FormatGeneral(Printable(value), 7);
}
std::string FormatFloatInstance(float value) {
  return FormatGeneral(Printable(value), 6);
}

std::string FormatInteger(long long value) {
  char buffer[24];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;  // 24 characters hold every 64-bit integer
  return std::string(buffer, end);
}

}  // namespace helvo
