// A small host of the library: loads a settings file into the configuration model, lists what a
// save at another setting-file version would lose, and saves the configuration.
//
//   helvo-demo IN OUT            save OUT at the file's own setting version
//   helvo-demo IN OUT VERSION    save OUT at VERSION (listing first what that version cannot hold)
//
// Messages the library shows while loading or saving appear on stderr.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"

using namespace helvo;

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: helvo-demo IN OUT [VERSION]\n");
    return 2;
  }
  const std::string in = argv[1];
  const std::string out = argv[2];

  CHelvoCfg cfg(in, 0);
  if (cfg.m_eReadResult != eFilerNoError) {
    std::fprintf(stderr, "%s: %s\n", in.c_str(), cFilerContainer::ErrorString(cfg.m_eReadResult));
    return 1;
  }
  const CIdCfg* id = cfg.GetIdCfg();
  const int ownVersion = id ? id->m_nSettingsVers : CHelvoCfg::GetSettingVersion();
  std::printf("%s: setting version %d, generation %d\n", in.c_str(), ownVersion, CHelvoCfg::m_iIedGen);

  int saved;
  if (argc == 4) {
    const int version = std::atoi(argv[3]);
    StringList losses;
    cfg.PreDumpScan(losses, version);
    for (const std::string& line : losses) std::printf("  %s\n", line.c_str());
    saved = cfg.WriteCfgFile(out, version, nullptr);
  } else {
    saved = cfg.WriteCfgFile(out, nullptr);
  }
  if (!saved) {
    std::fprintf(stderr, "%s: not saved\n", out.c_str());
    return 1;
  }
  std::printf("saved %s\n", out.c_str());
  return 0;
}
