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
    {10272, "ANALOG_INPUT"},
    {10336, "SUMMATION"},
    {10400, "SEQUENCE"},
    {10496, "IMPEDANCE"},
    {10584, "FREQUENCY"},
    {10624, "DIGITAL_INPUT"},
    {10704, "FAULT_LOCATOR"},
    {10768, "WATTS/VARS"},
    {11232, "LOGIC"},
    {11264, "PFDET"},
    {11939, "PHASOR"},
    {11949, "CDR_CHAN"},
};
// clang-format on

}  // namespace

std::span<const StringResource> ChannelGroupStrings() {
  return kRows;
}

}  // namespace helvo
