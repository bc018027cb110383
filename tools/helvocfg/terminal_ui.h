// How the tool presents the library's messages and its confirmation dialog in a terminal.
//
// Every message box becomes one line (or several, where the text holds line breaks) on stderr,
// prefixed "error: ", "warning: " or "note: " by its icon. The confirmation dialog of a save at another
// version prints its lines on stderr and is answered by the user's --yes, by a "Continue? [y/N]"
// prompt when stdin is a terminal, and otherwise with Cancel.
#pragma once

#include <cstdio>
#include <string>

#include "helvo/platform/user_interface.h"

namespace helvocli {

// Writes text to out with every "\r\n" (and every lone "\r" or "\n") printed as one line break, and
// a final line break.
void PrintLines(std::FILE* out, const std::string& text);

class TerminalUserInterface final : public helvo::UserInterface {
 public:
  enum class Confirm { kAsk, kYes };

  explicit TerminalUserInterface(Confirm confirm = Confirm::kAsk) : confirm_(confirm) {}

  // Prints the message; answers the style's first button (OK, or Yes for a yes/no question).
  int MessageBox(helvo::CWnd* parent, const std::string& text, const std::string& title,
                 unsigned style) override;
  // Prints the dialog's edit text (the scan lines) and answers as described above. IDOK means
  // Continue.
  int ShowDialog(helvo::CWnd* parent, const helvo::DialogModel& dialog) override;

  // The messages shown since construction or the last ResetCount.
  int MessageCount() const { return messages_; }
  void ResetCount() { messages_ = 0; }
  // True when the last dialog was refused because nobody could be asked.
  bool Unanswered() const { return unanswered_; }

 private:
  Confirm confirm_;
  int messages_ = 0;
  bool unanswered_ = false;
};

// Asks question on stderr and reads one line from stdin: true for "y" or "yes" (any letter case).
bool AskYesNo(const char* question);

// The "error: " line of a failure that the library did not show itself.
void PrintError(const std::string& text);

}  // namespace helvocli
