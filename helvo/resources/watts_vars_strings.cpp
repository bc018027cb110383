// Section and key names of the WATTS/VARS section, then the suffixes of its meter and state names.
// Part of the settings-file format: do not change the text or the id of an existing row. The keys take
// the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {10768, "WATTS/VARS"},
    {10769, "ELEMENT"},
    {10770, "DESC"},
    {10771, "V_INDEX"},
    {10772, "I_INDEX"},
    {10773, "ROC_INT"},
    {10774, "WATTS1ROC_INT"},
    {10775, "WATTS2ROC_INT"},
    {10776, "VARSROC_INT"},
    {10777, "W_H_MAG_T1"},
    {10778, "W_H_MAG_D1"},
    {10779, "W_H_MAG_A1"},
    {10780, "W_L_MAG_T1"},
    {10781, "W_L_MAG_D1"},
    {10782, "W_L_MAG_A1"},
    {10783, "W_P_ROC_T1"},
    {10784, "W_P_ROC_D1"},
    {10785, "W_P_ROC_A1"},
    {10786, "W_N_ROC_T1"},
    {10787, "W_N_ROC_D1"},
    {10788, "W_N_ROC_A1"},
    {10789, "W_H_MAG_T2"},
    {10790, "W_H_MAG_D2"},
    {10791, "W_H_MAG_A2"},
    {10792, "W_L_MAG_T2"},
    {10793, "W_L_MAG_D2"},
    {10794, "W_L_MAG_A2"},
    {10795, "W_P_ROC_T2"},
    {10796, "W_P_ROC_D2"},
    {10797, "W_P_ROC_A2"},
    {10798, "W_N_ROC_T2"},
    {10799, "W_N_ROC_D2"},
    {10800, "W_N_ROC_A2"},
    {10801, "VARS_H_MAG_T"},
    {10802, "VARS_H_MAG_D"},
    {10803, "VARS_H_MAG_A"},
    {10804, "VARS_L_MAG_T"},
    {10805, "VARS_L_MAG_D"},
    {10806, "VARS_L_MAG_A"},
    {10807, "VARS_P_ROC_T"},
    {10808, "VARS_P_ROC_D"},
    {10809, "VARS_P_ROC_A"},
    {10810, "VARS_N_ROC_T"},
    {10811, "VARS_N_ROC_D"},
    {10812, "VARS_N_ROC_A"},
    {10813, "Watts"},
    {10814, "Vars"},
    {10815, "VA"},
    {10816, "P1HiLev"},
    {10817, "P1LoLev"},
    {10818, "P1+ROC"},
    {10819, "P1-ROC"},
    {10820, "P2HiLev"},
    {10821, "P2LoLev"},
    {10822, "P2+ROC"},
    {10823, "P2-ROC"},
    {10824, "QHiLev"},
    {10825, "QLoLev"},
    {10826, "Q+ROC"},
    {10827, "Q-ROC"},
};
// clang-format on

}  // namespace

std::span<const StringResource> WattsVarsStrings() {
  return kRows;
}

}  // namespace helvo
