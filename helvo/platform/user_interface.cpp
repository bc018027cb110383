#include "helvo/platform/user_interface.h"

#include <cstdio>

namespace helvo {

namespace {
StderrUserInterface g_default;
UserInterface* g_current = nullptr;

const char* KindOf(unsigned style) {
  switch (style & 0xF0u) {
    case MB_ICONERROR:
      return "error";
    case MB_ICONQUESTION:
      return "question";
    case MB_ICONWARNING:
      return "warning";
    default:
      return "info";
  }
}
}  // namespace

UserInterface& GetUserInterface() {
  return g_current ? *g_current : g_default;
}

UserInterface* SetUserInterface(UserInterface* sink) {
  UserInterface* previous = g_current;
  g_current = sink;
  return previous;
}

int ShowMessage(const std::string& text, unsigned style, CWnd* parent, const std::string& title) {
  return GetUserInterface().MessageBox(parent, text, title, style);
}

int UserInterface::ShowDialog(CWnd* parent, const DialogModel& dialog) {
  std::string text = dialog.staticText;
  if (!dialog.editText.empty()) text += "\n" + dialog.editText;
  MessageBox(parent, text, dialog.title, MB_OK | MB_ICONINFORMATION);
  return IDOK;
}

int StderrUserInterface::ShowDialog(CWnd*, const DialogModel& dialog) {
  std::fprintf(stderr, "dialog: %s\n%s\n", dialog.title.c_str(), dialog.staticText.c_str());
  // The edit text separates its lines with CR LF; print each on its own line.
  std::string line;
  for (char c : dialog.editText) {
    if (c == '\r') continue;
    if (c == '\n') {
      std::fprintf(stderr, "%s\n", line.c_str());
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) std::fprintf(stderr, "%s\n", line.c_str());
  return IDOK;
}

int StderrUserInterface::MessageBox(CWnd*, const std::string& text, const std::string& title,
                                    unsigned style) {
  if (title.empty())
    std::fprintf(stderr, "%s: %s\n", KindOf(style), text.c_str());
  else
    std::fprintf(stderr, "%s: %s: %s\n", KindOf(style), title.c_str(), text.c_str());
  switch (style & 0x0Fu) {
    case MB_YESNO:
      return IDYES;
    default:
      return IDOK;
  }
}

int RecordingUserInterface::MessageBox(CWnd*, const std::string& text, const std::string& title,
                                       unsigned style) {
  messages.push_back({text, title, style});
  return reply;
}

int RecordingUserInterface::ShowDialog(CWnd*, const DialogModel& dialog) {
  dialogs.push_back(dialog);
  return reply;
}

std::vector<std::string> RecordingUserInterface::Texts() const {
  std::vector<std::string> out;
  out.reserve(messages.size());
  for (const auto& m : messages) out.push_back(m.text);
  return out;
}

}  // namespace helvo
