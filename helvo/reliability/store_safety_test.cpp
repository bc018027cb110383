// The per-user settings store when its writer dies: a process adding DC units, killed at any point,
// leaves a store that still parses and still holds every unit stored before. (Writers at the same
// moment are the units tests' concern.)
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
#include "helvo/testing/sanitizer.h"

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
  // A child adding the units prefix0, prefix1, ... until it is killed.
  static pid_t StartAdder(const std::string& prefix) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    CHelvoUnits::DiscardDCUnits();
    Units units;
    for (int i = 0;; ++i) units.AddDCUnit((prefix + std::to_string(i)).c_str());
  }
};

TEST_F(StoreSafetyTest, AKilledWriterLeavesEveryUnitStoredBefore) {
  constexpr int kKills = testing::kSlowFork ? 40 : 200;
  std::mt19937 random(7);
  std::uniform_int_distribution<long> delayNs(0, testing::kSlowFork ? 40'000'000 : 8'000'000);
  std::vector<std::string> before;
  for (int kill = 0; kill < kKills; ++kill) {
    // Each child adds its own units, so that every one of them writes the store.
    const pid_t child = StartAdder("k" + std::to_string(kill) + "-");
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
