#include <cstdio>
#include <optional>

#include "commands.h"
#include "helvo/review/review.h"
#include "review_output.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Diff(const std::string& a, const std::string& b, bool json) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  // Each file's messages, of the load and of the walk, name that file.
  std::optional<Loaded> loaded[2];
  std::optional<ValueSnapshot> snapshots[2];
  const std::string* files[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    ui.SetFile(*files[i]);
    loaded[i] = Load(*files[i], false);
    if (!loaded[i]) return kExitUsage;  // trouble, as diff(1) says it
    snapshots[i].emplace(*loaded[i]->cfg);
  }
  const std::vector<Change> changes = DiffSnapshots(*snapshots[0], *snapshots[1]);
  if (json) {
    nlohmann::ordered_json doc = {{"a", a}, {"b", b}, {"changes", ChangesJson(changes)}};
    std::printf("%s\n", doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  } else {
    std::fputs(ChangesText(changes).c_str(), stdout);
  }
  return changes.empty() ? kExitOk : kExitFileError;  // 1: the files differ
}

}  // namespace helvocli
