#include "terminal_ui.h"

#include <unistd.h>

#include <cctype>
#include <iostream>

#include "helvo/platform/text_encoding.h"

namespace helvocli {

using namespace helvo;

std::string FormatMessage(const std::string& file, int line, const char* kind, const std::string& text) {
  std::string out;
  if (!file.empty()) out += file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": ";
  out += kind;
  out += ": ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\n  ";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out += '\n';
}

void TerminalUserInterface::Emit(const std::string& text) {
  if (collect_) {
    collected_ += text;
    return;
  }
  std::fflush(stdout);  // keep the order of what goes to stdout and stderr
  std::fputs(text.c_str(), stderr);
}

int TerminalUserInterface::MessageBox(CWnd* parent, const std::string& text, const std::string& title,
                                      unsigned style) {
  return MessageBoxAt(parent, text, title, style, {});
}

int TerminalUserInterface::MessageBoxAt(CWnd*, const std::string& text, const std::string&, unsigned style,
                                        const MessageContext& where) {
  ++messages_;
  Emit(FormatMessage(file_.empty() ? where.path : file_, where.line, MessageKind(style), Cp1252ToUtf8(text)));
  return (style & 0x0Fu) == MB_YESNO ? IDYES : IDOK;
}

int TerminalUserInterface::ShowDialog(CWnd*, const DialogModel& dialog) {
  unanswered_ = false;
  // The edit text ends with a line break after its last line; print the lines without an extra one.
  std::string lines = dialog.editText;
  if (lines.size() >= 2 && lines.compare(lines.size() - 2, 2, "\r\n") == 0) lines.resize(lines.size() - 2);
  std::string text = dialog.staticText;
  if (!lines.empty()) text += "\r\n" + lines;
  Emit(FormatMessage(file_, 0, "note", Cp1252ToUtf8(text)));
  if (confirm_ == Confirm::kYes) return IDOK;
  if (!isatty(STDIN_FILENO)) {
    unanswered_ = true;
    return IDCANCEL;
  }
  return AskYesNo("Continue?") ? IDOK : IDCANCEL;
}

void TerminalUserInterface::Error(const std::string& text) {
  Emit(FormatMessage(file_, 0, "error", text));
}

bool AskYesNo(const char* question) {
  std::fprintf(stderr, "%s [y/N] ", question);
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return answer == "y" || answer == "yes";
}

void PrintError(const std::string& text, const std::string& file) {
  auto* ui = dynamic_cast<TerminalUserInterface*>(&GetUserInterface());
  if (!ui) {
    std::fflush(stdout);
    std::fputs(FormatMessage(file, 0, "error", text).c_str(), stderr);
    return;
  }
  if (file.empty() || file == ui->File()) {
    ui->Error(text);
    return;
  }
  const std::string current = ui->File();
  ui->SetFile(file);
  ui->Error(text);
  ui->SetFile(current);
}

}  // namespace helvocli
