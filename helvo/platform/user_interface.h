// The user-interface sink. The library never prints: every message the user must see (a warning
// while loading, a failed save, a confirmation) goes through the sink installed for the process.
// The default sink writes the message to stderr, prefixed by its kind, and answers OK.
#pragma once

#include <string>
#include <vector>

namespace helvo {

// An opaque handle of the host's parent window; the library only passes it through.
class CWnd;

// Message-box styles and answers (values as the host platform numbered them).
enum : unsigned {
  MB_OK = 0x00000000u,
  MB_OKCANCEL = 0x00000001u,
  MB_YESNO = 0x00000004u,
  MB_ICONERROR = 0x00000010u,
  MB_ICONQUESTION = 0x00000020u,
  MB_ICONWARNING = 0x00000030u,
  MB_ICONINFORMATION = 0x00000040u,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// A modal dialog as the library describes it to the host: one static text, one multi-line edit box and
// push buttons, placed in dialog units. The host builds its own window from it (or prints it).
struct DialogRect {
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogButton {
  int id = 0;  // the answer the button gives (IDOK, IDCANCEL, ...)
  std::string text;
  DialogRect rect;
};

struct DialogModel {
  int templateId = 0;
  std::string title;
  std::string fontName;
  int fontPoints = 0;
  DialogRect rect;  // size only: x and y are 0
  std::string staticText;
  DialogRect staticRect;
  int editId = 0;
  std::string editText;  // lines separated by "\r\n"
  bool editReadOnly = false;
  DialogRect editRect;
  std::vector<DialogButton> buttons;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows text and blocks until the user answers; returns the button pressed (IDOK, ...).
  virtual int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) = 0;
  // Shows dialog modally and returns the id of the button pressed. The default shows the dialog's
  // static text and edit text through MessageBox and answers IDOK.
  virtual int ShowDialog(CWnd* parent, const DialogModel& dialog);
};

// The installed sink (never none).
UserInterface& GetUserInterface();
// Installs sink (none restores the default) and returns the one it replaces (none for the default).
UserInterface* SetUserInterface(UserInterface* sink);

// Shows a message through the installed sink.
int ShowMessage(const std::string& text, unsigned style, CWnd* parent = nullptr,
                const std::string& title = {});

// The default sink: "warning: text" (or "error:", "question:", "info:") on stderr; answers OK, or the
// style's first button.
// Dialogs are printed as "dialog: title", the static text and the edit text's lines, and answer IDOK.
class StderrUserInterface final : public UserInterface {
 public:
  int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) override;
  int ShowDialog(CWnd* parent, const DialogModel& dialog) override;
};

// Records every message and dialog and answers with a scripted reply (IDOK unless set); for tests and hosts
// that collect messages instead of showing them.
class RecordingUserInterface final : public UserInterface {
 public:
  struct Message {
    std::string text;
    std::string title;
    unsigned style;
  };
  int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) override;
  // Records the dialog and answers reply.
  int ShowDialog(CWnd* parent, const DialogModel& dialog) override;

  std::vector<Message> messages;
  std::vector<DialogModel> dialogs;
  int reply = IDOK;

  std::vector<std::string> Texts() const;
  void Clear() {
    messages.clear();
    dialogs.clear();
  }
};

// Installs a sink for the lifetime of the object, then restores the previous one.
class ScopedUserInterface {
 public:
  explicit ScopedUserInterface(UserInterface& sink) : previous_(SetUserInterface(&sink)) {}
  ~ScopedUserInterface() { SetUserInterface(previous_); }
  ScopedUserInterface(const ScopedUserInterface&) = delete;
  ScopedUserInterface& operator=(const ScopedUserInterface&) = delete;

 private:
  UserInterface* previous_;
};

}  // namespace helvo
