// File input and output. Reading takes a whole file into memory; writing replaces a file atomically
// (a temporary file in the same folder, flushed, then renamed over the target), so a failed save
// never damages the file that was there before.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace helvo {

enum class ReadStatus { kOk, kNotFound, kFailed, kTooLarge };

// Reads the whole file into data. kNotFound when the file does not exist in an existing folder;
// kFailed for any other failure (a missing folder, a directory, a read error). data is unchanged on
// failure.
ReadStatus ReadWholeFile(const std::string& path, std::string& data);
// The same for a file of at most limit bytes: kTooLarge, with data unchanged, for a longer one. A
// regular file is judged by its size before anything is read; a stream (a device, a pipe) is read up
// to limit + 1 bytes, so memory stays bounded even for one without end.
ReadStatus ReadWholeFile(const std::string& path, std::string& data, std::size_t limit);

// Writes data as the new content of path. Returns true on success. On failure the previous file (if
// any) is left byte for byte as it was and no temporary file remains. A new file gets the permissions
// a plain create would give (0666 less the umask); an existing file keeps its permissions, and one the
// caller may not write is refused. A path
// that is a symbolic link replaces the file the link names, and the link stays.
bool ReplaceFileAtomically(const std::string& path, const std::string& data);

// The system's error number (errno) of the calling thread's last failed ReplaceFileAtomically; 0 after
// one that succeeded. A save's own message never names the system's reason; a caller that wants to
// (disk full, read-only file system, missing folder) takes it from here.
int LastWriteError();

// Removes a file; the outcome is returned but callers may ignore it.
bool RemoveFile(const std::string& path);

// The system calls ReplaceFileAtomically makes, as seen by a failure hook.
enum class FileCall { kOpen, kWrite, kSync, kClose, kRename };

// A hook asked before each of those calls; when it answers true the call is not made (a close is still
// made, so nothing leaks) and fails as the system would, with errno EIO. Lets tests prove that every
// failure of a save leaves the previous file and nothing else behind. No hook (the default) means no
// injected failures. Not thread-safe: set it only while no save runs.
using FileFailureHook = std::function<bool(FileCall call)>;
void SetFileFailureHook(FileFailureHook hook);

}  // namespace helvo
