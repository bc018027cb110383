// Section and key names of the FAULT_LOCATOR section. Part of the settings-file format: do not change the
// text or the id of an existing row. The keys take the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kRows[] = {
    {10704, "FAULT_LOCATOR"},
    {10705, "ELEMENT"},
    {10706, "DESC"},
    {10707, "TRIG_INDEX"},
    {10708, "TRIG_INVERT"},
    {10709, "R1"},
    {10710, "X1"},
    {10711, "R0"},
    {10712, "X0"},
    {10713, "LENGTH"},
    {10714, "DISTANCE"},
    {10715, "TYPE"},
    {10716, "TRIGGER_INDEX"},
    {10717, "TRIGGER_INVERT"},
    {10718, "UNIT"},
    {10719, "VA_INDEX"},
    {10720, "VA_SEC_TO_PRI"},
    {10721, "VB_INDEX"},
    {10722, "VB_SEC_TO_PRI"},
    {10723, "VC_INDEX"},
    {10724, "VC_SEC_TO_PRI"},
    {10725, "IA_INDEX"},
    {10726, "IA_SEC_TO_PRI"},
    {10727, "IB_INDEX"},
    {10728, "IB_SEC_TO_PRI"},
    {10729, "IC_INDEX"},
    {10730, "IC_SEC_TO_PRI"},
};

}  // namespace

std::span<const StringResource> FaultLocatorStrings() {
  return kRows;
}

}  // namespace helvo
