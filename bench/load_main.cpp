// Loads one settings file and exits: the process a heap profiler or an instruction counter watches to
// measure what loading a configuration costs (helvo-bench --write-max makes the maximal files).
//
//   helvo-load FILE            load by path
//   helvo-load --memory FILE   read the file first, then load its image from memory
//   helvo-load --lint FILE     load by path, then lint
//   helvo-load --list FILE     load by path, then list the values with names (what show --values does)
//   helvo-load --get FILE      load by path, then get one value as the tool does
//   helvo-load --diff FILE     diff the file against itself: two loads by path, a snapshot of each
//   helvo-load --set FILE      set one value as the tool does and save the result to FILE.set
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/file_io.h"
#include "helvo/review/review.h"

int main(int argc, char** argv) {
  const std::string mode = argc == 3 ? argv[1] : "";
  const bool memory = mode == "--memory";
  if (argc != 2 && mode != "--memory" && mode != "--lint" && mode != "--list" && mode != "--diff" &&
      mode != "--get" && mode != "--set") {
    std::fprintf(stderr, "usage: helvo-load [--memory | --lint | --list | --diff | --get | --set] FILE\n");
    return 2;
  }
  const std::string path = argv[argc - 1];
  helvo::eFilerError result;
  if (memory) {
    std::string bytes;
    if (helvo::ReadWholeFile(path, bytes) != helvo::ReadStatus::kOk) {
      std::fprintf(stderr, "%s: cannot read\n", path.c_str());
      return 1;
    }
    { helvo::CHelvoCfg header(path, 0); }  // the header statics a host has after opening the file
    std::vector<char> image(bytes.begin(), bytes.end());
    helvo::CHelvoCfg cfg;
    result = cfg.ReadCfgFile(image.data(), image.size(), 0);
  } else {
    helvo::CHelvoCfg cfg(path, 0);
    result = cfg.m_eReadResult;
    if (result == helvo::eFilerNoError && mode == "--lint") {
      std::string text;
      helvo::ReadWholeFile(path, text);
      if (!helvo::Lint(cfg, text).empty()) std::fprintf(stderr, "%s: lint findings\n", path.c_str());
    } else if (result == helvo::eFilerNoError && mode == "--list") {
      if (helvo::ListValues(cfg).sections.empty()) std::fprintf(stderr, "%s: nothing listed\n", path.c_str());
    } else if (result == helvo::eFilerNoError && mode == "--diff") {
      helvo::CHelvoCfg other(path, 0);
      const helvo::ValueSnapshot a(cfg), b(other);
      if (!helvo::DiffSnapshots(a, b).empty())
        std::fprintf(stderr, "%s: differs from itself\n", path.c_str());
    } else if (result == helvo::eFilerNoError && mode == "--get") {
      std::vector<helvo::KeyValue> values;
      std::string error;
      if (helvo::GetValues(cfg, {{"ANALOG_INPUT1-1", "H_MAG_T"}}, values, error) != helvo::ReviewStatus::kOk)
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
    } else if (result == helvo::eFilerNoError && mode == "--set") {
      helvo::StringList lines;
      cfg.PreDumpScan(lines, cfg.GetIdCfg()->m_nSettingsVers);
      std::unique_ptr<helvo::CHelvoCfg> changed;
      std::string text, image, error;
      helvo::ReadWholeFile(path, text);
      if (helvo::SetValues(cfg, text, {{{"ANALOG_INPUT1-1", "H_MAG_T"}, "123.5"}}, changed, image, error) !=
              helvo::ReviewStatus::kOk ||
          !helvo::ReplaceFileAtomically(path + ".set", image))
        std::fprintf(stderr, "%s: not set: %s\n", path.c_str(), error.c_str());
    }
  }
  if (result != helvo::eFilerNoError) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), helvo::cFilerContainer::ErrorString(result));
    return 1;
  }
  return 0;
}
