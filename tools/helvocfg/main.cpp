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

  std::vector<std::string> checkFiles;
  bool checkNoCrc = false;
  auto* checkCmd = app.add_subcommand("check", "Load files and report every message (exit 4 when any)");
  checkCmd->add_option("FILE", checkFiles, "settings files")->required();
  checkCmd->add_flag("--no-crc-check", checkNoCrc, "load even when the CRC does not match");

  std::string scanFile;
  int scanVersion = 0;
  auto* scanCmd = app.add_subcommand("scan", "List what saving at another setting version loses");
  scanCmd->add_option("FILE", scanFile, "settings file")->required();
  scanCmd->add_option("--to", scanVersion, "target setting version")->required();

  ConvertOptions convert;
  auto* convertCmd =
      app.add_subcommand("convert", "Save a settings file again, optionally at another version");
  convertCmd->add_option("FILE", convert.file, "settings file")->required();
  convertCmd->add_option("OUT", convert.out, "file to write (may be FILE)")->required();
  convertCmd->add_option("--to", convert.version, "target setting version");
  convertCmd->add_flag("--yes", convert.yes, "continue without asking when the conversion loses settings");

  NewOptions create;
  auto* newCmd = app.add_subcommand("new", "Write a new settings file with the library's defaults");
  newCmd->add_option("OUT", create.out, "file to write")->required();
  newCmd->add_option("--generation", create.generation, "recorder generation")->check(CLI::Range(1, 4));
  newCmd->add_option("--to", create.version, "setting version (default: the host's limit)");
  newCmd->add_option("--frequency", create.frequency, "system frequency in Hz")
      ->check(CLI::IsMember({50, 60}));

  std::string crcFile;
  bool crcFix = false;
  auto* crcCmd = app.add_subcommand("crc", "Print the stored and the computed CRC of a file");
  crcCmd->add_option("FILE", crcFile, "settings file")->required();
  crcCmd->add_flag("--fix", crcFix, "rewrite the CRC characters when they differ");

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
  if (checkCmd->parsed()) return Check(checkFiles, checkNoCrc);
  if (scanCmd->parsed()) return Scan(scanFile, scanVersion);
  if (convertCmd->parsed()) return Convert(convert);
  if (newCmd->parsed()) return New(create);
  if (graphCmd->parsed()) return Graph(graphFile);
  if (reportCmd->parsed()) return Report(report);
  return Crc(crcFile, crcFix);
}
