#include "commands.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "helvo/engine/filer.h"
#include "helvo/host/host_settings.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
#include "helvo/saving/confirm_dialog.h"
#include "summary.h"
#include "terminal_ui.h"

namespace helvocli {

using namespace helvo;

namespace {

// True when the identification section of bytes marks the file as a one-time new file, which the
// library deletes once it has read it by path.
bool MarkedAsNewFile(const std::string& bytes) {
  for (std::size_t pos = bytes.find("NEWFILE="); pos != std::string::npos;
       pos = bytes.find("NEWFILE=", pos + 1)) {
    if (pos != 0 && bytes[pos - 1] != '\n') continue;
    if (std::atoi(bytes.c_str() + pos + 8) != 0) return true;
  }
  return false;
}

// A private folder under the system's temporary folder, removed with its content.
class ScratchDir {
 public:
  ScratchDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/helvocfg.XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A configuration loaded from a file, with the file's bytes.
struct Loaded {
  std::unique_ptr<CHelvoCfg> cfg;
  std::string bytes;
};

// Loads path, reporting a failure as "error: PATH: TEXT". The tool never deletes what it is given: a
// file marked as a one-time new file is loaded from a private copy.
std::optional<Loaded> Load(const std::string& path, bool noCrcCheck) {
  Loaded loaded;
  const ReadStatus status = ReadWholeFile(path, loaded.bytes);
  if (status != ReadStatus::kOk) {
    PrintError(path + ": " + cFilerContainer::ErrorString(eFilerOpenError));
    return std::nullopt;
  }
  std::optional<ScratchDir> scratch;
  std::string source = path;
  if (MarkedAsNewFile(loaded.bytes)) {
    scratch.emplace();
    source = scratch->path() + "/copy.cfg";
    if (scratch->path().empty() || !ReplaceFileAtomically(source, loaded.bytes)) {
      PrintError(path + ": no private copy could be made to load it from");
      return std::nullopt;
    }
  }
  loaded.cfg = std::make_unique<CHelvoCfg>(source, noCrcCheck ? 1 : 0);
  if (loaded.cfg->m_eReadResult != eFilerNoError) {
    PrintError(path + ": " + cFilerContainer::ErrorString(loaded.cfg->m_eReadResult));
    return std::nullopt;
  }
  loaded.cfg->m_strFilePath = path;
  return loaded;
}

// Setting versions a file can be written at: the older family and the newer one up to the host's
// limit. Anything else would give a file the reader refuses.
bool CheckTargetVersion(int version) {
  const int limit = GetSettingVersionLimit();
  if ((version >= 1 && version <= 7) || (version >= 201 && version <= limit)) return true;
  PrintError(Format("setting version %d cannot be written (1 to 7, or 201 to %d)", version, limit));
  return false;
}

StringList ScanLines(CHelvoCfg& cfg, int version) {
  StringList lines;
  cfg.PreDumpScan(lines, version);
  return lines;
}

// The scan's answer for a newer-family configuration asked for an older-family version.
bool IsDownwardConversion(const StringList& lines) {
  return lines.GetCount() == 1 && lines.GetHead() == "DownwardConversionError";
}

int OwnVersion(const CHelvoCfg& cfg) {
  const CIdCfg* id = cfg.GetIdCfg();
  return id ? id->m_nSettingsVers : 0;
}

}  // namespace

int Show(const ShowOptions& options) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  auto loaded = Load(options.file, options.noCrcCheck);
  if (!loaded) return kExitFileError;
  const Summary summary = Summarize(*loaded->cfg, options.file, ReadCrcState(loaded->bytes));
  if (options.json)
    std::printf("%s\n", ToJson(summary).dump(2).c_str());
  else
    std::printf("%s", ToText(summary).c_str());
  return kExitOk;
}

int Check(const std::vector<std::string>& files, bool noCrcCheck) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  int clean = 0, withMessages = 0, failed = 0;
  for (const std::string& file : files) {
    ui.ResetCount();
    auto loaded = Load(file, noCrcCheck);
    if (!loaded) {
      ++failed;
      continue;
    }
    loaded.reset();  // messages of unloading count too
    if (ui.MessageCount() == 0) {
      ++clean;
      std::printf("%s: ok\n", file.c_str());
    } else {
      ++withMessages;
      std::printf("%s: %d message%s\n", file.c_str(), ui.MessageCount(), ui.MessageCount() == 1 ? "" : "s");
    }
  }
  if (files.size() > 1)
    std::printf("%zu files: %d ok, %d with messages, %d not loaded\n", files.size(), clean, withMessages,
                failed);
  if (failed) return kExitFileError;
  return withMessages ? kExitMessages : kExitOk;
}

