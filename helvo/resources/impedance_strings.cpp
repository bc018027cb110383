// Section and key names of the IMPEDANCE section, then the suffixes of its meters (Mag, Ang) and of its
// rate-of-change detector state. Part of the settings-file format: do not change the text or the id of
// an existing row. The keys take the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {10496, "IMPEDANCE"},
    {10497, "ELEMENT"},
    {10498, "DESC"},
    {10499, "V_INDEX"},
    {10500, "I_INDEX"},
    {10501, "CIRC_RAD"},
    {10502, "ROC_INT"},
    {10503, "ROC_MIN"},
    {10504, "ROC_MAX"},
    {10505, "ROC_D"},
    {10506, "ROC_A"},
    {10507, "Mag"},
    {10508, "Ang"},
    {10509, "ROC"},
};
// clang-format on

}  // namespace

std::span<const StringResource> ImpedanceStrings() {
  return kRows;
}

}  // namespace helvo
