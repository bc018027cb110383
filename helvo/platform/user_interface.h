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

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows text and blocks until the user answers; returns the button pressed (IDOK, ...).
  virtual int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) = 0;
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
class StderrUserInterface final : public UserInterface {
 public:
  int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) override;
};

// Records every message and answers with a scripted reply (IDOK unless set); for tests and hosts
// that collect messages instead of showing them.
class RecordingUserInterface final : public UserInterface {
 public:
  struct Message {
    std::string text;
    std::string title;
    unsigned style;
  };
  int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) override;

  std::vector<Message> messages;
  int reply = IDOK;

  std::vector<std::string> Texts() const;
  void Clear() { messages.clear(); }
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
