// Section and key names of the SUMMATION section, then the suffixes of its meters (Mag, Ang) and detector
// states. Part of the settings-file format: do not change the text or the id of an existing row. The
// keys take the ids after the section's own, the three keys of each detector (T, D, A) in a row.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {10336, "SUMMATION"},
    {10337, "ELEMENT"},
    {10338, "TYPE"},
    {10339, "DESC"},
    {10340, "PRI_UNIT"},
    {10341, "ROC_INT"},
    {10342, "PRI_FACTOR"},
    {10343, "SEC_FACTOR"},
    {10344, "INPUT1_SCALE"},
    {10345, "INPUT1_AOFFSET"},
    {10346, "INPUT1_INDEX"},
    {10347, "INPUT2_SCALE"},
    {10348, "INPUT2_AOFFSET"},
    {10349, "INPUT2_INDEX"},
    {10350, "INPUT3_SCALE"},
    {10351, "INPUT3_AOFFSET"},
    {10352, "INPUT3_INDEX"},
    {10353, "H_MAG_T"},
    {10354, "H_MAG_D"},
    {10355, "H_MAG_A"},
    {10356, "L_MAG_T"},
    {10357, "L_MAG_D"},
    {10358, "L_MAG_A"},
    {10359, "N_ROC_T"},
    {10360, "N_ROC_D"},
    {10361, "N_ROC_A"},
    {10362, "P_ROC_T"},
    {10363, "P_ROC_D"},
    {10364, "P_ROC_A"},
    {10365, "Mag"},
    {10366, "Ang"},
    {10367, "HiLev"},
    {10368, "LoLev"},
    {10369, "+ROC"},
    {10370, "-ROC"},
};
// clang-format on

}  // namespace

std::span<const StringResource> SummationStrings() {
  return kRows;
}

}  // namespace helvo
