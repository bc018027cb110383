#include "tool_common.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "helvo/engine/filer.h"
#include "helvo/host/host_settings.h"
#include "helvo/model/records.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
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

}  // namespace

bool ReadForTool(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    PrintError(cFilerContainer::ErrorString(eFilerOpenError), path);
    return false;
  }
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode) &&
            !(S_ISREG(st.st_mode) && st.st_size > static_cast<off_t>(kMaxFileBytes));
  std::string data;
  char chunk[65536];
  while (ok) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    data.append(chunk, static_cast<std::size_t>(n));
    ok = data.size() <= kMaxFileBytes;
  }
  ::close(fd);
  if (!ok) {
    PrintError(cFilerContainer::ErrorString(eFilerReadError), path);
    return false;
  }
  bytes.swap(data);
  return true;
}

std::optional<Loaded> Load(const std::string& path, bool noCrcCheck) {
  Loaded loaded;
  if (!ReadForTool(path, loaded.bytes)) return std::nullopt;
  std::optional<ScratchDir> scratch;
  std::string source = path;
  if (MarkedAsNewFile(loaded.bytes)) {
    scratch.emplace();
    source = scratch->path() + "/copy.cfg";
    if (scratch->path().empty() || !ReplaceFileAtomically(source, loaded.bytes)) {
      PrintError("no private copy could be made to load it from", path);
      return std::nullopt;
    }
  }
  loaded.cfg = std::make_unique<CHelvoCfg>(source, noCrcCheck ? 1 : 0);
  if (loaded.cfg->m_eReadResult != eFilerNoError) {
    PrintError(cFilerContainer::ErrorString(loaded.cfg->m_eReadResult), path);
    return std::nullopt;
  }
  loaded.cfg->m_strFilePath = path;
  return loaded;
}

bool CheckTargetVersion(int version, const std::string& file) {
  const int limit = GetSettingVersionLimit();
  if ((version >= 1 && version <= 7) || (version >= 201 && version <= limit)) return true;
  PrintError(Format("setting version %d cannot be written (1 to 7, or 201 to %d)", version, limit), file);
  return false;
}

StringList ScanLines(CHelvoCfg& cfg, int version) {
  StringList lines;
  cfg.PreDumpScan(lines, version);
  return lines;
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
