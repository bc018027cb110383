// What several subcommands share: loading a file for the tool, the target-version check and the scan.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "helvo/model/helvo_cfg.h"
#include "terminal_ui.h"

namespace helvocli {

// Reads path whole for the tool's own look at it (CRC line, one-time mark); reports a failure as
// "PATH: error: TEXT" and answers false.
bool ReadForTool(const std::string& path, std::string& bytes);

// A configuration loaded from a file, with the file's bytes.
struct Loaded {
  std::unique_ptr<helvo::CHelvoCfg> cfg;
  std::string bytes;
};

// Loads path, reporting a failure as "PATH: error: TEXT". The tool never deletes what it is given: a
// file marked as a one-time new file is loaded from a private copy.
std::optional<Loaded> Load(const std::string& path, bool noCrcCheck);

// Setting versions a file can be written at: the older family and the newer one up to the host's
// limit. Anything else would give a file the reader refuses; prints why (naming file) and answers false.
bool CheckTargetVersion(int version, const std::string& file);

// Shows the scan's lines in the confirmation dialog when there are any: true when there are none or
// the user continued; otherwise prints that nothing was written and answers false.
bool Confirmed(const TerminalUserInterface& ui, helvo::StringList& lines);

// The scan's answer for a newer-family configuration asked for an older-family version.
bool IsDownwardConversion(const helvo::StringList& lines);

// The setting version the configuration's file says.
int OwnVersion(const helvo::CHelvoCfg& cfg);

// A command that writes what it loaded refuses when loading showed a message (an unrecognised section
// or key, an invalid analog type: each drops settings) unless forced: prints why and answers true.
bool RefusedAfterMessages(const TerminalUserInterface& ui, const std::string& file, bool force);

// "the file could not be written", with the system's reason when the file layer kept one.
std::string WriteFailure();

}  // namespace helvocli
