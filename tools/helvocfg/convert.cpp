#include "commands.h"

#include <cstdio>

#include "helvo/platform/format.h"
#include "helvo/saving/confirm_dialog.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Convert(const ConvertOptions& options) {
  TerminalUserInterface ui(options.yes ? TerminalUserInterface::Confirm::kYes
                                       : TerminalUserInterface::Confirm::kAsk);
  ScopedUserInterface scoped(ui);
  if (options.version && !CheckTargetVersion(*options.version)) return kExitUsage;
  auto loaded = Load(options.file, false);
  if (!loaded) return kExitFileError;
  CHelvoCfg& cfg = *loaded->cfg;

  int saved = 0;
  if (!options.version) {
    saved = cfg.WriteCfgFile(options.out, nullptr);
  } else {
    StringList lines = ScanLines(cfg, *options.version);
    if (IsDownwardConversion(lines)) {
      PrintError(Format("%s: a setting version %d file cannot be converted to version %d",
                        options.file.c_str(), OwnVersion(cfg), *options.version));
      return kExitUsage;
    }
    if (!lines.IsEmpty()) {
      cConfirmVersionDlg dialog(nullptr, &lines);
      if (dialog.DoModal() != IDOK) {
        PrintError(ui.Unanswered() ? "not confirmed (no terminal to ask; --yes confirms): nothing written"
                                   : "not confirmed: nothing written");
        return kExitNotConfirmed;
      }
    }
    saved = cfg.WriteCfgFile(options.out, *options.version, nullptr);
  }
  if (!saved) {
    PrintError(options.out + ": the file could not be written");
    return kExitFileError;
  }
  return kExitOk;
}

}  // namespace helvocli
