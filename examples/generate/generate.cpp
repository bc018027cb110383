// Writes the bundled example settings files:
//
//   generate OUTDIR
//
// recorder-v7.cfg          one-board recorder, setting version 7
// recorder-two-board-v6.cfg two-board recorder, setting version 6
// recorder-v203.cfg        the one-board recorder converted to version 203, with PMU and CDR definitions
//
// Each recorder is loaded from its settings text (recorders.cpp) by the library, completed through
// the model, and saved by the library; each written file is loaded again and must load without a
// message. The time stamped into a file saved at another version is SOURCE_DATE_EPOCH (fixed here
// when unset), in UTC, so the files come out the same on every run.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/pmu.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/user_interface.h"
#include "recorders.h"

using namespace helvo;

namespace {

// Loads text as a settings file (CRC not checked) from a scratch copy; none when the load failed or
// showed a message.
std::unique_ptr<CHelvoCfg> LoadText(const std::string& text, const std::string& scratch) {
  if (!ReplaceFileAtomically(scratch, "noch\r\n\r\n" + text)) return nullptr;
  RecordingUserInterface ui;
  ScopedUserInterface scoped(ui);
  auto cfg = std::make_unique<CHelvoCfg>(scratch, 0);
  RemoveFile(scratch);
  for (const std::string& message : ui.Texts()) std::fprintf(stderr, "message: %s\n", message.c_str());
  if (cfg->m_eReadResult != eFilerNoError || !ui.messages.empty()) return nullptr;
  return cfg;
}

// PMU phasors of the three line voltages, the line's positive sequence voltage and its three currents;
// the recorder's PMU identification; continuous recording of the six line channels.
void AddPmuAndCdr(CHelvoCfg& cfg) {
  cHelvoDspCfg& group = *cfg.m_pDspCfg[0];
  struct Phasor {
    const char* name;
    int input, type;
  };
  constexpr Phasor kPhasors[] = {{"Line 1 Va", 0, 0}, {"Line 1 Vb", 1, 0}, {"Line 1 Vc", 2, 0},
                                 {"Line 1 V1", 0, 1}, {"Line 1 Ia", 3, 0}, {"Line 1 Ib", 4, 0},
                                 {"Line 1 Ic", 5, 0}};
  auto slot = group.GetPMUList().begin();
  for (const Phasor& p : kPhasors) {
    auto* pmu = dynamic_cast<CPMU*>(*slot++);
    pmu->m_strName = p.name;
    pmu->m_nInputIndex = p.input;
    pmu->m_nInputType = p.type;
  }
  auto* id = new CPMUId("Riverside PMU", &cfg);
  id->m_strHeader = "RIVERSIDE 138";
  id->m_nReportingRate = 30;

  constexpr const char* kCdrNames[] = {"Line 1 Va", "Line 1 Vb", "Line 1 Vc",
                                       "Line 1 Ia", "Line 1 Ib", "Line 1 Ic"};
  int channel = 0;
  for (CFiler* obj : group.GetCDRList()) {
    if (channel == 6) break;
    auto* cdr = dynamic_cast<CCDR*>(obj);
    cdr->m_strName = kCdrNames[channel];
    cdr->m_nInputIndex = channel++;
  }
  new CCDRId(&cfg);
}

// Loads path back; true when it loads without a message.
bool LoadsCleanly(const std::string& path) {
  RecordingUserInterface ui;
  ScopedUserInterface scoped(ui);
  CHelvoCfg cfg(path, 0);
  for (const std::string& message : ui.Texts())
    std::fprintf(stderr, "%s: %s\n", path.c_str(), message.c_str());
  return cfg.m_eReadResult == eFilerNoError && ui.messages.empty();
}

bool Done(const std::string& path, int saved) {
  if (!saved || !LoadsCleanly(path)) {
    std::fprintf(stderr, "generate: %s was not written cleanly\n", path.c_str());
    return false;
  }
  std::printf("wrote %s\n", path.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: generate OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  setenv("SOURCE_DATE_EPOCH", "1764806400", 0);  // 2025-12-04 00:00:00 UTC
  setenv("TZ", "UTC", 1);
  // The library's own defaults, whatever the user's settings store says.
  setenv("HELVO_SETTINGS_FILE", (dir + "/.no-settings.reg").c_str(), 1);
  const std::string scratch = dir + "/.scratch.cfg";

  bool ok = true;
  if (auto cfg = LoadText(examples::kOneBoardV7, scratch))
    ok &= Done(dir + "/recorder-v7.cfg", cfg->WriteCfgFile(dir + "/recorder-v7.cfg", nullptr));
  else
    ok = false;
  if (auto cfg = LoadText(examples::kTwoBoardV6, scratch))
    ok &= Done(dir + "/recorder-two-board-v6.cfg",
               cfg->WriteCfgFile(dir + "/recorder-two-board-v6.cfg", nullptr));
  else
    ok = false;
  if (auto cfg = LoadText(examples::kOneBoardV7, scratch)) {
    AddPmuAndCdr(*cfg);
    ok &= Done(dir + "/recorder-v203.cfg", cfg->WriteCfgFile(dir + "/recorder-v203.cfg", 203, nullptr));
  } else {
    ok = false;
  }
  return ok ? 0 : 1;
}
