// Section and key names of the ANALOG_INPUT section, and the suffixes of its meters and detector
// states. Part of the settings-file format: do not change the text or the id of an existing row. The
// keys take the ids after the section's own; a detector's T, D and A keys take consecutive ids.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {10272, "ANALOG_INPUT"},
    {10273, "ELEMENT"},
    {10274, "TYPE"},
    {10275, "DESC"},
    {10276, "INPUT_MODULE"},
    {10277, "ANGLE_OFFSET"},
    {10278, "PHASE_ERR"},
    {10279, "PRI_1"},
    {10280, "SEC_1"},
    {10281, "PRI_2"},
    {10282, "SEC_2"},
    {10283, "SCALE"},
    {10284, "PRI_UNIT"},
    {10285, "SEC_UNIT"},
    {10286, "FULL_SCALE"},
    {10287, "ROC_INT"},
    {10288, "NOM_VALUE"},
    {10289, "S_HARM_NUM"},
    {10290, "H_MAG_T"},
    {10291, "H_MAG_D"},
    {10292, "H_MAG_A"},
    {10293, "L_MAG_T"},
    {10294, "L_MAG_D"},
    {10295, "L_MAG_A"},
    {10296, "N_ROC_T"},
    {10297, "N_ROC_D"},
    {10298, "N_ROC_A"},
    {10299, "P_ROC_T"},
    {10300, "P_ROC_D"},
    {10301, "P_ROC_A"},
    {10302, "S_HARM_T"},
    {10303, "S_HARM_D"},
    {10304, "S_HARM_A"},
    {10305, "THD_T"},
    {10306, "THD_D"},
    {10307, "THD_A"},
    {10308, "SAG_T"},
    {10309, "SAG_A"},
    {10310, "SWELL_T"},
    {10311, "SWELL_A"},
    // Meter suffixes; a single line feed stands for no suffix (the DC meter).
    {10312, "Mag"},
    {10313, "Ang"},
    {10314, "THD"},  // also the THD detector's state
    {10315, "Har"},
    {10316, "\n"},
    // Detector state suffixes.
    {10317, "HiLev"},
    {10318, "LoLev"},
    {10319, "+ROC"},
    {10320, "-ROC"},
    {10321, "Harm"},
    {10322, "Sag"},
    {10323, "Swell"},
};
// clang-format on

}  // namespace

std::span<const StringResource> AnalogStrings() {
  return kRows;
}

}  // namespace helvo
