// The per-user settings store under several writers: processes adding DC units at the same moment
// all find their units stored, and a writer killed at any point leaves a store that still parses and
// still holds every unit stored before.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "helvo/host/settings_store.h"
#include "helvo/scaling/units.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

// A unit list owner of a version that keeps DC units in the store.
class Units : public CHelvoUnits {
 public:
  int GetOwnSettingVersion() const override { return kFirstDCUnitListVersion; }
};

class StoreSafetyTest : public testing::CfgTest {
 protected:
  StoreSafetyTest() { CHelvoUnits::DiscardDCUnits(); }
  ~StoreSafetyTest() override { CHelvoUnits::DiscardDCUnits(); }

  // The stored units; false when the store does not parse.
  bool StoredUnits(std::vector<std::string>& units) const {
    cSettingsStore store;
    if (store.Load(dir_.File("settings.reg")) != cSettingsStore::kLoaded) return false;
    SettingsValue v;
    units.clear();
    if (store.QueryValue("SOFTWARE\\DQF\\HELVO Voduvez Eroza", "DCUnits", v)) units = v.GetMultiString();
    return true;
  }
  // A child adding the units prefix0, prefix1, ... (up to count, or without end when count is 0);
  // it exits 0 when every add succeeded. It waits for a byte on the start pipe when one is given.
  static pid_t StartAdder(const std::string& prefix, int count, int startPipe = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    char go;
    if (startPipe >= 0 && read(startPipe, &go, 1) != 1) _exit(2);
    CHelvoUnits::DiscardDCUnits();
    Units units;
    bool ok = true;
    for (int i = 0; count == 0 || i < count; ++i)
      ok = units.AddDCUnit((prefix + std::to_string(i)).c_str()) && ok;
    _exit(ok ? 0 : 1);
  }
};

TEST_F(StoreSafetyTest, WritersAtTheSameMomentKeepEachOthersUnits) {
  constexpr int kWriters = 4, kEach = 10;
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w)
    children.push_back(StartAdder(std::string(1, static_cast<char>('a' + w)), kEach, start[0]));
  ASSERT_EQ(write(start[1], std::string(kWriters, 'g').data(), kWriters), kWriters);  // all go at once
  close(start[0]);
  close(start[1]);
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<std::string> units;
  ASSERT_TRUE(StoredUnits(units));
  EXPECT_EQ(units.size(), static_cast<std::size_t>(kWriters * kEach));
  for (int w = 0; w < kWriters; ++w)
    for (int i = 0; i < kEach; ++i) {
      const std::string unit = std::string(1, static_cast<char>('a' + w)) + std::to_string(i);
      EXPECT_NE(std::find(units.begin(), units.end(), unit), units.end()) << unit;
    }
}

TEST_F(StoreSafetyTest, AKilledWriterLeavesEveryUnitStoredBefore) {
  constexpr int kKills = 200;
  std::mt19937 random(7);
  std::uniform_int_distribution<long> delayNs(0, 8'000'000);
  std::vector<std::string> before;
  for (int kill = 0; kill < kKills; ++kill) {
    // Each child adds its own units, so that every one of them writes the store.
    const pid_t child = StartAdder("k" + std::to_string(kill) + "-", 0);
    ASSERT_GE(child, 0);
    const timespec delay{0, delayNs(random)};
    nanosleep(&delay, nullptr);
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);

    std::vector<std::string> now;
    if (!StoredUnits(now)) {
      ASSERT_TRUE(before.empty()) << "kill " << kill << ": the store no longer parses";
      continue;  // killed before the first store was in place
    }
    for (const std::string& unit : before)
      ASSERT_NE(std::find(now.begin(), now.end(), unit), now.end()) << "kill " << kill << " lost " << unit;
    before = now;
  }
  EXPECT_FALSE(before.empty()) << "no child ever stored a unit; the delays are too short";
  RecordProperty("kills", kKills);
  RecordProperty("units", static_cast<int>(before.size()));
}

}  // namespace
}  // namespace helvo
