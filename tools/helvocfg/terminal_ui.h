// How the tool presents the library's messages and its confirmation dialog in a terminal.
//
// Every message names its file, and the line when the reader knows it, as compilers do:
// "FILE:LINE: warning: TEXT", or "FILE: error: TEXT" without a line; the kind follows the message's
// icon (error, warning, else note). Further lines of a message are indented by two spaces, so that a
// script can tell which message a line belongs to. Text from the library (it quotes names and keys
// from the file) is 8-bit text and printed as UTF-8. The confirmation dialog of a save prints its lines
// the same way and is answered by the user's --yes, by a "Continue? [y/N]" prompt when stdin is a
// terminal, and otherwise with Cancel.
#pragma once

#include <cstdio>
#include <string>

#include "helvo/platform/user_interface.h"

namespace helvocli {

// One message as printed: "FILE:LINE: KIND: TEXT" (no ":LINE" when line is 0, no "FILE: " when file
// is empty), each further line of text (after "\r\n", a lone "\r" or "\n") on a line of its own,
// indented by two spaces; ends with a line break.
std::string FormatMessage(const std::string& file, int line, const char* kind, const std::string& text);

class TerminalUserInterface final : public helvo::UserInterface {
 public:
  enum class Confirm { kAsk, kYes };

  explicit TerminalUserInterface(Confirm confirm = Confirm::kAsk) : confirm_(confirm) {}

  // The file the following messages concern, as the user named it.
  void SetFile(const std::string& file) { file_ = file; }
  const std::string& File() const { return file_; }
  // Keeps what would go to stderr instead of printing it (for a worker thread): TakeCollected hands it
  // over.
  void Collect() { collect_ = true; }
  std::string TakeCollected() { return std::move(collected_); }

  int MessageBox(helvo::CWnd* parent, const std::string& text, const std::string& title,
                 unsigned style) override;
  // Prints the message with the line the library gives; answers the style's first button (OK, or Yes
  // for a yes/no question).
  int MessageBoxAt(helvo::CWnd* parent, const std::string& text, const std::string& title, unsigned style,
                   const helvo::MessageContext& where) override;
  // Prints the dialog's static text and edit text (the scan lines) and answers as described above.
  // IDOK means Continue.
  int ShowDialog(helvo::CWnd* parent, const helvo::DialogModel& dialog) override;

  // An error of the tool itself about the current file; not counted as a message of the library.
  void Error(const std::string& text);

  // The messages shown since construction or the last ResetCount.
  int MessageCount() const { return messages_; }
  void ResetCount() { messages_ = 0; }
  // True when the last dialog was refused because nobody could be asked.
  bool Unanswered() const { return unanswered_; }

 private:
  void Emit(const std::string& text);

  Confirm confirm_;
  std::string file_;
  bool collect_ = false;
  std::string collected_;
  int messages_ = 0;
  bool unanswered_ = false;
};

// Asks question on stderr and reads one line from stdin: true for "y" or "yes" (any letter case).
bool AskYesNo(const char* question);

// An error of the tool about file (or the calling thread's terminal sink's file when file is empty),
// through that sink when there is one.
void PrintError(const std::string& text, const std::string& file = {});

}  // namespace helvocli
