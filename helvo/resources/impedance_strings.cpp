// Section and key names of the IMPEDANCE section. Part of the settings-file format: do not change the
// text or the id of an existing row. The keys take the ids after the section's own.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kRows[] = {
    {10496, "IMPEDANCE"},
};

}  // namespace

std::span<const StringResource> ImpedanceStrings() {
  return kRows;
}

}  // namespace helvo
