// helvocfg: inspect, check, scan, convert, create and report on recorder settings files from the
// command line.
// The argument parsing and dispatch live here; each subcommand has its own source file.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"

#ifndef HELVOCFG_VERSION
#define HELVOCFG_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  using namespace helvocli;
  CLI::App app{"Inspect, check, convert and create recorder settings files."};
  app.name("helvocfg");
  app.set_version_flag("--version", std::string("helvocfg ") + HELVOCFG_VERSION);
  app.require_subcommand(1);

  ShowOptions show;
  auto* showCmd = app.add_subcommand("show", "Print a summary of a settings file");
  showCmd->add_option("FILE", show.file, "settings file")->required();
  showCmd->add_flag("--json", show.json, "print the summary as one JSON document");
  showCmd->add_flag("--no-crc-check", show.noCrcCheck, "load even when the CRC does not match");
  showCmd->add_flag("--values", show.values, "list every key with its value as a save writes it");

  std::vector<std::string> checkFiles;
  bool checkNoCrc = false, checkJson = false;
  int checkJobs = 0;
  auto* checkCmd = app.add_subcommand("check", "Load files and report every message (exit 4 when any)");
  checkCmd->add_option("FILE", checkFiles, "settings files")->required();
  checkCmd->add_flag("--no-crc-check", checkNoCrc, "load even when the CRC does not match");
  checkCmd->add_flag("--json", checkJson, "print the results as one JSON document");
  checkCmd->add_option("-j,--jobs", checkJobs, "files loaded at once (default: one per core)")
      ->check(CLI::Range(1, 1024));

  std::string scanFile;
  int scanVersion = 0;
  bool scanJson = false;
  auto* scanCmd = app.add_subcommand("scan", "List what saving at another setting version loses");
  scanCmd->add_option("FILE", scanFile, "settings file")->required();
  scanCmd->add_option("--to", scanVersion, "target setting version")->required();
  scanCmd->add_flag("--json", scanJson, "print the lines as one JSON document");

  std::string getFile;
  std::vector<std::string> getSelectors;
  auto* getCmd = app.add_subcommand("get", "Print values as a save at the file's own version writes them");
  getCmd->add_option("FILE", getFile, "settings file")->required();
  getCmd->add_option("SELECTOR", getSelectors, "SECTION/KEY, as the file writes them")->required();

  SetOptions set;
  auto* setCmd = app.add_subcommand("set", "Set values through their keys' own definitions and save");
  setCmd->add_option("FILE", set.file, "settings file")->required();
  setCmd->add_option("ASSIGNMENT", set.assignments, "SECTION/KEY=VALUE")->required();
  setCmd->add_flag("--yes", set.yes, "continue without asking when the save loses settings");
  setCmd->add_flag("--force", set.force, "write even when loading showed messages");
  setCmd->add_flag("--dry-run", set.dryRun, "print what diff would print and write nothing");

  std::vector<std::string> diffFiles;
  bool diffJson = false;
  auto* diffCmd =
      app.add_subcommand("diff", "Compare two configurations key by key (exit 1 when they differ)");
  diffCmd->add_option("FILES", diffFiles, "A B")->required()->expected(2);
  diffCmd->add_flag("--json", diffJson, "print the changes as one JSON document");

  std::vector<std::string> lintFiles;
  bool lintJson = false;
  auto* lintCmd = app.add_subcommand("lint", "Report what loading takes silently (exit 4 on findings)");
  lintCmd->add_option("FILE", lintFiles, "settings files")->required();
  lintCmd->add_flag("--json", lintJson, "print the findings as one JSON document");

  ConvertOptions convert;
  auto* convertCmd =
      app.add_subcommand("convert", "Save a settings file again, optionally at another version");
  convertCmd->add_option("FILE", convert.file, "settings file")->required();
  convertCmd->add_option("OUT", convert.out, "file to write (may be FILE)")->required();
  convertCmd->add_option("--to", convert.version, "target setting version");
  convertCmd->add_flag("--yes", convert.yes, "continue without asking when the save loses settings");
  convertCmd->add_flag("--force", convert.force, "write even when loading showed messages");

  NewOptions create;
  auto* newCmd = app.add_subcommand("new", "Write a new settings file with the library's defaults");
  newCmd->add_option("OUT", create.out, "file to write")->required();
  newCmd->add_option("--generation", create.generation, "recorder generation")->check(CLI::Range(1, 4));
  newCmd->add_option("--to", create.version,
                     "setting version (default: 7 for generations 1 and 2, else the host's limit)");
  newCmd->add_option("--frequency", create.frequency, "system frequency in Hz (default: the host's)")
      ->check(CLI::IsMember({50, 60}));
  newCmd->add_flag("--force", create.force, "replace OUT when it exists");

  CrcOptions crc;
  auto* crcCmd =
      app.add_subcommand("crc", "Print the stored and the computed CRC of a file (exit 4 when they differ)");
  crcCmd->add_option("FILE", crc.file, "settings file")->required();
  crcCmd->add_flag("--fix", crc.fix, "rewrite the CRC characters when they differ");
  crcCmd->add_flag("--force", crc.force, "with --fix: replace an unchecked mark too");

  std::string graphFile;
  auto* graphCmd = app.add_subcommand("graph", "Print the signal-flow diagram as Graphviz DOT");
  graphCmd->add_option("FILE", graphFile, "settings file")->required();

  ReportOptions report;
  auto* reportCmd = app.add_subcommand("report", "Write an HTML report to review and sign a settings file");
  reportCmd->add_option("FILE", report.file, "settings file")->required();
  reportCmd->add_option("-o,--output", report.out,
                        "HTML file to write (default: FILE with .html; - for stdout)");
  reportCmd->add_flag("--no-crc-check", report.noCrcCheck, "report even when the CRC does not match");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "error: %s\nRun with --help for more information.\n", e.what());
    return kExitUsage;
  }

  if (showCmd->parsed()) return Show(show);
  if (checkCmd->parsed()) return Check(checkFiles, checkNoCrc, checkJobs, checkJson);
  if (scanCmd->parsed()) return Scan(scanFile, scanVersion, scanJson);
  if (getCmd->parsed()) return Get(getFile, getSelectors);
  if (setCmd->parsed()) return Set(set);
  if (diffCmd->parsed()) return Diff(diffFiles[0], diffFiles[1], diffJson);
  if (lintCmd->parsed()) return Lint(lintFiles, lintJson);
  if (convertCmd->parsed()) return Convert(convert);
  if (newCmd->parsed()) return New(create);
  if (graphCmd->parsed()) return Graph(graphFile);
  if (reportCmd->parsed()) return Report(report);
  return Crc(crc);
}
