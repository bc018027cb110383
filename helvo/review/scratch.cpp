// Private files the review features read text from by path.
#include "helvo/review/scratch.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

ScratchFile::ScratchFile(const std::string& data) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/helvocfg.XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return;
  // Read back at once and then removed: it needs no flush to the disk, which would cost more than all
  // the reading and writing around it.
  bool written = true;
  for (size_t done = 0; written && done < data.size();) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) written = false;
  if (written)
    path_ = pattern;
  else
    RemoveFile(pattern);
}

ScratchFile::~ScratchFile() {
  if (!path_.empty()) RemoveFile(path_);
}

bool ReadImageQuietly(const std::string& image, std::unique_ptr<CHelvoCfg>& cfg, const std::string& what,
                      std::string& error) {
  cfg.reset();
  ScratchFile file(image);
  if (file.path().empty()) {
    error = "no private file could be made to read " + what + " from";
    return false;
  }
  RecordingUserInterface recorder;
  {
    ScopedThreadUserInterface scoped(recorder);
    cfg = std::make_unique<CHelvoCfg>(file.path(), 0);
  }
  if (cfg->m_eReadResult != eFilerNoError || !recorder.messages.empty()) {
    error = recorder.messages.empty() ? what + " cannot be read"
                                      : what + " load with a message: " + recorder.messages[0].text;
    cfg.reset();
    return false;
  }
  cfg->m_strFilePath.clear();
  return true;
}

}  // namespace helvo
