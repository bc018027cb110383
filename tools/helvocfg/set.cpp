#include <cstdio>

#include "commands.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
#include "helvo/platform/text_encoding.h"
#include "helvo/review/review.h"
#include "review_output.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Set(const SetOptions& options) {
  TerminalUserInterface ui(options.yes ? TerminalUserInterface::Confirm::kYes
                                       : TerminalUserInterface::Confirm::kAsk);
  ScopedUserInterface scoped(ui);
  ui.SetFile(options.file);
  std::vector<Assignment> assignments;
  for (const std::string& text : options.assignments) {
    Assignment a;
    const size_t eq = text.find('=');
    if (eq == std::string::npos || !ParseSelector(std::string_view(text).substr(0, eq), a.selector)) {
      PrintError(text + ": an assignment is SECTION/KEY=VALUE");
      return kExitUsage;
    }
    // Terminals and scripts speak UTF-8; the file holds 8-bit text.
    if (!Utf8ToCp1252(std::string_view(text).substr(eq + 1), a.value)) {
      PrintError(text + ": the value holds a character a settings file cannot hold");
      return kExitUsage;
    }
    assignments.push_back(std::move(a));
  }

  auto loaded = Load(options.file, false);
  if (!loaded) return kExitFileError;
  if (RefusedAfterMessages(ui, options.file, options.force)) return kExitMessages;
  CHelvoCfg& cfg = *loaded->cfg;
  // A save at the file's own version may delete settings too: the user confirms them first.
  if (!options.dryRun) {
    StringList lines = VersionScan(cfg, OwnVersion(cfg));
    if (!Confirmed(ui, lines)) return kExitNotConfirmed;
  }

  std::unique_ptr<CHelvoCfg> changed;
  std::string image, error;
  if (SetValues(cfg, loaded->bytes, assignments, changed, image, error) != ReviewStatus::kOk) {
    PrintError(Cp1252ToUtf8(error) + ": nothing written");
    return kExitUsage;
  }
  if (options.dryRun) {
    std::fputs(ChangesText(DiffSnapshots(ValueSnapshot(cfg), ValueSnapshot(*changed))).c_str(), stdout);
    return kExitOk;
  }
  // The image is the file a save of the changed configuration writes.
  if (!ReplaceFileAtomically(options.file, image)) {
    PrintError(WriteFailure());
    return kExitFileError;
  }
  return kExitOk;
}

}  // namespace helvocli
