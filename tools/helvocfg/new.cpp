#include "commands.h"

#include <sys/stat.h>

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
  ui.SetFile(options.out);
  // Generations 1 and 2 are the older family (setting versions 1 to 7), 3 and 4 the newer one (201
  // on). Without a version, a file of the newest version that holds the generation; without a
  // generation, the first of the version's family.
  const int version =
      options.version.value_or(options.generation && *options.generation <= 2 ? 7 : GetSettingVersionLimit());
  if (!CheckTargetVersion(version, options.out)) return kExitUsage;
  const bool newer = version >= 201;
  const int g = options.generation.value_or(newer ? 3 : 1);
  if (newer != (g >= 3)) {
    PrintError(Format("a generation %d recorder needs a setting version %s", g,
                      g >= 3 ? "from 201 on" : "from 1 to 7"));
    return kExitUsage;
  }
  unsigned long frequency = 60;
  if (options.frequency) {
    frequency = static_cast<unsigned long>(*options.frequency);
  } else {
    int canEdit = 0;
    if (!GetDefaultSysFreq(&frequency, &canEdit)) frequency = 60;
  }
  struct stat st;
  if (!options.force && ::lstat(options.out.c_str(), &st) == 0) {
    PrintError("the file exists: nothing written (--force replaces it)");
    return kExitFileError;
  }

  // The header a file of this recorder would carry: the older family below 201 (one or two banks),
  // the newer one from 201 (18 or 36 analog channels).

  CHelvoCfg cfg;
  sCfgState& state = cfg.m_State;
  state.m_Header.m_nSettingVersion = state.m_nSetVer = version;
  state.m_Header.m_nDSPBanks = state.m_nBank = g == 2 ? 2 : 1;
  state.m_Header.m_nAChan = state.m_nAChan = (g == 2 || g == 4) ? 36 : 18;
  state.m_Header.m_nSampleRate = state.m_nSRate = 96;
  cfg.UpdateIedGen(g);
  cfg.PostLoadProcess();
  CIdCfg* id = cfg.GetIdCfg();
  id->m_nSystemFrequency = static_cast<int>(frequency);
  id->m_nNumAChannels = state.m_nAChan;
  id->m_nSettingsVers = version;
  if (!cfg.WriteCfgFile(options.out, version, nullptr)) {
    PrintError(WriteFailure());
    return kExitFileError;
  }
  return kExitOk;
}

}  // namespace helvocli
