#include <cstdio>

#include "commands.h"
#include "helvo/platform/text_encoding.h"
#include "helvo/review/review.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Get(const std::string& file, const std::vector<std::string>& selectors) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  ui.SetFile(file);
  std::vector<Selector> parsed(selectors.size());
  for (size_t i = 0; i < selectors.size(); ++i) {
    if (ParseSelector(selectors[i], parsed[i])) continue;
    PrintError(selectors[i] + ": a selector is SECTION/KEY");
    return kExitUsage;
  }
  auto loaded = Load(file, false);
  if (!loaded) return kExitFileError;
  std::vector<KeyValue> values;
  std::string error;
  if (GetValues(*loaded->cfg, parsed, values, error) != ReviewStatus::kOk) {
    PrintError(Cp1252ToUtf8(error));
    return kExitUsage;
  }
  std::string out;
  for (const KeyValue& value : values) out += Cp1252ToUtf8(value.value) + "\n";
  std::fputs(out.c_str(), stdout);
  return kExitOk;
}

}  // namespace helvocli
