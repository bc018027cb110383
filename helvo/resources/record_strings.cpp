// Section and key names of the recorder-level sections. Part of the settings-file format: do not
// change the text or the id of an existing row. A section's keys take the ids after its own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kRows[] = {
    {10240, "ID"},
    {10241, "LOAD_DATE"},
    {10242, "SET_DATE"},
    {10243, "SETTINGS_VERS"},
    {10244, "SETTINGS_NAME"},
    {10245, "UNIT_ID"},
    {10246, "SERIAL_NUM"},
    {10247, "STATION_NAME"},
    {10248, "STATION_NUM"},
    {10249, "LOCATION"},
    {10250, "COMMENTS"},
    {10251, "NUM_BANKS"},
    {10252, "NEWFILE"},
    {10253, "SYSTEM_FREQUENCY"},
    {10254, "NUM_A_CHANNELS"},
    {10255, "SAMPLE_RATE"},
    {10896, "LIMITS"},
    {10897, "EI_CHATTER_WINDOW"},
    {10898, "EI_CHATTER_TIME"},
    {10899, "DET_CHATTER_WINDOW"},
    {10900, "DET_CHATTER_TIME"},
    {10901, "REC_ALARM"},
    {11936, "PMU"},
    {11937, "HEADER"},
    {11938, "REPORTING_RATE"},
    {11947, "CDR"},
    {11948, "REPORTING_RATE"},
};

}  // namespace

std::span<const StringResource> RecordStrings() {
  return kRows;
}

}  // namespace helvo
