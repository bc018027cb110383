// Section and key names of the per-board (channel group) sections. Part of the settings-file
// format: do not change the text or the id of an existing row. A section's keys take the ids after
// its own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {10256, "CH_GRP"},
    {10257, "REF_ANA"},
    {10264, "ELEMENT"},
    {10265, "NAME"},
    {11939, "PHASOR"},
    {11940, "NAME"},
    {11941, "INP_INDEX"},
    {11942, "INP_TYPE"},
    {11943, "UNITS"},
    {11944, "SCALE"},
    {11945, "PDC_SCALE"},
    {11949, "CDR_CHAN"},
    {11950, "INP_INDEX"},
};
// clang-format on

}  // namespace

std::span<const StringResource> ChannelGroupStrings() {
  return kRows;
}

}  // namespace helvo
