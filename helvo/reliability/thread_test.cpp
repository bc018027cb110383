// Configurations loaded, scanned, read, set and saved on several threads at once give what they give
// one at a time: the same files, the same scan lines and values, the same messages, each message
// naming its own configuration.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/user_interface.h"
#include "helvo/review/review.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

// What one round over a file gives: the scan lines at 3 and 201 (with the values a conversion there
// and back loses, from copies), a value got and the file a set writes (on the file's lines and on the
// configuration), the file saved at its own version, then (after a save at 201, which makes it a 201
// configuration) saved at its own version again, and the messages shown meanwhile.
struct Round {
  std::vector<std::string> scan;
  std::string value, set, setOnFile;
  std::string saved, savedAfter201;
  std::vector<std::string> messages;
  bool messagesNameTheirConfiguration = true;
  bool operator==(const Round&) const = default;
};

class ThreadTest : public testing::CfgTest {
 protected:
  Round RunRound(const std::string& example, const std::string& out) {
    RecordingUserInterface sink;
    UserInterface* previous = SetThreadUserInterface(&sink);
    Round round;
    {
      const std::string path = std::string(HELVO_EXAMPLES_DIR) + "/" + example;
      CHelvoCfg cfg(path, 0);
      for (const int version : {3, 201})
        for (const std::string& line : VersionScan(cfg, version)) round.scan.push_back(line);
      std::vector<KeyValue> values;
      std::string error;
      GetValues(cfg, {{"ID", "SETTINGS_VERS"}}, values, error);
      round.value = values.empty() ? error : values[0].value;
      std::unique_ptr<CHelvoCfg> changed;
      std::string file;
      ReadWholeFile(path, file);
      if (SetValues(cfg, file, {{{"ID", "SERIAL_NUM"}, "T-1"}}, changed, round.setOnFile, error) !=
          ReviewStatus::kOk)
        round.setOnFile = error;
      if (SetValues(cfg, {{{"ID", "SERIAL_NUM"}, "T-1"}}, changed, round.set, error) != ReviewStatus::kOk)
        round.set = error;
      cfg.WriteCfgFile(out, nullptr);
      round.saved = Contents(out);
      cfg.WriteCfgFile(out, 201, nullptr);
      cfg.WriteCfgFile(out, nullptr);
      round.savedAfter201 = Contents(out);
      for (const auto& m : sink.messages) {
        round.messages.push_back(m.text);
        if (m.where.configuration != &cfg) round.messagesNameTheirConfiguration = false;
      }
    }
    SetThreadUserInterface(previous);
    return round;
  }
  std::string Contents(const std::string& path) { return dir_.Read(path.substr(dir_.path().size() + 1)); }
};

TEST_F(ThreadTest, ConfigurationsOnSeveralThreadsGiveWhatTheyGiveOneAtATime) {
  // Four examples, one of them on two threads.
  const std::vector<std::string> files = {"recorder.cfg", "recorder-two-board-v6.cfg", "recorder-v7.cfg",
                                          "recorder-v203.cfg", "recorder-v7.cfg"};
  std::vector<Round> alone;
  for (size_t k = 0; k < files.size(); ++k) alone.push_back(RunRound(files[k], dir_.File("alone.cfg")));
  for (const Round& round : alone) {
    EXPECT_FALSE(round.saved.empty());
    EXPECT_NE(round.set.find("SERIAL_NUM=T-1\r\n"), std::string::npos) << round.set.substr(0, 200);
    EXPECT_EQ(round.setOnFile, round.set);
    EXPECT_TRUE(round.messagesNameTheirConfiguration);
  }

  constexpr int kRounds = 3;
  std::vector<std::vector<Round>> results(files.size());
  std::vector<std::thread> threads;
  for (size_t k = 0; k < files.size(); ++k)
    threads.emplace_back([&, k] {
      for (int r = 0; r < kRounds; ++r)
        results[k].push_back(RunRound(files[k], dir_.File("out" + std::to_string(k) + ".cfg")));
    });
  for (std::thread& t : threads) t.join();
  for (size_t k = 0; k < files.size(); ++k)
    for (const Round& round : results[k]) EXPECT_TRUE(round == alone[k]) << files[k];
}

}  // namespace
}  // namespace helvo
