// Section and key names of the LOGIC section. Part of the settings-file format: do not change the
// text or the id of an existing row. The keys take the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kRows[] = {
    {11232, "LOGIC"},
};

}  // namespace

std::span<const StringResource> LogicStrings() {
  return kRows;
}

}  // namespace helvo
