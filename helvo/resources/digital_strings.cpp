// Section and key names of the DIGITAL_INPUT section, and the suffix of its meter and detector state.
// Part of the settings-file format: do not change the text or the id of an existing row. The keys take
// the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {10624, "DIGITAL_INPUT"},
    {10625, "ELEMENT"},
    {10626, "DESC"},
    {10627, "TYPE"},
    {10628, "DELAY"},
    {10629, "ACTIVE_STR"},
    {10630, "INACTIVE_STR"},
    {10631, "ACTIVE_A"},
    {10632, "INACTIVE_A"},
    {10633, "EXT_DELAY"},
    {10634, "\n"},  // no suffix: the meter and the state are named after the input alone
};
// clang-format on

}  // namespace

std::span<const StringResource> DigitalStrings() {
  return kRows;
}

}  // namespace helvo
