#include "helvo/platform/user_interface.h"

#include <gtest/gtest.h>

#include <thread>

namespace helvo {
namespace {

// A sink written before messages had a context: it still receives every message.
class PlainSink final : public UserInterface {
 public:
  int MessageBox(CWnd*, const std::string& text, const std::string&, unsigned) override {
    texts.push_back(text);
    return IDOK;
  }
  std::vector<std::string> texts;
};

TEST(UserInterface, MessagesCarryTheInnermostScopeAndPlainSinksStillReceiveThem) {
  RecordingUserInterface sink;
  ScopedUserInterface installed(sink);
  int cfg = 0;
  ShowMessage("outside", MB_OK);
  {
    MessageScope file(&cfg, "a.cfg");
    {
      MessageScope at;
      at.Context().line = 7;
      at.Context().section = "ID";
      ShowMessage("inside", MB_OK | MB_ICONWARNING);
    }
    ShowMessage("after", MB_OK);
  }
  ASSERT_EQ(sink.messages.size(), 3u);
  EXPECT_EQ(sink.messages[0].where.configuration, nullptr);
  EXPECT_EQ(sink.messages[1].where.configuration, &cfg);
  EXPECT_EQ(sink.messages[1].where.path, "a.cfg");
  EXPECT_EQ(sink.messages[1].where.line, 7);
  EXPECT_EQ(sink.messages[1].where.section, "ID");
  EXPECT_EQ(sink.messages[2].where.line, 0);
  EXPECT_EQ(sink.messages[2].where.path, "a.cfg");

  PlainSink plain;
  ScopedUserInterface replaced(plain);
  MessageScope file(&cfg, "b.cfg");
  ShowMessage("plain", MB_OK);
  EXPECT_EQ(plain.texts, std::vector<std::string>{"plain"});
}

TEST(UserInterface, AThreadSinkTakesOnlyThatThreadsMessages) {
  RecordingUserInterface process, own;
  ScopedUserInterface installed(process);
  std::thread worker([&] {
    ScopedThreadUserInterface mine(own);
    ShowMessage("worker", MB_OK);
  });
  worker.join();
  ShowMessage("main", MB_OK);
  EXPECT_EQ(own.Texts(), std::vector<std::string>{"worker"});
  EXPECT_EQ(process.Texts(), std::vector<std::string>{"main"});
}

}  // namespace
}  // namespace helvo
