// The blocks of the library's string table, in one place. Each resource file contributes the rows of
// its area; the table indexes them all when it is first used.
#include <array>
#include <span>

#include "helvo/platform/string_table.h"

namespace helvo {

std::span<const StringResource> BuiltinStrings();       // strings.cpp: unit and module tables, END
std::span<const StringResource> RecordStrings();        // record_strings.cpp: recorder-level sections
std::span<const StringResource> ChannelGroupStrings();  // channel_group_strings.cpp: per-board sections

std::span<const std::span<const StringResource>> BuiltinStringBlocks() {
  static const std::array<std::span<const StringResource>, 3> kBlocks = {
      BuiltinStrings(),
      RecordStrings(),
      ChannelGroupStrings(),
  };
  return kBlocks;
}

}  // namespace helvo
