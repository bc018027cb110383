// Section and key names of the DIGITAL_INPUT section. Part of the settings-file format: do not change the
// text or the id of an existing row. The keys take the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kRows[] = {
    {10624, "DIGITAL_INPUT"},
};

}  // namespace

std::span<const StringResource> DigitalStrings() {
  return kRows;
}

}  // namespace helvo
