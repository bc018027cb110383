// The user-interface sink. The library never prints: every message the user must see (a warning
// while loading, a failed save, a confirmation) goes through the sink installed for the calling thread,
// or else the one installed for the process. The default sink writes the message to stderr, prefixed by
// its kind, and answers OK.
//
// Every message carries where it arose (MessageContext): the configuration being loaded or saved, the
// file, and for a message of the reader the line and section. Sinks that override only MessageBox keep
// working; a sink that wants the context overrides MessageBoxAt.
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

// Where a message arose, as far as the library knows it.
struct MessageContext {
  // The configuration (a CHelvoCfg) being loaded, saved or scanned; none outside such an operation.
  // Only for telling configurations apart: the sink must not call into it.
  const void* configuration = nullptr;
  std::string path;     // the file being read or written; empty when loading from memory or unknown
  int line = 0;         // 1-based line of the file (the CRC line is line 1); 0 when there is none
  std::string section;  // the section header without brackets ("ANALOG_INPUT1-3"); empty when none
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows text and blocks until the user answers; returns the button pressed (IDOK, ...).
  virtual int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) = 0;
  // As MessageBox, with where the message arose. The library calls this one; the default forwards to
  // MessageBox.
  virtual int MessageBoxAt(CWnd* parent, const std::string& text, const std::string& title, unsigned style,
                           const MessageContext& where);
  // Shows dialog modally and returns the id of the button pressed. The default shows the dialog's
  // static text and edit text through MessageBox and answers IDOK.
  virtual int ShowDialog(CWnd* parent, const DialogModel& dialog);
  // As ShowDialog, with where the dialog arose. The library calls this one; the default forwards to
  // ShowDialog.
  virtual int ShowDialogAt(CWnd* parent, const DialogModel& dialog, const MessageContext& where);
};

// The sink of the calling thread: its own when one is installed for it, else the process's (never none).
UserInterface& GetUserInterface();
// Installs sink for the process (none restores the default) and returns the one it replaces (none for
// the default). Safe to call from any thread; a sink installed for the process may be called from
// several threads at once when several threads load or save.
UserInterface* SetUserInterface(UserInterface* sink);
// Installs sink for the calling thread only (none: the thread uses the process's sink again) and returns
// the thread's previous one.
UserInterface* SetThreadUserInterface(UserInterface* sink);

// The context of the calling thread's messages: what the innermost MessageScope says.
const MessageContext& CurrentMessageContext();

// Sets, for its lifetime, the context of the messages the calling thread shows. Scopes nest; an inner
// scope starts from its outer one's context.
class MessageScope {
 public:
  MessageScope();  // a copy of the current context, to be changed through Context()
  MessageScope(const void* configuration, const std::string& path);
  ~MessageScope();
  MessageScope(const MessageScope&) = delete;
  MessageScope& operator=(const MessageScope&) = delete;
  MessageContext& Context() { return context_; }

 private:
  MessageContext context_;
  MessageScope* outer_;
};

// How a message of style is reported in text and JSON: "error" (error icon), "warning" (warning icon)
// or "note" (anything else).
const char* MessageKind(unsigned style);

// Shows a message through the calling thread's sink, with the current context.
int ShowMessage(const std::string& text, unsigned style, CWnd* parent = nullptr,
                const std::string& title = {});
// Shows a dialog through the calling thread's sink, with the current context.
int ShowDialogModel(const DialogModel& dialog, CWnd* parent = nullptr);

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
    MessageContext where;
  };
  int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) override;
  int MessageBoxAt(CWnd* parent, const std::string& text, const std::string& title, unsigned style,
                   const MessageContext& where) override;
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

// Installs a sink for the process for the lifetime of the object, then restores the previous one.
class ScopedUserInterface {
 public:
  explicit ScopedUserInterface(UserInterface& sink) : previous_(SetUserInterface(&sink)) {}
  ~ScopedUserInterface() { SetUserInterface(previous_); }
  ScopedUserInterface(const ScopedUserInterface&) = delete;
  ScopedUserInterface& operator=(const ScopedUserInterface&) = delete;

 private:
  UserInterface* previous_;
};

// Installs a sink for the calling thread for the lifetime of the object, then restores the previous one.
class ScopedThreadUserInterface {
 public:
  explicit ScopedThreadUserInterface(UserInterface& sink) : previous_(SetThreadUserInterface(&sink)) {}
  ~ScopedThreadUserInterface() { SetThreadUserInterface(previous_); }
  ScopedThreadUserInterface(const ScopedThreadUserInterface&) = delete;
  ScopedThreadUserInterface& operator=(const ScopedThreadUserInterface&) = delete;

 private:
  UserInterface* previous_;
};

}  // namespace helvo
