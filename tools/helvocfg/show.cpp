#include <cstdio>

#include "commands.h"
#include "helvo/platform/user_interface.h"
#include "helvo/review/review.h"
#include "review_output.h"
#include "summary.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Show(const ShowOptions& options) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  ui.SetFile(options.file);
  auto loaded = Load(options.file, options.noCrcCheck);
  if (!loaded) return kExitFileError;
  const Summary summary = Summarize(*loaded->cfg, options.file, ReadCrcState(loaded->bytes));
  // The file's texts are UTF-8 by now; only a file name that is not can still be invalid, and it
  // becomes U+FFFD rather than ending the tool.
  if (options.json) {
    const auto doc = ShowDocument(summary, ListValues(*loaded->cfg));
    std::printf("%s\n", doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  } else if (options.values) {
    std::printf("%s\n%s", ToText(summary).c_str(), ValuesText(ListValues(*loaded->cfg)).c_str());
  } else {
    std::printf("%s", ToText(summary).c_str());
  }
  return kExitOk;
}

}  // namespace helvocli
