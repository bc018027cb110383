// The properties the fuzz targets check, one function per target, shared by the libFuzzer programs
// under fuzz/ and by the unit test that replays their corpora and past findings. Each function takes
// one input, returns an empty text when the property holds and otherwise says what broke. Crashes,
// leaks and undefined behaviour are the sanitizers' to report. Every function restores the process-wide
// header statics and installs a silent message sink for its own duration, so inputs do not influence
// each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace helvo::fuzzing {

// Sets what the targets rely on for a whole process: a fixed clock and time zone (so saves made a
// second apart agree), a host settings store that does not exist, and a private folder for the
// round-trip target's files (returned).
std::string PrepareProcess();

// The memory-image reader and post-load processing. pastCrc reads with the CRC comparison off.
std::string ImageReader(const std::uint8_t* data, std::size_t size, bool pastCrc);

// The line-list reader and post-load processing; the input is split at LF bytes.
std::string LineReader(const std::uint8_t* data, std::size_t size);

// The settings store parser: a parsed file gives its text back unchanged, and setting one value
// changes that value and no other.
std::string SettingsStoreReader(const std::uint8_t* data, std::size_t size);

// Load, save, load, save, load, save in folder: a saved file loads again with a valid CRC, the
// second and third saves are byte-identical, and the first and second hold the same sections when
// the first load showed no message. pastCrc reads the input with the CRC comparison off.
std::string SaveRoundTrip(const std::uint8_t* data, std::size_t size, const std::string& folder,
                          bool pastCrc);

// True when the first four bytes of a settings file name the CRC-16 of its bytes after the fifth (in
// either letter case) or read "noch"; computed bit by bit, independently of the library's table.
bool CrcFieldValid(std::string_view bytes);

// With the CRC comparison on, the image and by-name readers refuse a file as having an invalid CRC
// exactly when its first four bytes neither name the CRC-16 of the bytes after the fifth nor read
// "noch".
std::string CrcVerdict(const std::uint8_t* data, std::size_t size, const std::string& folder);

}  // namespace helvo::fuzzing
