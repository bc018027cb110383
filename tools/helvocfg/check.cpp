#include "commands.h"

#include <cstdio>

#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Check(const std::vector<std::string>& files, bool noCrcCheck) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  int clean = 0, withMessages = 0, failed = 0;
  for (const std::string& file : files) {
    ui.ResetCount();
    auto loaded = Load(file, noCrcCheck);
    if (!loaded) {
      ++failed;
      continue;
    }
    loaded.reset();  // messages of unloading count too
    if (ui.MessageCount() == 0) {
      ++clean;
      std::printf("%s: ok\n", file.c_str());
    } else {
      ++withMessages;
      std::printf("%s: %d message%s\n", file.c_str(), ui.MessageCount(), ui.MessageCount() == 1 ? "" : "s");
    }
  }
  if (files.size() > 1)
    std::printf("%zu files: %d ok, %d with messages, %d not loaded\n", files.size(), clean, withMessages,
                failed);
  if (failed) return kExitFileError;
  return withMessages ? kExitMessages : kExitOk;
}

}  // namespace helvocli
