// The subcommands of the helvocfg tool. Each returns the tool's exit status.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace helvocli {

// Exit statuses; scripts rely on them.
enum ExitStatus : int {
  kExitOk = 0,
  kExitFileError = 1,     // a file could not be read or written
  kExitUsage = 2,         // wrong usage
  kExitNotConfirmed = 3,  // a conversion that loses settings was not confirmed
  kExitMessages = 4,      // loading showed messages (check; a refused write); crc: the CRC differs
};

struct ShowOptions {
  std::string file;
  bool json = false;
  bool noCrcCheck = false;
};
int Show(const ShowOptions& options);

// Loads the files on jobs threads (0: one per core) and prints each file's messages and result line
// in argument order, as one thread would.
int Check(const std::vector<std::string>& files, bool noCrcCheck, int jobs);

int Scan(const std::string& file, int version);

struct ConvertOptions {
  std::string file;
  std::string out;
  std::optional<int> version;
  bool yes = false;
  bool force = false;  // write even when loading showed messages
};
int Convert(const ConvertOptions& options);

struct NewOptions {
  std::string out;
  std::optional<int> generation;
  std::optional<int> version;
  std::optional<int> frequency;  // none: the host's default system frequency
  bool force = false;            // replace an existing file
};
int New(const NewOptions& options);

struct CrcOptions {
  std::string file;
  bool fix = false;
  bool force = false;  // with fix: replace an unchecked mark too
};
int Crc(const CrcOptions& options);

}  // namespace helvocli
