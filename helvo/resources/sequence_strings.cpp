// Section and key names of the SEQUENCE section, then the suffixes of its meters (1Mag, 2Mag, 0Mag: positive,
// negative, zero sequence) and detector states. Part of the settings-file format: do not change the text
// or the id of an existing row. The keys take the ids after the section's own, the three keys of each
// detector (T, D, A) in a row.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {10400, "SEQUENCE"},
    {10401, "ELEMENT"},
    {10402, "TYPE"},
    {10403, "DESC"},
    {10404, "UNIT"},
    {10405, "ROC_INT"},
    {10406, "PH_A_INDEX"},
    {10407, "PH_B_INDEX"},
    {10408, "PH_C_INDEX"},
    {10409, "PSEQ_H_MAG_T"},
    {10410, "PSEQ_H_MAG_D"},
    {10411, "PSEQ_H_MAG_A"},
    {10412, "PSEQ_L_MAG_T"},
    {10413, "PSEQ_L_MAG_D"},
    {10414, "PSEQ_L_MAG_A"},
    {10415, "PSEQ_N_ROC_T"},
    {10416, "PSEQ_N_ROC_D"},
    {10417, "PSEQ_N_ROC_A"},
    {10418, "PSEQ_P_ROC_T"},
    {10419, "PSEQ_P_ROC_D"},
    {10420, "PSEQ_P_ROC_A"},
    {10421, "NSEQ_H_MAG_T"},
    {10422, "NSEQ_H_MAG_D"},
    {10423, "NSEQ_H_MAG_A"},
    {10424, "ZSEQ_H_MAG_T"},
    {10425, "ZSEQ_H_MAG_D"},
    {10426, "ZSEQ_H_MAG_A"},
    {10427, "1Mag"},
    {10428, "2Mag"},
    {10429, "0Mag"},
    {10430, "1HiLev"},
    {10431, "1LoLev"},
    {10432, "1+ROC"},
    {10433, "1-ROC"},
    {10434, "2HiLev"},
    {10435, "0HiLev"},
};
// clang-format on

}  // namespace

std::span<const StringResource> SequenceStrings() {
  return kRows;
}

}  // namespace helvo
