#include "helvo/host/settings_file.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "helvo/engine/settings_text.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"

namespace helvo {

namespace {

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

bool MarkedAsNewFile(const std::string& bytes) {
  for (std::size_t pos = bytes.find("NEWFILE="); pos != std::string::npos;
       pos = bytes.find("NEWFILE=", pos + 1)) {
    if (pos != 0 && bytes[pos - 1] != '\n') continue;
    if (std::atoi(bytes.c_str() + pos + 8) != 0) return true;
  }
  return false;
}

eFilerError ReadSettingsBytes(const std::string& path, std::string& bytes) {
  switch (ReadWholeFile(path, bytes, kMaxSettingsFileSize)) {
    case ReadStatus::kOk:
      return eFilerNoError;
    case ReadStatus::kTooLarge:
      return eFilerReadError;
    default:
      return eFilerOpenError;
  }
}

OpenedSettingsFile OpenSettingsFile(const std::string& path, bool noCheck) {
  OpenedSettingsFile opened;
  opened.result = ReadSettingsBytes(path, opened.bytes);
  if (opened.result != eFilerNoError) {
    opened.bytes.clear();
    return opened;
  }
  opened.result = eFilerOpenError;
  // A file marked as new is loaded from a private copy, so that the load's deletion hits the copy; so
  // is anything but a regular file (a pipe cannot be read twice).
  std::unique_ptr<ScratchDir> scratch;
  std::string source = path;
  struct stat st;
  if (MarkedAsNewFile(opened.bytes) || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    scratch = std::make_unique<ScratchDir>();
    source = scratch->path() + "/copy.cfg";
    if (scratch->path().empty() || !ReplaceFileAtomically(source, opened.bytes)) return opened;
  }
  auto cfg = std::make_unique<CHelvoCfg>(source, noCheck ? 1 : 0);
  opened.result = cfg->m_eReadResult;
  if (opened.result != eFilerNoError) return opened;
  cfg->m_strFilePath = path;
  opened.cfg = std::move(cfg);
  return opened;
}

OpenedSettingsFile OpenSettingsText(const std::string& bytes, bool noCheck) {
  OpenedSettingsFile opened;
  ScratchDir scratch;
  const std::string source = scratch.path() + "/copy.cfg";
  if (scratch.path().empty() || !ReplaceFileAtomically(source, bytes)) return opened;
  auto cfg = std::make_unique<CHelvoCfg>(source, noCheck ? 1 : 0);
  opened.bytes = bytes;
  opened.result = cfg->m_eReadResult;
  if (opened.result == eFilerNoError) opened.cfg = std::move(cfg);
  return opened;
}

}  // namespace helvo
