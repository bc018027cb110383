#include "tool_common.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "helvo/engine/filer.h"
#include "helvo/host/host_settings.h"
#include "helvo/host/settings_file.h"
#include "helvo/model/records.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
#include "helvo/saving/confirm_dialog.h"
#include "terminal_ui.h"

namespace helvocli {

using namespace helvo;

bool ReadForTool(const std::string& path, std::string& bytes) {
  const eFilerError result = ReadSettingsBytes(path, bytes);
  if (result == eFilerNoError) return true;
  PrintError(cFilerContainer::ErrorString(result), path);
  return false;
}

std::optional<Loaded> Load(const std::string& path, bool noCrcCheck) {
  OpenedSettingsFile opened = OpenSettingsFile(path, noCrcCheck);
  if (!opened.cfg) {
    PrintError(cFilerContainer::ErrorString(opened.result), path);
    return std::nullopt;
  }
  return Loaded{std::move(opened.cfg), std::move(opened.bytes)};
}

bool CheckTargetVersion(int version, const std::string& file) {
  const int limit = GetSettingVersionLimit();
  if ((version >= 1 && version <= 7) || (version >= 201 && version <= limit)) return true;
  PrintError(Format("setting version %d cannot be written (1 to 7, or 201 to %d)", version, limit), file);
  return false;
}

bool Confirmed(const TerminalUserInterface& ui, StringList& lines) {
  if (lines.IsEmpty()) return true;
  cConfirmVersionDlg dialog(nullptr, &lines);
  if (dialog.DoModal() == IDOK) return true;
  PrintError(ui.Unanswered() ? "not confirmed (no terminal to ask; --yes confirms): nothing written"
                             : "not confirmed: nothing written");
  return false;
}

bool IsDownwardConversion(const StringList& lines) {
  return lines.GetCount() == 1 && lines.GetHead() == "DownwardConversionError";
}

int OwnVersion(const CHelvoCfg& cfg) {
  const CIdCfg* id = cfg.GetIdCfg();
  return id ? id->m_nSettingsVers : 0;
}

bool RefusedAfterMessages(const TerminalUserInterface& ui, const std::string& file, bool force) {
  const int count = ui.MessageCount();
  if (count == 0 || force) return false;
  PrintError(Format("loading showed %d message%s, so the file may have lost settings: nothing written "
                    "(--force writes what was read)",
                    count, count == 1 ? "" : "s"),
             file);
  return true;
}

std::string WriteFailure() {
  std::string text = "the file could not be written";
  if (const int error = LastWriteError()) text += Format(" (%s)", std::strerror(error));
  return text;
}

}  // namespace helvocli
