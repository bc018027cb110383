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
  kExitMessages = 4,      // check: some file loaded with messages
};

struct ShowOptions {
  std::string file;
  bool json = false;
  bool noCrcCheck = false;
};
int Show(const ShowOptions& options);

int Check(const std::vector<std::string>& files, bool noCrcCheck);

int Scan(const std::string& file, int version);

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
