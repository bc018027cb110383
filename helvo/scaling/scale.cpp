#include "helvo/scaling/scale.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

#include "helvo/platform/format.h"

namespace helvo {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The leading decimal number of an edit field's text, as the dialogs read it: optional white space,
// optional sign, digits with an optional fraction, an optional exponent; nothing else counts ("inf",
// "nan" and hexadecimal forms give 0). No digits gives 0. A magnitude beyond the double range gives
// an infinity of its sign; one too small for it gives 0.
double LeadingDouble(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t start = i;
  size_t digits = 0;
  constexpr long long kExponentCap = 100000000000000000LL;  // 1e17
  // Decimal exponent of the first non-zero digit relative to the point, for telling overflow from
  // underflow: counts integer digits from the first non-zero one, or minus the zeros after the point
  // (bounded by the text's length).
  long long magnitude = 0;
  bool nonZeroSeen = false;
  while (i < text.size() && IsDigit(text[i])) {
    if (text[i] != '0') nonZeroSeen = true;
    if (nonZeroSeen) ++magnitude;
    ++i, ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      if (!nonZeroSeen) {
        if (text[i] != '0')
          nonZeroSeen = true;
        else
          --magnitude;
      }
      ++i, ++digits;
    }
  }
  if (digits == 0) return 0.0;
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) {
        // Saturates far beyond any text length, so magnitude + exponent keeps its sign and never overflows.
        if (exponent < kExponentCap) exponent = exponent * 10 + (text[j] - '0');
        ++j;
      }
      if (negativeExponent) exponent = -exponent;
      i = j;
    }
  }
  double v = 0.0;
  const auto result = std::from_chars(text.data() + start, text.data() + i, v, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves v unchanged; a number whose first significant digit lies above the point
    // overflowed, any other underflowed.
    v = nonZeroSeen && magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc()) {
    v = 0.0;
  }
  return negative ? -v : v;
}

// Writes value into text with "%.7g" unless it is not finite (then text is left as it is).
void SetDlgNumber(std::string& text, double value) {
  if (std::isfinite(value)) text = Format("%.7g", value);
}

}  // namespace

void cScale::Initialize() {
  m_fPri1 = 0.0f;
  m_fSec1 = 0.0f;
  m_fPri2 = 0.0f;
  m_fSec2 = 0.0f;
  m_fFullScale = 0.0f;
}

int cScale::IsValid() const {
  // A NaN fails every comparison below by itself; an infinity would pass them, so it is excluded
  // explicitly to keep the slope of every valid scale finite and non-zero.
  if (!std::isfinite(m_fPri1) || !std::isfinite(m_fSec1) || !std::isfinite(m_fPri2) ||
      !std::isfinite(m_fSec2) || !std::isfinite(m_fFullScale))
    return 0;
  if (!(std::fabs(static_cast<double>(m_fPri1) - static_cast<double>(m_fPri2)) > 0.01)) return 0;
  if (!(std::fabs(static_cast<double>(m_fSec1) - static_cast<double>(m_fSec2)) > 0.01)) return 0;
  if (m_strSecUnit.empty()) return 0;
  if (!(static_cast<double>(m_fFullScale) > 0.0)) return 0;
  return 1;
}

int cScale::CopyFrom(const cScale& other) {
  const double sum = std::fabs(static_cast<double>(m_fPri1) - static_cast<double>(other.m_fPri1)) +
                     std::fabs(static_cast<double>(m_fSec1) - static_cast<double>(other.m_fSec1)) +
                     std::fabs(static_cast<double>(m_fPri2) - static_cast<double>(other.m_fPri2)) +
                     std::fabs(static_cast<double>(m_fSec2) - static_cast<double>(other.m_fSec2)) +
                     std::fabs(static_cast<double>(m_fFullScale) - static_cast<double>(other.m_fFullScale));
  int changed = 0;
  if (sum != 0.0)  // NaN != 0: a NaN counts as a change
    changed = 1;
  else if (m_strPriUnit != other.m_strPriUnit)
    changed = 1;
  else if (m_strSecUnit != other.m_strSecUnit)
    changed = 1;
  *this = other;
  return changed;
}

double cScale::GetSecToPriScale() const {
  if (!IsValid()) return 1.0;  // never divide by a zero (or meaningless) secondary difference
  return (static_cast<double>(m_fPri1) - static_cast<double>(m_fPri2)) /
         (static_cast<double>(m_fSec1) - static_cast<double>(m_fSec2));
}

double cScale::GetBaseScale() const {
  if (!IsValid()) return 1.0;
  double r = GetSecToPriScale();

  const std::string& pri = m_strPriUnit;
  if (EqualsNoCase(pri, "kV"))
    r *= 1000.0;
  else if (EqualsNoCase(pri, "kA"))
    r *= 1000.0;
  else if (pri == "V" || pri == "A")
    r *= 1.0;
  else if (pri == "MV" || pri == "MA")
    r *= 1000000.0;
  else if (pri == "mV" || pri == "mA")
    r *= 0.001;
  else
    return 1.0;

  const std::string& sec = m_strSecUnit;
  if (sec == "V" || sec == "A")
    r *= 1.0;
  else if (sec == "kV" || sec == "kA")
    r *= 0.001;
  else if (sec == "MV" || sec == "MA")
    r *= 0.000001;
  else if (sec == "mV" || sec == "mA")
    r *= 1000.0;
  else
    return 1.0;
  return r;
}

void cScale::FormatRatio(std::string& text) const {
  text.clear();
  if (IsValid()) text = Format("%.7g", GetBaseScale());
}

void cScale::FormatRatioUnits(std::string& text) const {
  if (IsValid())
    text = Format("%.7g %s/%s", GetSecToPriScale(), m_strPriUnit.c_str(), m_strSecUnit.c_str());
  else
    text.clear();
}

void cScale::UpdateMagDlgItem(std::string& text, int toPrimary) const {
  const double x = LeadingDouble(text);
  if (!IsValid() || !std::isfinite(x)) return;
  const double r = GetSecToPriScale();
  if (toPrimary)
    SetDlgNumber(text, r * (x - static_cast<double>(m_fSec1)) + static_cast<double>(m_fPri1));
  else
    SetDlgNumber(text, (x - static_cast<double>(m_fPri1)) / r + static_cast<double>(m_fSec1));
}

void cScale::UpdateROCDlgItem(std::string& text, int toPrimary) const {
  const double x = LeadingDouble(text);
  if (!IsValid() || !std::isfinite(x)) return;
  const double r = GetSecToPriScale();
  SetDlgNumber(text, toPrimary ? r * x : x / r);
}

void cScale::UpdateMultDlgItem(std::string& text, int direction, const cScale* other) const {
  const double x = LeadingDouble(text);
  if (!IsValid() || other == nullptr || !other->IsValid() || !std::isfinite(x)) return;
  if (direction)
    SetDlgNumber(text, x * other->GetBaseScale() / GetBaseScale());
  else
    SetDlgNumber(text, x * GetBaseScale() / other->GetBaseScale());
}

}  // namespace helvo
