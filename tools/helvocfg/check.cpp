#include <cstdio>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "helvo/platform/text_encoding.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

namespace {

const char* KindOf(unsigned style) {
  switch (style & 0xF0u) {
    case MB_ICONERROR:
      return "error";
    case MB_ICONWARNING:
      return "warning";
    case MB_ICONQUESTION:
      return "question";
    default:
      return "note";
  }
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
      messages.push_back({{"kind", KindOf(m.style)},
                          {"text", Cp1252ToUtf8(m.text)},
                          {"line", m.where.line},
                          {"section", Cp1252ToUtf8(m.where.section)}});
    failed = failed || !ok;
    withMessages = withMessages || !messages.empty();
    list.push_back({{"file", file},
                    {"result", !ok                ? "not loaded"
                               : messages.empty() ? "ok"
                                                  : "messages"},
                    {"messages", messages}});
  }
  std::printf("%s\n", nlohmann::ordered_json({{"files", list}}).dump(2).c_str());
  if (failed) return kExitFileError;
  return withMessages ? kExitMessages : kExitOk;
}

}  // namespace

int Check(const std::vector<std::string>& files, bool noCrcCheck, bool json) {
  if (json) return CheckJson(files, noCrcCheck);
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  int clean = 0, withMessages = 0, failed = 0;
  for (const std::string& file : files) {
    ui.ResetCount();
    auto loaded = Load(file, noCrcCheck);
    if (!loaded) {
      ++failed;
      continue;
    }
    loaded.reset();  // messages of unloading count too
    if (ui.MessageCount() == 0) {
      ++clean;
      std::printf("%s: ok\n", file.c_str());
    } else {
      ++withMessages;
      std::printf("%s: %d message%s\n", file.c_str(), ui.MessageCount(), ui.MessageCount() == 1 ? "" : "s");
    }
  }
  if (files.size() > 1)
    std::printf("%zu files: %d ok, %d with messages, %d not loaded\n", files.size(), clean, withMessages,
                failed);
  if (failed) return kExitFileError;
  return withMessages ? kExitMessages : kExitOk;
}

}  // namespace helvocli
