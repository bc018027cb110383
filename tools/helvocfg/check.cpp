#include "commands.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include <nlohmann/json.hpp>

#include "helvo/platform/format.h"
#include "helvo/platform/text_encoding.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

namespace {

enum class Outcome { kClean, kMessages, kFailed };

// What checking one file printed, kept until the files before it were printed.
struct FileReport {
  Outcome outcome = Outcome::kFailed;
  std::string err;  // its messages, for stderr
  std::string out;  // its result line, for stdout
};

// Loads one file with a sink of the calling thread that keeps what it prints.
FileReport CheckOne(const std::string& file, bool noCrcCheck) {
  TerminalUserInterface ui;
  ui.Collect();
  ui.SetFile(file);
  ScopedThreadUserInterface scoped(ui);
  FileReport report;
  auto loaded = Load(file, noCrcCheck);
  if (loaded) {
    loaded.reset();  // messages of unloading count too
    const int count = ui.MessageCount();
    report.outcome = count ? Outcome::kMessages : Outcome::kClean;
    report.out = count ? Format("%s: %d message%s\n", file.c_str(), count, count == 1 ? "" : "s")
                       : Format("%s: ok\n", file.c_str());
  }
  report.err = ui.TakeCollected();
  return report;
}

void Print(const FileReport& report) {
  std::fputs(report.err.c_str(), stderr);
  std::fflush(stderr);
  std::fputs(report.out.c_str(), stdout);
  std::fflush(stdout);
}

// check --json: the messages of each file recorded with where they arose, in one document.
int CheckJson(const std::vector<std::string>& files, bool noCrcCheck) {
  RecordingUserInterface recorder;
  ScopedUserInterface scoped(recorder);
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  bool failed = false, withMessages = false;
  for (const std::string& file : files) {
    recorder.Clear();
    auto loaded = Load(file, noCrcCheck);
    const bool ok = loaded.has_value();
    loaded.reset();  // messages of unloading count too
    nlohmann::ordered_json messages = nlohmann::ordered_json::array();
    for (const RecordingUserInterface::Message& m : recorder.messages)
      messages.push_back({{"kind", MessageKind(m.style)},
                          {"text", Cp1252ToUtf8(m.text)},
                          {"line", m.where.line},
                          {"section", Cp1252ToUtf8(m.where.section)}});
    failed = failed || !ok;
    withMessages = withMessages || (ok && !messages.empty());
    list.push_back({{"file", file},
                    {"result", !ok                ? "not loaded"
                               : messages.empty() ? "ok"
                                                  : "messages"},
                    {"messages", messages}});
  }
  std::printf("%s\n", nlohmann::ordered_json({{"files", list}})
                          .dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                          .c_str());
  if (failed) return kExitFileError;
  return withMessages ? kExitMessages : kExitOk;
}

}  // namespace

int Check(const std::vector<std::string>& files, bool noCrcCheck, int jobs, bool json) {
  if (json) return CheckJson(files, noCrcCheck);
  const std::size_t n = files.size();
  std::vector<FileReport> reports(n);
  if (jobs <= 0) jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(jobs), n);
  if (workers <= 1) {
    for (std::size_t i = 0; i < n; ++i) Print(reports[i] = CheckOne(files[i], noCrcCheck));
  } else {
    // This thread and workers - 1 others take the files in argument order; this thread also prints
    // each report once every report before it is printed, so the output is that of one file after the
    // other. A worker wakes it only when the report it is waiting for is done.
    std::mutex mutex;
    std::condition_variable ready;
    std::vector<char> done(n, 0);
    std::size_t next = 0, printed = 0;
    auto checkNext = [&]() -> bool {
      std::size_t i;
      {
        std::lock_guard lock(mutex);
        if (next == n) return false;
        i = next++;
      }
      FileReport report = CheckOne(files[i], noCrcCheck);
      std::lock_guard lock(mutex);
      reports[i] = std::move(report);
      done[i] = 1;
      if (i == printed) ready.notify_one();
      return true;
    };
    // Prints the reports that are done, in order; waits for the next one when wait is set.
    auto printDone = [&](bool wait) {
      for (;;) {
        {
          std::unique_lock lock(mutex);
          if (printed == n) return;
          if (wait)
            ready.wait(lock, [&] { return done[printed] != 0; });
          else if (!done[printed])
            return;
        }
        Print(reports[printed]);
        std::lock_guard lock(mutex);
        ++printed;
      }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
      threads.emplace_back([&] {
        while (checkNext()) {
        }
      });
    while (checkNext()) printDone(false);
    printDone(true);
    for (std::thread& t : threads) t.join();
  }
  int clean = 0, withMessages = 0, failed = 0;
  for (const FileReport& r : reports) {
    clean += r.outcome == Outcome::kClean;
    withMessages += r.outcome == Outcome::kMessages;
    failed += r.outcome == Outcome::kFailed;
  }
  if (n > 1)
    std::printf("%zu files: %d ok, %d with messages, %d not loaded\n", n, clean, withMessages, failed);
  if (failed) return kExitFileError;
  return withMessages ? kExitMessages : kExitOk;
}

}  // namespace helvocli
