// Unit tests of the tool's pieces that the end-to-end script cannot pin down exactly: the form of
// messages (file, line, kind, further lines), the dialog answer with --yes, and the CRC states.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "helvo/engine/crc16.h"
#include "summary.h"
#include "terminal_ui.h"

namespace helvocli {
namespace {

using namespace helvo;

TEST(FormatMessage, NamesFileAndLineAndIndentsFurtherLines) {
  const std::tuple<const char*, int, const char*, const char*> cases[] = {
      {"a.cfg", 12, "a\r\nb", "a.cfg:12: warning: a\n  b\n"},
      {"a.cfg", 0, "a\nb\rc", "a.cfg: warning: a\n  b\n  c\n"},
      {"a.cfg", 0, "a\r\n\r\n", "a.cfg: warning: a\n  \n  \n"},
      {"", 3, "x", "warning: x\n"},
  };
  for (const auto& [file, line, text, printed] : cases)
    EXPECT_EQ(FormatMessage(file, line, "warning", text), printed) << text;
}

TEST(TerminalUserInterface, KindsPlacesDialogsAndCount) {
  TerminalUserInterface ui(TerminalUserInterface::Confirm::kYes);
  ui.Collect();
  ui.SetFile("f.cfg");
  MessageContext at;
  at.line = 9;
  at.path = "/tmp/copy.cfg";  // the tool's own name for the file wins
  EXPECT_EQ(ui.MessageBoxAt(nullptr, "bad \"K\xFC\"\r\nline", "title", MB_OK | MB_ICONERROR, at), IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, "fyi", {}, MB_OK), IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, "sure?", {}, MB_YESNO | MB_ICONQUESTION), IDYES);
  ui.Error("not mine");
  DialogModel dialog;
  dialog.staticText = "Lost:";
  dialog.editText = "first\r\n \r\n";
  EXPECT_EQ(ui.ShowDialog(nullptr, dialog), IDOK);
  EXPECT_EQ(ui.TakeCollected(),
            "f.cfg:9: error: bad \"K\u00FC\"\n  line\nf.cfg: note: fyi\nf.cfg: note: sure?\n"
            "f.cfg: error: not mine\nf.cfg: note: Lost:\n  first\n   \n");
  EXPECT_EQ(ui.MessageCount(), 3);  // the tool's own errors are not the library's messages
  EXPECT_FALSE(ui.Unanswered());
}

TEST(ReadCrcState, StoredFieldAgainstTheRest) {
  const std::string body = "\n\r\n[ID]\r\nSETTINGS_VERS=7\r\n";
  char crc[8];
  std::snprintf(crc, sizeof crc, "%04x\r", static_cast<unsigned>(Crc16Update(0, body)));
  std::string upper = crc;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::pair<std::string, const char*> cases[] = {
      {crc + body, "valid"},
      {upper + body, "valid"},
      {"noch\r" + body, "unchecked"},
      {"NoCh\r" + body, "unchecked"},
      {"0000\r" + body + "x", "invalid"},
      {"ab", "invalid"},
  };
  for (const auto& [bytes, state] : cases) EXPECT_EQ(ReadCrcState(bytes).state, state) << bytes;
  EXPECT_EQ(ReadCrcState(upper + body).computed, std::string(crc, 4));
}

}  // namespace
}  // namespace helvocli
