#include "commands.h"

#include "helvo/platform/format.h"
#include "helvo/review/review.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Convert(const ConvertOptions& options) {
  TerminalUserInterface ui(options.yes ? TerminalUserInterface::Confirm::kYes
                                       : TerminalUserInterface::Confirm::kAsk);
  ScopedUserInterface scoped(ui);
  ui.SetFile(options.file);
  if (options.version && !CheckTargetVersion(*options.version, options.file)) return kExitUsage;
  auto loaded = Load(options.file, false);
  if (!loaded) return kExitFileError;
  if (RefusedAfterMessages(ui, options.file, options.force)) return kExitMessages;
  CHelvoCfg& cfg = *loaded->cfg;

  // A save at the file's own version deletes too (channels without a valid module or scale, meter
  // groups past the limit): the scan runs for every save, and what it lists must be confirmed.
  const int version = options.version.value_or(OwnVersion(cfg));
  StringList lines = VersionScan(cfg, version);
  if (IsDownwardConversion(lines)) {
    PrintError(
        Format("a setting version %d file cannot be converted to version %d", OwnVersion(cfg), version));
    return kExitUsage;
  }
  if (!Confirmed(ui, lines)) return kExitNotConfirmed;
  ui.SetFile(options.out);  // what the save shows concerns the file written
  const int saved = options.version ? cfg.WriteCfgFile(options.out, *options.version, nullptr)
                                    : cfg.WriteCfgFile(options.out, nullptr);
  if (!saved) {
    PrintError(WriteFailure());
    return kExitFileError;
  }
  return kExitOk;
}

}  // namespace helvocli
