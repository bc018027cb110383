// A save killed at any moment (the process dies, nothing is cleaned up) leaves the target as the
// complete old or the complete new file, with a valid CRC: a child saves two different contents in
// turn, without pause, and is killed after a random delay, over and over.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/file_io.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/fuzz_targets.h"
#include "helvo/testing/sanitizer.h"
#include "helvo/testing/scoped_env.h"

namespace helvo {
namespace {

using CrashSafetyTest = testing::CfgTest;

TEST_F(CrashSafetyTest, AKilledSaveLeavesTheOldOrTheNewFile) {
  // A fixed clock: a save at a chosen version stamps the current time into the file.
  const testing::ScopedEnv epoch("SOURCE_DATE_EPOCH", "1709543103"), zone("TZ", "UTC");
  tzset();
  constexpr int kKills = testing::kSlowFork ? 100 : 1000;
  // Two contents: the example at its own version and folded to version 201.
  CHelvoCfg cfg(HELVO_EXAMPLES_DIR "/recorder.cfg", 0);
  ASSERT_EQ(cfg.m_eReadResult, eFilerNoError);
  const std::string target = dir_.File("target.cfg");
  const int versions[2] = {cfg.GetIdCfg()->m_nSettingsVers, 201};
  std::string images[2];
  for (int round = 0; round < 2; ++round)
    for (int k : {1, 0}) {  // as the child saves; the own version last, so the target starts as that
      ASSERT_EQ(cfg.WriteCfgFile(target, versions[k], nullptr), 1);
      const std::string image = dir_.Read("target.cfg");
      if (round == 1) {
        ASSERT_EQ(image, images[k]) << "saves of the same version differ";
      }
      images[k] = image;
    }
  ASSERT_NE(images[0], images[1]);

  std::mt19937 random(20240304);
  std::uniform_int_distribution<long> delayNs(0, testing::kSlowFork ? 30'000'000 : 3'000'000);
  int saw[2] = {0, 0};
  const auto start = std::chrono::steady_clock::now();
  for (int kill = 0; kill < kKills; ++kill) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int k = 1;; k ^= 1) cfg.WriteCfgFile(target, versions[k], nullptr);
    }
    const timespec delay{0, delayNs(random)};
    nanosleep(&delay, nullptr);
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);

    std::string now;
    ASSERT_EQ(ReadWholeFile(target, now), ReadStatus::kOk);
    const int which = now == images[0] ? 0 : now == images[1] ? 1 : -1;
    ASSERT_NE(which, -1) << "kill " << kill << " left a file of " << now.size() << " bytes";
    ++saw[which];
    // A killed save leaves its temporary file; remove them so the folder stays small.
    for (const std::string& name : dir_.Names())
      if (name != "target.cfg" && name != "settings.reg") std::remove(dir_.File(name).c_str());
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  RecordProperty("kills", kKills);
  RecordProperty("old_new", std::to_string(saw[0]) + "/" + std::to_string(saw[1]));
  RecordProperty("seconds", std::to_string(seconds));
  // Both contents load with a valid CRC. (Loaded only now: a load sets the process-wide header
  // values, which every later save, the child's included, would then follow.)
  for (const std::string& image : images) {
    EXPECT_TRUE(fuzzing::CrcFieldValid(image));
    CHelvoCfg loaded(dir_.Write("check.cfg", image), 0);
    EXPECT_EQ(loaded.m_eReadResult, eFilerNoError);
  }
  EXPECT_GT(saw[0], 0);
  EXPECT_GT(saw[1], 0) << "the child never completed a save; the delays are too short";
}

}  // namespace
}  // namespace helvo