int Scan(const std::string& file, int version) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  if (!CheckTargetVersion(version)) return kExitUsage;
  auto loaded = Load(file, false);
  if (!loaded) return kExitFileError;
  for (const std::string& line : ScanLines(*loaded->cfg, version)) std::printf("%s\n", line.c_str());
  return kExitOk;
}

int Convert(const ConvertOptions& options) {
  TerminalUserInterface ui(options.yes ? TerminalUserInterface::Confirm::kYes
                                       : TerminalUserInterface::Confirm::kAsk);
  ScopedUserInterface scoped(ui);
  if (options.version && !CheckTargetVersion(*options.version)) return kExitUsage;
  auto loaded = Load(options.file, false);
  if (!loaded) return kExitFileError;
  CHelvoCfg& cfg = *loaded->cfg;

  int saved = 0;
  if (!options.version) {
    saved = cfg.WriteCfgFile(options.out, nullptr);
  } else {
    StringList lines = ScanLines(cfg, *options.version);
    if (IsDownwardConversion(lines)) {
      PrintError(Format("%s: a setting version %d file cannot be converted to version %d",
                        options.file.c_str(), OwnVersion(cfg), *options.version));
      return kExitUsage;
    }
    if (!lines.IsEmpty()) {
      cConfirmVersionDlg dialog(nullptr, &lines);
      if (dialog.DoModal() != IDOK) {
        PrintError(ui.Unanswered() ? "not confirmed (no terminal to ask; --yes confirms): nothing written"
                                   : "not confirmed: nothing written");
        return kExitNotConfirmed;
      }
    }
    saved = cfg.WriteCfgFile(options.out, *options.version, nullptr);
  }
  if (!saved) {
    PrintError(options.out + ": the file could not be written");
    return kExitFileError;
  }
  return kExitOk;
}

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
  CHelvoCfg cfg;
  sCfgState& state = cfg.m_State;
  state.m_Header.m_nSettingVersion = state.m_nSetVer = newer ? version : std::min(version, 7);
  state.m_Header.m_nDSPBanks = state.m_nBank = g == 2 ? 2 : 1;
  state.m_Header.m_nAChan = state.m_nAChan = (g == 2 || g == 4) ? 36 : 18;
  state.m_Header.m_nSampleRate = state.m_nSRate = 96;
  cfg.UpdateIedGen(g);
  cfg.PostLoadProcess();
  CIdCfg* id = cfg.GetIdCfg();
  id->m_nSystemFrequency = options.frequency;
  id->m_nNumAChannels = state.m_nAChan;
  id->m_nSettingsVers = version;
  if (!cfg.WriteCfgFile(options.out, version, nullptr)) {
    PrintError(options.out + ": the file could not be written");
    return kExitFileError;
  }
  return kExitOk;
}

int Crc(const std::string& file, bool fix) {
  std::string bytes;
  if (ReadWholeFile(file, bytes) != ReadStatus::kOk) {
    PrintError(file + ": " + cFilerContainer::ErrorString(eFilerOpenError));
    return kExitFileError;
  }
  if (bytes.size() < 6) {
    PrintError(file + ": too short for a settings file");
    return kExitFileError;
  }
  const CrcState crc = ReadCrcState(bytes);
  std::printf("stored   %s\ncomputed %s\n", crc.stored.c_str(), crc.computed.c_str());
  if (!fix || crc.state == "valid") return kExitOk;
  bytes.replace(0, 4, crc.computed);
  if (!ReplaceFileAtomically(file, bytes)) {
    PrintError(file + ": " + cFilerContainer::ErrorString(eFilerWriteError));
    return kExitFileError;
  }
  std::printf("fixed    %s\n", crc.computed.c_str());
  return kExitOk;
}

}  // namespace helvocli
