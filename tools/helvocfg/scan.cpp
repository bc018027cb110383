#include "commands.h"

#include <cstdio>

#include "helvo/platform/text_encoding.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Scan(const std::string& file, int version) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  ui.SetFile(file);
  if (!CheckTargetVersion(version, file)) return kExitUsage;
  auto loaded = Load(file, false);
  if (!loaded) return kExitFileError;
  for (const std::string& line : ScanLines(*loaded->cfg, version))
    std::printf("%s\n", Cp1252ToUtf8(line).c_str());
  return kExitOk;
}

}  // namespace helvocli
