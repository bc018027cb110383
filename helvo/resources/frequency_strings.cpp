// Section and key names of the FREQUENCY section, then the suffixes of its meter and state names.
// Part of the settings-file format: do not change the text or the id of an existing row. The keys take
// the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {10584, "FREQUENCY"},
    {10585, "ROC_INT"},
    {10586, "IN_INDEX"},
    {10587, "H_MAG_T"},
    {10588, "H_MAG_D"},
    {10589, "H_MAG_A"},
    {10590, "L_MAG_T"},
    {10591, "L_MAG_D"},
    {10592, "L_MAG_A"},
    {10593, "N_ROC_T"},
    {10594, "N_ROC_D"},
    {10595, "N_ROC_A"},
    {10596, "P_ROC_T"},
    {10597, "P_ROC_D"},
    {10598, "P_ROC_A"},
    {10599, "\n"},
    {10600, "HiLev"},
    {10601, "LoLev"},
    {10602, "+ROC"},
    {10603, "-ROC"},
};
// clang-format on

}  // namespace

std::span<const StringResource> FrequencyStrings() {
  return kRows;
}

}  // namespace helvo
