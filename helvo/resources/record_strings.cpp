// Section and key names of the recorder-level sections. Part of the settings-file format: do not
// change the text or the id of an existing row. A section's keys take the ids after its own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kRows[] = {
    {10240, "ID"},
    {10896, "LIMITS"},
    {10928, "METERING_GROUP"},
    {11808, "EXTENDED_TREND"},
    {11936, "PMU"},
    {11947, "CDR"},
};

}  // namespace

std::span<const StringResource> RecordStrings() { return kRows; }

}  // namespace helvo
