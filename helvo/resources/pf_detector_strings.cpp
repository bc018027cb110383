// Section and key names of the PFDET section, then the suffixes of its meter and state names.
// Part of the settings-file format: do not change the text or the id of an existing row. The keys take
// the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

// clang-format off
constexpr StringResource kRows[] = {
    {11264, "PFDET"},
    {11265, "ELEMENT"},
    {11266, "DESC"},
    {11267, "INPUT"},
    {11268, "MIN_VA"},
    {11269, "IND_THR"},
    {11270, "IND_DLY"},
    {11271, "IND_A"},
    {11272, "CAP_THR"},
    {11273, "CAP_DLY"},
    {11274, "CAP_A"},
    {11275, "\n"},
    {11276, "Ind"},
    {11277, "Cap"},
};
// clang-format on

}  // namespace

std::span<const StringResource> PFDetectorStrings() {
  return kRows;
}

}  // namespace helvo
