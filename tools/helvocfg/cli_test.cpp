// Unit tests of the tool's pieces that the end-to-end script cannot pin down exactly: line breaking
// of library messages, message prefixes, the dialog answer with --yes, and the CRC states.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "helvo/engine/crc16.h"
#include "summary.h"
#include "terminal_ui.h"

namespace helvocli {
namespace {

using namespace helvo;

std::string Printed(const std::string& text) {
  std::FILE* f = std::tmpfile();
  PrintLines(f, text);
  std::rewind(f);
  std::string out;
  for (int c; (c = std::fgetc(f)) != EOF;) out += static_cast<char>(c);
  std::fclose(f);
  return out;
}

TEST(PrintLines, EveryKindOfLineBreakBecomesOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"a\r\nb", "a\nb\n"},       {"a\nb", "a\nb\n"}, {"a\rb", "a\nb\n"},
      {"a\r\n\r\nb", "a\n\nb\n"}, {"a\r\n", "a\n\n"}, {"", "\n"},
  };
  for (const auto& [text, printed] : cases) EXPECT_EQ(Printed(text), printed) << text;
}

TEST(TerminalUserInterface, PrefixesByIconAndCounts) {
  TerminalUserInterface ui(TerminalUserInterface::Confirm::kYes);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ui.MessageBox(nullptr, "bad\r\nline", "title", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, "odd", {}, MB_ICONWARNING), IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, "fyi", {}, MB_OK), IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, "sure?", {}, MB_YESNO | MB_ICONQUESTION), IDYES);
  DialogModel dialog;
  dialog.editText = "first\r\n \r\n";
  EXPECT_EQ(ui.ShowDialog(nullptr, dialog), IDOK);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "error: bad\nline\nwarning: odd\nnote: fyi\nnote: sure?\nfirst\n \n");
  EXPECT_EQ(ui.MessageCount(), 4);
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
