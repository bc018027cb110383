// Loads one settings file and exits: the process a heap profiler or an instruction counter watches to
// measure what loading a configuration costs (helvo-bench --write-max makes the maximal files).
//
//   helvo-load FILE            load by path
//   helvo-load --memory FILE   read the file first, then load its image from memory
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"

int main(int argc, char** argv) {
  const bool memory = argc == 3 && std::strcmp(argv[1], "--memory") == 0;
  if (argc != 2 && !memory) {
    std::fprintf(stderr, "usage: helvo-load [--memory] FILE\n");
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
  }
  if (result != helvo::eFilerNoError) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), helvo::cFilerContainer::ErrorString(result));
    return 1;
  }
  return 0;
}
