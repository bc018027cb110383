#include "helvo/scaling/module_type.h"

#include <algorithm>
#include <string_view>

#include "helvo/engine/value_text.h"
#include "helvo/platform/string_table.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cModuleType, CFilerElement)

namespace {

constexpr std::size_t kCatalogueNumberLength = 6;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the columns of a module row one after another. Each read answers false when its column does not
// parse; the separators between columns are read by Comma.
class RowReader {
 public:
  explicit RowReader(std::string_view text) : s_(text) {}

  // One to max characters up to the next comma. A longer column leaves the rest unread, so the comma
  // after it is missing.
  bool Text(std::size_t max, std::string& out) {
    std::size_t n = 0;
    while (i_ + n < s_.size() && s_[i_ + n] != ',') ++n;
    if (n == 0) return false;
    n = std::min(n, max);
    out.assign(s_.substr(i_, n));
    i_ += n;
    return true;
  }

  bool Comma() {
    if (i_ >= s_.size() || s_[i_] != ',') return false;
    ++i_;
    return true;
  }

  // A hexadecimal number: blanks, an optional sign, an optional 0x, at least one digit. A value beyond
  // 32 bits saturates; a minus sign negates modulo 2^32.
  bool Hex(std::uint32_t& out) {
    std::size_t i = SkipSpace();
    bool negative = false;
    if (i < s_.size() && (s_[i] == '+' || s_[i] == '-')) negative = s_[i++] == '-';
    if (i + 2 < s_.size() && s_[i] == '0' && (s_[i + 1] == 'x' || s_[i + 1] == 'X') &&
        HexValue(s_[i + 2]) >= 0)
      i += 2;
    if (i >= s_.size() || HexValue(s_[i]) < 0) return false;
    std::uint64_t v = 0;
    for (; i < s_.size() && HexValue(s_[i]) >= 0; ++i)
      if (v <= 0xFFFFFFFFu) v = (v << 4) | static_cast<std::uint64_t>(HexValue(s_[i]));
    std::uint32_t value = v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v);
    if (negative) value = 0u - value;
    out = value;
    i_ = i;
    return true;
  }

  // A decimal number: blanks, an optional sign, digits with an optional fraction (at least one digit),
  // an optional exponent.
  bool Float(float& out) {
    const std::size_t start = i_;
    std::size_t i = SkipSpace();
    if (i < s_.size() && (s_[i] == '+' || s_[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s_.size() && IsDigit(s_[i])) ++i, ++digits;
    if (i < s_.size() && s_[i] == '.') {
      ++i;
      while (i < s_.size() && IsDigit(s_[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s_.size() && (s_[i] == 'e' || s_[i] == 'E')) {
      std::size_t j = i + 1;
      if (j < s_.size() && (s_[j] == '+' || s_[j] == '-')) ++j;
      if (j < s_.size() && IsDigit(s_[j])) {
        while (j < s_.size() && IsDigit(s_[j])) ++j;
        i = j;
      }
    }
    out = LeadingFloat(s_.substr(start, i - start));
    i_ = i;
    return true;
  }

 private:
  std::size_t SkipSpace() const {
    std::size_t i = i_;
    while (i < s_.size() && IsSpace(s_[i])) ++i;
    return i;
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

void EmptyIfStar(std::string& text) {
  if (!text.empty() && text.front() == '*') text.clear();
}

}  // namespace

cModuleType::cModuleType(int id) {
  if (id != 0) ReadResource(id);
}

void cModuleType::Initialize() {
  *this = cModuleType();
}

int cModuleType::ReadResource(int id) {
  const char* text = FindString(id);
  return text ? DecodeString(text) : 0;
}

int cModuleType::DecodeString(const char* text) {
  if (!text || text[0] == '\n') return 0;
  // Decoded into a copy that is taken only when the whole row was read: a half-read row must not leave
  // a module whose name claims it valid while its numbers belong to another.
  cModuleType row;
  RowReader reader(text);
  const bool ok = reader.Text(kMaxModuleType, row.m_strModuleType) && reader.Comma() &&
                  reader.Text(kMaxOldType, row.m_strOldType) && reader.Comma() && reader.Hex(row.m_nFlags) &&
                  reader.Comma() && reader.Float(row.m_fNominalValue) && reader.Comma() &&
                  reader.Text(kMaxUnits, row.m_strUnits) && reader.Comma() && reader.Float(row.m_fMaxValue) &&
                  reader.Comma() && reader.Float(row.m_fMinValue) && reader.Comma() &&
                  reader.Float(row.m_fPhaseErr);
  if (!ok) return 0;
  EmptyIfStar(row.m_strModuleType);
  EmptyIfStar(row.m_strOldType);
  EmptyIfStar(row.m_strUnits);
  *this = row;
  return 1;
}

int cModuleType::SetModuleType(const char* text) {
  if (text && *text) {
    const std::string_view wanted(text);
    for (int id = IDS_MODULE_FIRST;; ++id) {
      cModuleType row;
      if (!row.ReadResource(id)) break;  // no such row, or the end marker
      const std::string_view name(row.m_strModuleType);
      const bool byNumber =
          wanted.size() >= kCatalogueNumberLength && name.size() >= kCatalogueNumberLength &&
          name.substr(0, kCatalogueNumberLength) == wanted.substr(0, kCatalogueNumberLength);
      const bool byOldName = !row.m_strOldType.empty() && row.m_strOldType == wanted;
      if (byNumber || byOldName) {
        *this = row;
        return 1;
      }
    }
  }
  Initialize();
  return 0;
}

void cModuleType::ConvertIn(CFiler*, std::string& text, int&) {
  SetModuleType(text.c_str());
}

unsigned long cModuleType::ConvertOut(CFiler*, std::string& text, int version, int&) {
  if (version < 5)
    text = m_strOldType;
  else
    text = m_strModuleType.substr(0, kCatalogueNumberLength);
  return 0;
}

}  // namespace helvo
