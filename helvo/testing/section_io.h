// Reading and writing sections of a real configuration without post-load or pre-save processing: the
// objects stay in the section lists the reader filled, so what is written is exactly what was read
// (plus the writer's own version rules). Used by the tests of every section's key table.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "helvo/model/helvo_cfg.h"

namespace helvo::testing {

// A configuration read from body text (lines separated by "\n", no CRC line) with the engine's
// line-list reader only.
std::unique_ptr<CHelvoCfg> ReadBody(const std::string& body);

// The lines cfg writes at version, keeping only the blocks whose header starts with "[" + prefix
// (for example "ANALOG_INPUT"): each block's header, its key lines and the empty line after it.
std::vector<std::string> WrittenBlocks(CHelvoCfg& cfg, int version, const std::string& prefix,
                                       int sysFreq = 60);

// The key lines of the first block whose header starts with "[" + prefix, as KEY=value strings.
std::vector<std::string> WrittenKeys(CHelvoCfg& cfg, int version, const std::string& prefix,
                                     int sysFreq = 60);

}  // namespace helvo::testing
