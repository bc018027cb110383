// The raw text layer of a settings file: the CRC line and the body lines, without any sections.
// The reader and writer build on these; tools use them to check or repair a file's CRC.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "helvo/engine/filer.h"
#include "helvo/platform/ordered_list.h"

namespace helvo {

// The longest body line (without its line end) that a settings file read by name may hold.
constexpr std::size_t kMaxSettingsLineLength = 255;
// The largest settings file read by name: far above any recorder's file (the largest configuration
// writes well under a megabyte), it keeps the memory of a read bounded whatever the path names.
constexpr std::size_t kMaxSettingsFileSize = std::size_t{64} << 20;

// Reads the body lines of the settings file at path (the by-name rules: lines of at most 255 bytes,
// CR bytes dropped), checking the CRC unless noCheck is set or the file is marked "noch". When
// scanHeader is set, the header keys are checked as the reader does: a setting version the reader
// refuses gives eFilerReadError. A CRC mismatch is reported before either
// refusal (eFilerCRCError), since it means the file is damaged. crc receives the computed CRC.
eFilerError ReadSettingsLines(const std::string& path, StringList& lines, bool noCheck, bool scanHeader,
                              std::uint16_t* crc = nullptr);

// Why line could not be read back as written (too long for the by-name reader, or holding a line
// break that would end it early); none when it can.
const char* UnreadableLineReason(std::string_view line);

// Puts the CRC of a complete file image (of everything after its fifth byte: the CRC line's four
// characters and its CR) in place of the CRC line's four characters.
void StampCrc(std::string& image);

// The complete file image of lines: the CRC line, then every line followed by CR LF.
std::string BuildSettingsImage(const StringList& lines);

// The section blocks of a file image (each from its header line up to the next header line), in the
// order of their text: two images holding the same sections in another order give the same list. A
// save that folds two channel groups writes the second group's sections after the first's, and the
// save of that file read back writes them class by class.
std::vector<std::string_view> SortedSectionBlocks(std::string_view image);

}  // namespace helvo
