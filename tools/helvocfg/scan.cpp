#include "commands.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "helvo/platform/text_encoding.h"
#include "helvo/review/review.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Scan(const std::string& file, int version, bool json) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  ui.SetFile(file);
  if (!CheckTargetVersion(version, file)) return kExitUsage;
  auto loaded = Load(file, false);
  if (!loaded) return kExitFileError;
  const StringList lines = VersionScan(*loaded->cfg, version);
  if (!json) {
    for (const std::string& line : lines) std::printf("%s\n", Cp1252ToUtf8(line).c_str());
    return kExitOk;
  }
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const std::string& line : lines) list.push_back(Cp1252ToUtf8(line));
  std::printf("%s\n", nlohmann::ordered_json({{"file", file}, {"version", version}, {"lines", list}})
                          .dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                          .c_str());
  return kExitOk;
}

}  // namespace helvocli
