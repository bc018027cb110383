#include "commands.h"

#include <cstdio>

#include "helvo/platform/user_interface.h"
#include "summary.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Show(const ShowOptions& options) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  auto loaded = Load(options.file, options.noCrcCheck);
  if (!loaded) return kExitFileError;
  const Summary summary = Summarize(*loaded->cfg, options.file, ReadCrcState(loaded->bytes));
  if (options.json)
    std::printf("%s\n", ToJson(summary).dump(2).c_str());
  else
    std::printf("%s", ToText(summary).c_str());
  return kExitOk;
}

}  // namespace helvocli
