// Section and key names of the LOGIC section. Part of the settings-file format: do not change the
// text or the id of an existing row. The keys take the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kRows[] = {
    {11232, "LOGIC"},
    {11233, "ELEMENT"},
    {11234, "DESC"},
    {11235, "NOTINP1"},
    {11236, "INPUT1"},
    {11237, "OPER1"},
    {11238, "NOTINP2"},
    {11239, "INPUT2"},
    {11240, "OPER2"},
    {11241, "NOTINP3"},
    {11242, "INPUT3"},
    {11243, "OPER3"},
    {11244, "NOTINP4"},
    {11245, "INPUT4"},
    {11246, "OPER4"},
    {11247, "NOTINP5"},
    {11248, "INPUT5"},
    {11249, "ASSERT_DLY"},
    {11250, "REMOVE_DLY"},
    {11251, "ACTIVE_A"},
    {11252, "INACTIVE_A"},
    {11253, "ACTIVE_STR"},
    {11254, "INACTIVE_STR"},
    // The meter and state suffix: none.
    {11255, "\n"},
};

}  // namespace

std::span<const StringResource> LogicStrings() {
  return kRows;
}

}  // namespace helvo
