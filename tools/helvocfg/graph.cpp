#include <cstdio>

#include "commands.h"
#include "helvo/report/signal_flow.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Graph(const std::string& file) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  auto loaded = Load(file, false);
  if (!loaded) return kExitFileError;
  const std::string dot = SignalFlowToDot(BuildSignalFlow(*loaded->cfg));
  std::fwrite(dot.data(), 1, dot.size(), stdout);
  return kExitOk;
}

}  // namespace helvocli
