#include "helvo/platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace helvo {

namespace {

thread_local int t_lastWriteError = 0;

// Records why a save failed and answers false.
bool WriteFailed(int error) {
  t_lastWriteError = error ? error : EIO;
  return false;
}

FileFailureHook& FailureHook() {
  static FileFailureHook hook;
  return hook;
}

// True (errno set) when the hook makes this call fail.
bool Injected(FileCall call) {
  const FileFailureHook& hook = FailureHook();
  if (!hook || !hook(call)) return false;
  errno = EIO;
  return true;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = Injected(FileCall::kWrite) ? -1 : ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string& data) {
  return ReadWholeFile(path, data, std::string().max_size() / 2);
}

ReadStatus ReadWholeFile(const std::string& path, std::string& data, std::size_t limit) {
  if (path.empty()) return ReadStatus::kNotFound;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) {
      struct stat st;
      const std::string folder = FolderOf(path);
      if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ReadStatus::kNotFound;
    }
    return ReadStatus::kFailed;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return ReadStatus::kFailed;
  }
  if (S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) > limit) {
    ::close(fd);
    return ReadStatus::kTooLarge;
  }
  // Read straight into the buffer: a regular file in one go at its size (one more byte shows that it
  // grew meanwhile), anything else in growing steps, never past limit + 1 bytes.
  std::string buffer;
  std::size_t used = 0;
  const std::size_t expected = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0;
  buffer.resize(std::min(limit, std::max<std::size_t>(expected, 65535)) + 1);
  for (;;) {
    if (used == buffer.size()) {
      if (used > limit) {
        ::close(fd);
        return ReadStatus::kTooLarge;
      }
      buffer.resize(std::min(limit + 1, used * 2));
    }
    const ssize_t n = ::read(fd, buffer.data() + used, buffer.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return ReadStatus::kFailed;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (used > limit) return ReadStatus::kTooLarge;
  buffer.resize(used);
  data.swap(buffer);
  return ReadStatus::kOk;
}

bool ReplaceFileAtomically(const std::string& linkOrPath, const std::string& data) {
  t_lastWriteError = 0;
  if (linkOrPath.empty()) return WriteFailed(ENOENT);
  // Saving through a symbolic link updates the file it names; renaming over the link itself would
  // leave that file unchanged and turn the link into a copy.
  std::string path = linkOrPath;
  struct stat link;
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      path = real;
      std::free(real);
    }
  }
  struct stat target;
  const bool exists = ::stat(path.c_str(), &target) == 0;
  if (exists && !S_ISREG(target.st_mode)) return WriteFailed(S_ISDIR(target.st_mode) ? EISDIR : EINVAL);
  // Renaming would replace even a file its owner made read-only; a save must honour that as opening
  // the file for writing would.
  if (exists && ::access(path.c_str(), W_OK) != 0) return WriteFailed(errno);

  std::string temp = FolderOf(path) + "/." + BaseNameOf(path) + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = Injected(FileCall::kOpen) ? -1 : ::mkstemp(name.data());
  if (fd < 0) return WriteFailed(errno);
  temp.assign(name.data());

  mode_t mode;
  if (exists) {
    mode = target.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int error = 0;  // errno of the first step that failed
  auto step = [&error](bool done) {
    if (!done && !error) error = errno;
    return done;
  };
  bool ok = step(::fchmod(fd, mode) == 0) && step(WriteAll(fd, data.data(), data.size())) &&
            step(!Injected(FileCall::kSync) && ::fsync(fd) == 0);
  const bool closeFails = Injected(FileCall::kClose);
  ok = step(::close(fd) == 0 && !closeFails) && ok;
  if (ok) ok = step(!Injected(FileCall::kRename) && ::rename(temp.c_str(), path.c_str()) == 0);
  if (!ok) {
    ::unlink(temp.c_str());
    return WriteFailed(error);
  }
  // Make the rename itself durable; a failure here does not undo the save.
  const std::string folder = FolderOf(path);
  const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

int LastWriteError() {
  return t_lastWriteError;
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

void SetFileFailureHook(FileFailureHook hook) {
  FailureHook() = std::move(hook);
}

}  // namespace helvo
