// Loads one settings file and exits: the process a heap profiler watches to measure what a loaded
// configuration costs (helvo-bench --write-max makes the maximal files).
//
//   helvo-load FILE
#include <cstdio>

#include "helvo/model/helvo_cfg.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: helvo-load FILE\n");
    return 2;
  }
  helvo::CHelvoCfg cfg(argv[1], 0);
  if (cfg.m_eReadResult != helvo::eFilerNoError) {
    std::fprintf(stderr, "%s: %s\n", argv[1], helvo::cFilerContainer::ErrorString(cfg.m_eReadResult));
    return 1;
  }
  return 0;
}
