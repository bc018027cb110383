// Section and key names of the METERING_GROUP and EXTENDED_TREND sections. Part of the settings-file
// format: do not change the text or the id of an existing row. A section's keys take the ids after
// the section's own, in the order the rows are made below.
//
// The numbered keys are generated: INDEX1 to INDEX60 of a meter group (a group registers keys for the
// first 36), and the trend entries' IX1, OP01, IX2, OP02, ... IX60, OP60.
#include <array>
#include <cstddef>
#include <string_view>

#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr int kMeterGroupId = 10928;
constexpr int kTrendId = 11808;
constexpr int kIndexKeys = 60;
constexpr int kTrendEntries = 60;

// A key name with a running number of one or two digits ("INDEX7", "IX12", "OP03").
struct NumberedKey {
  char text[8];
};

constexpr NumberedKey MakeKey(std::string_view prefix, int number, bool twoDigits) {
  NumberedKey key{};
  std::size_t k = 0;
  for (char c : prefix) key.text[k++] = c;
  if (twoDigits || number >= 10) key.text[k++] = static_cast<char>('0' + number / 10);
  key.text[k++] = static_cast<char>('0' + number % 10);
  return key;
}

constexpr auto kIndexKeyNames = [] {
  std::array<NumberedKey, kIndexKeys> keys{};
  for (int n = 1; n <= kIndexKeys; ++n) keys[n - 1] = MakeKey("INDEX", n, false);
  return keys;
}();

constexpr auto kTrendEntryKeyNames = [] {
  std::array<NumberedKey, 2 * kTrendEntries> keys{};
  for (int n = 1; n <= kTrendEntries; ++n) {
    keys[2 * n - 2] = MakeKey("IX", n, false);
    keys[2 * n - 1] = MakeKey("OP", n, true);
  }
  return keys;
}();

constexpr auto kRows = [] {
  std::array<StringResource, 3 + kIndexKeys + 5 + 2 * kTrendEntries> rows{};
  std::size_t r = 0;
  int id = kMeterGroupId;
  for (const char* name : {"METERING_GROUP", "NAME"}) rows[r++] = {id++, name};
  for (const NumberedKey& key : kIndexKeyNames) rows[r++] = {id++, key.text};
  rows[r++] = {id++, "COUNT"};
  id = kTrendId;
  for (const char* name : {"EXTENDED_TREND", "INTERVAL", "ALMCONTACT", "EVENTS", "COUNT"})
    rows[r++] = {id++, name};
  for (const NumberedKey& key : kTrendEntryKeyNames) rows[r++] = {id++, key.text};
  return rows;
}();

// The ids the section classes use.
constexpr bool HasRow(int id, std::string_view text) {
  for (const StringResource& row : kRows)
    if (row.id == id) return row.text && text == row.text;
  return false;
}
static_assert(HasRow(10929, "NAME") && HasRow(10930, "INDEX1") && HasRow(10965, "INDEX36") &&
              HasRow(10989, "INDEX60") && HasRow(10990, "COUNT"));
static_assert(HasRow(11809, "INTERVAL") && HasRow(11812, "COUNT") && HasRow(11813, "IX1") &&
              HasRow(11814, "OP01") && HasRow(11931, "IX60") && HasRow(11932, "OP60"));

}  // namespace

std::span<const StringResource> MeterGroupTrendStrings() {
  return kRows;
}

}  // namespace helvo
