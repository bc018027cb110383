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
    {11949, "CDR_CHAN"},
};
// clang-format on

}  // namespace

std::span<const StringResource> ChannelGroupStrings() {
  return kRows;
}

}  // namespace helvo
