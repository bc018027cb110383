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
  bool values = false;  // every key with its value, under each function and record
};
int Show(const ShowOptions& options);

// Loads the files on jobs threads (0: one per core) and prints each file's messages and result line
// in argument order, as one thread would.
// json: one document with each file, its result and its messages (kind, text, line, section).
int Check(const std::vector<std::string>& files, bool noCrcCheck, int jobs, bool json = false);

int Scan(const std::string& file, int version, bool json = false);

// Prints each selected value as a save at the file's own version writes it.
int Get(const std::string& file, const std::vector<std::string>& selectors);

struct SetOptions {
  std::string file;
  std::vector<std::string> assignments;  // SECTION/KEY=VALUE, the value in UTF-8
  bool yes = false;
  bool force = false;   // write even when loading showed messages
  bool dryRun = false;  // print what diff would print; write nothing
};
int Set(const SetOptions& options);

// Exit status as diff(1): 0 the same, 1 different, 2 trouble.
int Diff(const std::string& a, const std::string& b, bool json);

// Exit status: 0 no finding, 4 findings, 1 a file could not be loaded.
int Lint(const std::vector<std::string>& files, bool json);

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

// Prints the signal-flow diagram as Graphviz DOT.
int Graph(const std::string& file);

struct ReportOptions {
  std::string file;
  std::string out;  // empty: FILE with ".html" in place of its extension
  bool noCrcCheck = false;
};
// Writes the HTML settings report.
int Report(const ReportOptions& options);

}  // namespace helvocli
