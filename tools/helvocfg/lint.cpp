#include <cstdio>

#include "commands.h"
#include "helvo/review/review.h"
#include "review_output.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Lint(const std::vector<std::string>& files, bool json) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  bool unreadable = false, found = false;
  nlohmann::ordered_json doc = {{"files", nlohmann::ordered_json::array()}};
  for (const std::string& file : files) {
    ui.SetFile(file);
    auto loaded = Load(file, false);
    if (!loaded) {
      unreadable = true;
      if (json)
        doc["files"].push_back(
            {{"file", file}, {"result", "not loaded"}, {"findings", nlohmann::ordered_json::array()}});
      continue;
    }
    const std::vector<Finding> findings = helvo::Lint(*loaded->cfg, loaded->bytes);
    found = found || !findings.empty();
    if (json)
      doc["files"].push_back({{"file", file},
                              {"result", findings.empty() ? "clean" : "findings"},
                              {"findings", FindingsJson(findings)}});
    else
      std::fputs(FindingsText(file, findings).c_str(), stdout);
  }
  if (json) std::printf("%s\n", doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  if (unreadable) return kExitFileError;
  return found ? kExitMessages : kExitOk;
}

}  // namespace helvocli
