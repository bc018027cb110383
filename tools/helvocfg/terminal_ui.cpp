#include "terminal_ui.h"

#include <unistd.h>

#include <cctype>
#include <iostream>

namespace helvocli {

using namespace helvo;

namespace {

const char* PrefixOf(unsigned style) {
  switch (style & 0xF0u) {
    case MB_ICONERROR:
      return "error: ";
    case MB_ICONWARNING:
      return "warning: ";
    default:
      return "note: ";
  }
}

}  // namespace

void PrintLines(std::FILE* out, const std::string& text) {
  std::fflush(stdout);  // keep the order of what goes to stdout and stderr
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      std::fprintf(out, "%s\n", line.c_str());
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  std::fprintf(out, "%s\n", line.c_str());
}

int TerminalUserInterface::MessageBox(CWnd*, const std::string& text, const std::string&, unsigned style) {
  ++messages_;
  PrintLines(stderr, PrefixOf(style) + text);
  return (style & 0x0Fu) == MB_YESNO ? IDYES : IDOK;
}

int TerminalUserInterface::ShowDialog(CWnd*, const DialogModel& dialog) {
  unanswered_ = false;
  // The edit text ends with a line break after its last line; print the lines without an extra one.
  std::string lines = dialog.editText;
  if (lines.size() >= 2 && lines.compare(lines.size() - 2, 2, "\r\n") == 0) lines.resize(lines.size() - 2);
  if (!dialog.editText.empty()) PrintLines(stderr, lines);
  if (confirm_ == Confirm::kYes) return IDOK;
  if (!isatty(STDIN_FILENO)) {
    unanswered_ = true;
    return IDCANCEL;
  }
  return AskYesNo("Continue?") ? IDOK : IDCANCEL;
}

bool AskYesNo(const char* question) {
  std::fprintf(stderr, "%s [y/N] ", question);
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return answer == "y" || answer == "yes";
}

void PrintError(const std::string& text) {
  PrintLines(stderr, "error: " + text);
}

}  // namespace helvocli
