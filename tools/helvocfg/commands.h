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
  kExitMessages = 4,      // check: some file loaded with messages; lint: findings; set: load messages
};

struct ShowOptions {
  std::string file;
  bool json = false;
  bool noCrcCheck = false;
  bool values = false;  // every key with its value, under each function and record
};
int Show(const ShowOptions& options);

int Check(const std::vector<std::string>& files, bool noCrcCheck, bool json = false);

int Scan(const std::string& file, int version, bool json = false);

// Prints each selected value as a save at the file's own version writes it.
int Get(const std::string& file, const std::vector<std::string>& selectors);

struct SetOptions {
  std::string file;
  std::vector<std::string> assignments;  // SECTION/KEY=VALUE, the value in UTF-8
  bool yes = false;
  bool force = false;
  bool dryRun = false;
};
int Set(const SetOptions& options);

// Exit status as diff(1): 0 the same, 1 different, 2 trouble.
int Diff(const std::string& a, const std::string& b, bool json);

int Lint(const std::vector<std::string>& files, bool json);

struct ConvertOptions {
  std::string file;
  std::string out;
  std::optional<int> version;
  bool yes = false;
};
int Convert(const ConvertOptions& options);

struct NewOptions {
  std::string out;
  int generation = 1;
  std::optional<int> version;
  int frequency = 60;
};
int New(const NewOptions& options);

int Crc(const std::string& file, bool fix);

}  // namespace helvocli
