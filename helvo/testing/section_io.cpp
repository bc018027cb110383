#include "helvo/testing/section_io.h"

#include <sstream>

namespace helvo::testing {

std::unique_ptr<CHelvoCfg> ReadBody(const std::string& body) {
  auto cfg = std::make_unique<CHelvoCfg>();
  StringList lines;
  std::istringstream in(body);
  for (std::string line; std::getline(in, line);) lines.AddTail(line);
  StringList::Position pos;
  cfg->GetSections().ReadCfgFile(lines, pos);
  return cfg;
}

std::vector<std::string> WrittenBlocks(CHelvoCfg& cfg, int version, const std::string& prefix, int sysFreq) {
  StringList lines;
  cfg.GetSections().BuildCfgLines(lines, version, sysFreq);
  std::vector<std::string> out;
  bool keep = false;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '[') keep = line.compare(1, prefix.size(), prefix) == 0;
    if (keep) out.push_back(line);
  }
  return out;
}

std::vector<std::string> WrittenKeys(CHelvoCfg& cfg, int version, const std::string& prefix, int sysFreq) {
  std::vector<std::string> keys;
  bool started = false;
  for (const std::string& line : WrittenBlocks(cfg, version, prefix, sysFreq)) {
    if (!line.empty() && line[0] == '[') {
      if (started) break;
      started = true;
      continue;
    }
    if (line.empty()) break;
    keys.push_back(line);
  }
  return keys;
}

}  // namespace helvo::testing
