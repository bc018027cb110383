// A small host of the helvocfg library: loads a settings file, adds an element with one analog voltage
// channel on the first channel group, lists what a save at another setting version would lose, and
// saves there.
//
//   helvo-host IN OUT VERSION
//
// Messages the library shows go through the default user-interface sink (stderr).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "helvo/functions/analog.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"

using namespace helvo;

namespace {

// The first free channel number of the group's analog table; 0 when the table is full.
int FreeAnalogChannel(cHelvoDspCfg& group) {
  const int count = cHelvoDspCfg::GetFunctionTableCount(eAnalogCfg);
  for (int n = 1; n <= count; ++n)
    if (!group.GetIndexedPhasorAddress(eAnalogCfg, n - 1)) return n;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: helvo-host IN OUT VERSION\n");
    return 2;
  }
  const std::string in = argv[1], out = argv[2];
  const int version = std::atoi(argv[3]);

  CHelvoCfg cfg(in, 0);
  if (cfg.m_eReadResult != eFilerNoError) {
    std::fprintf(stderr, "%s: %s\n", in.c_str(), cFilerContainer::ErrorString(cfg.m_eReadResult));
    return 1;
  }
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  const int channel = FreeAnalogChannel(*group);
  if (channel == 0) {
    std::fprintf(stderr, "%s: no free analog channel\n", in.c_str());
    return 1;
  }

  // The element takes another name when one of the group already has this one.
  std::string name = "Spare bay";
  auto* element = new CElementName(name, group);
  group->Add(element);
  const sTypesEntry* va = sTypesEntry::LookupType("Va");
  auto* analog = new CAnalogCfg(group, element, va->m_nFlags);  // default voltage scale and module
  analog->SetDescription("Added by helvo-host");
  analog->SetChannelNumber(channel);
  group->Add(analog);  // files it at its channel number; the group owns it now
  std::string added;
  analog->GetName(added);
  std::printf("added %s as analog channel %d\n", added.c_str(), channel);

  StringList lines;
  cfg.PreDumpScan(lines, version);
  for (const std::string& line : lines) std::printf("  %s\n", line.c_str());
  if (!cfg.WriteCfgFile(out, version, nullptr)) return 1;
  std::printf("saved %s at setting version %d\n", out.c_str(), version);
  return 0;
}
