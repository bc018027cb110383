// The library's string table rows. Section and key names are part of the settings-file format:
// do not change the text or the id of an existing row.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kStrings[] = {
    {11999, "END"},
};

}  // namespace

std::span<const StringResource> BuiltinStrings() { return kStrings; }

}  // namespace helvo
