#include "helvo/platform/user_interface.h"

#include <atomic>
#include <cstdio>

namespace helvo {

namespace {
StderrUserInterface g_default;
std::atomic<UserInterface*> g_current{nullptr};
thread_local UserInterface* t_current = nullptr;
thread_local MessageScope* t_scope = nullptr;
const MessageContext kNoContext;

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
  if (t_current) return *t_current;
  UserInterface* process = g_current.load(std::memory_order_acquire);
  return process ? *process : g_default;
}

UserInterface* SetUserInterface(UserInterface* sink) {
  return g_current.exchange(sink, std::memory_order_acq_rel);
}

UserInterface* SetThreadUserInterface(UserInterface* sink) {
  UserInterface* previous = t_current;
  t_current = sink;
  return previous;
}

const MessageContext& CurrentMessageContext() {
  return t_scope ? t_scope->Context() : kNoContext;
}

MessageScope::MessageScope() : context_(CurrentMessageContext()), outer_(t_scope) {
  t_scope = this;
}

MessageScope::MessageScope(const void* configuration, const std::string& path) : MessageScope() {
  context_.configuration = configuration;
  context_.path = path;
  context_.line = 0;
  context_.section.clear();
}

MessageScope::~MessageScope() {
  t_scope = outer_;
}

const char* MessageKind(unsigned style) {
  switch (style & 0xF0u) {
    case MB_ICONERROR:
      return "error";
    case MB_ICONWARNING:
      return "warning";
    default:
      return "note";
  }
}

int ShowMessage(const std::string& text, unsigned style, CWnd* parent, const std::string& title) {
  return GetUserInterface().MessageBoxAt(parent, text, title, style, CurrentMessageContext());
}

int ShowDialogModel(const DialogModel& dialog, CWnd* parent) {
  return GetUserInterface().ShowDialogAt(parent, dialog, CurrentMessageContext());
}

int UserInterface::MessageBoxAt(CWnd* parent, const std::string& text, const std::string& title,
                                unsigned style, const MessageContext&) {
  return MessageBox(parent, text, title, style);
}

int UserInterface::ShowDialogAt(CWnd* parent, const DialogModel& dialog, const MessageContext&) {
  return ShowDialog(parent, dialog);
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
  messages.push_back({text, title, style, {}});
  return reply;
}

int RecordingUserInterface::MessageBoxAt(CWnd*, const std::string& text, const std::string& title,
                                         unsigned style, const MessageContext& where) {
  messages.push_back({text, title, style, where});
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
