// Round trips of one section through the settings-file reader and writer, shared by the tests of the
// function classes' key tables: a key list states, per key, the first version whose files have it,
// and the writer must write exactly those keys, in order, at each version.
#pragma once

#include <string>
#include <vector>

#include "helvo/model/helvo_cfg.h"

namespace helvo::testing {

using Lines = std::vector<std::string>;

// One key line and the first setting version whose files have it (0: read, never written).
struct KeyAt {
  std::string line;
  int from = 1;
};

inline const std::vector<int> kAllVersions = {3, 4, 5, 6, 7, 201};

// The [ID] section of a body of version with banks channel groups at 60 Hz.
std::string IdSection(int version, int banks = 1);
// Ends every line with "\n".
std::string JoinLines(const Lines& lines);
// "[header]", every key line, then the empty line that ends the section.
std::string SectionText(const std::string& header, const std::vector<KeyAt>& keys);
// The key lines a file of version has.
Lines KeysAt(const std::vector<KeyAt>& keys, int version);
// The headers of the blocks cfg writes at version whose header starts with "[" + prefix (one write).
Lines WrittenHeaders(CHelvoCfg& cfg, int version, const std::string& prefix = "");

// Per version, the key lines cfg writes in the first block whose header starts with "[" + prefix.
std::vector<Lines> WrittenKeysAt(CHelvoCfg& cfg, const std::string& prefix, const std::vector<int>& versions);
// Expects cfg to write, at each version, exactly KeysAt(keys, version) for the block of prefix.
void ExpectKeysFollowVersions(CHelvoCfg& cfg, const std::string& prefix, const std::vector<KeyAt>& keys,
                              const std::vector<int>& versions = kAllVersions);
// For each version: reads IdSection(version) + sections, expects the keys of the block of prefix to
// follow the versions, then reads the written block back and expects the same block again.
void ExpectRoundTrip(const std::string& sections, const std::string& prefix, const std::vector<KeyAt>& keys,
                     const std::vector<int>& versions = kAllVersions);

}  // namespace helvo::testing
