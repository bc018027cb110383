#include "commands.h"

#include <algorithm>

#include "helvo/engine/filer.h"
#include "helvo/host/host_settings.h"
#include "helvo/model/records.h"
#include "helvo/platform/format.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int New(const NewOptions& options) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  const int version = options.version.value_or(GetSettingVersionLimit());
  if (!CheckTargetVersion(version)) return kExitUsage;
  const int g = options.generation;
  if (g >= 3 && version < 201) {
    PrintError(Format("a generation %d recorder needs setting version 201 or later", g));
    return kExitUsage;
  }
  // The header a file of this recorder would carry: the older family below 201 (one or two banks),
  // the newer one from 201 (18 or 36 analog channels).
  const bool newer = g >= 3;
  cFilerSections::m_nSettingVersion = CHelvoCfg::m_nSetVer = newer ? version : std::min(version, 7);
  cFilerSections::m_nDSPBanks = CHelvoCfg::m_nBank = g == 2 ? 2 : 1;
  cFilerSections::m_nAChan = CHelvoCfg::m_nAChan = (g == 2 || g == 4) ? 36 : 18;
  cFilerSections::m_nSampleRate = CHelvoCfg::m_nSRate = 96;

  CHelvoCfg cfg;
  cfg.UpdateIedGen(g);
  cfg.PostLoadProcess();
  CIdCfg* id = cfg.GetIdCfg();
  id->m_nSystemFrequency = options.frequency;
  id->m_nNumAChannels = CHelvoCfg::m_nAChan;
  id->m_nSettingsVers = version;
  if (!cfg.WriteCfgFile(options.out, version, nullptr)) {
    PrintError(options.out + ": the file could not be written");
    return kExitFileError;
  }
  return kExitOk;
}

}  // namespace helvocli
