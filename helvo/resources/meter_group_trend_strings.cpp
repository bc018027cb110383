// Section and key names of the METERING_GROUP and EXTENDED_TREND sections. Part of the settings-file
// format: do not change the text or the id of an existing row. A section's keys take the ids after
// the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kRows[] = {
    {10928, "METERING_GROUP"},
    {11808, "EXTENDED_TREND"},
};

}  // namespace

std::span<const StringResource> MeterGroupTrendStrings() {
  return kRows;
}

}  // namespace helvo
