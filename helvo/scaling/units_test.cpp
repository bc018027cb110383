#include "helvo/scaling/units.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "helvo/host/settings_store.h"
#include "helvo/testing/scoped_env.h"
#include "helvo/testing/test_model.h"

namespace helvo {
namespace {

constexpr unsigned long kVoltage = 0xF0, kDC = 0x400000;
const std::string kHeader = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\DQF\\HELVO Voduvez Eroza]\n";

class TestUnits : public CHelvoUnits {
 public:
  explicit TestUnits(int version) : m_nVersion(version) {}
  int GetOwnSettingVersion() const override { return m_nVersion; }
  int m_nVersion;
};

std::vector<std::string> Enumerate(const CHelvoUnits& units, unsigned long mask, int version) {
  std::vector<std::string> out;
  for (UnitPosition pos = units.FindFirstUnit(mask, version); pos;)
    out.push_back(units.GetNextUnit(pos, mask, version));
  return out;
}

// Points the settings store at a file in a fresh temporary folder and starts with no DC list loaded.
class UnitsTest : public ::testing::Test {
 protected:
  UnitsTest() { CHelvoUnits::DiscardDCUnits(); }
  ~UnitsTest() override { CHelvoUnits::DiscardDCUnits(); }
  std::string Path() const { return dir_.File("settings.reg"); }
  void Store(const std::string& body) { dir_.Write("settings.reg", kHeader + body); }
  std::string Stored() const { return dir_.Read("settings.reg"); }
  ino_t Inode() const {
    struct stat st;
    return stat(Path().c_str(), &st) == 0 ? st.st_ino : 0;
  }
  std::vector<std::string> StoredUnits() const {
    cSettingsStore store;
    SettingsValue v;
    if (store.Load(Path()) != cSettingsStore::kLoaded ||
        !store.QueryValue("SOFTWARE\\DQF\\HELVO Voduvez Eroza", "DCUnits", v) || v.m_nType != REG_MULTI_SZ)
      return {};
    return v.GetMultiString();
  }

  testing::TempDir dir_;
  testing::ScopedEnv store_{"HELVO_SETTINGS_FILE", Path().c_str()};
  TestUnits units_{204};
};

TEST_F(UnitsTest, TableRowsDecode) {
  cUnit degC(11728), end(IDS_UNIT_END);
  // The masculine ordinal byte, not a degree sign.
  EXPECT_EQ(std::pair(degC.m_strName, degC.m_nMask), std::pair(std::string("\xBA"
                                                                           "C"),
                                                               0x400000));
  EXPECT_EQ(std::pair(end.ReadResource(IDS_UNIT_END), end.m_strName), std::pair(0, std::string()));

  cUnit u(11712);
  EXPECT_EQ(u.DecodeString("\nX,5"), 0);  // the end marker changes nothing
  EXPECT_EQ(u.m_strName, "A");
  EXPECT_EQ(u.DecodeString("no comma"), 1);
  EXPECT_EQ(std::pair(u.m_strName, u.m_nMask), std::pair(std::string("no comma"), 0));
}

TEST_F(UnitsTest, TableModeEnumeratesByMask) {
  EXPECT_EQ(Enumerate(units_, kVoltage, 201), (std::vector<std::string>{"kV", "V", "MV"}));
  EXPECT_EQ(Enumerate(units_, 0x10, 204), (std::vector<std::string>{"kV", "V", "MV"}));  // one voltage bit
  const std::vector<std::string> dc = Enumerate(units_, kDC, 203);
  ASSERT_EQ(dc.size(), 25u);
  EXPECT_EQ(dc.front() + " " + dc.back(), "A degrees");
  EXPECT_FALSE(units_.FindFirstUnit(0x1, 203));  // no row shares the bit
  EXPECT_EQ(units_.UnitIsDefined("MV", kVoltage, 201), 1);
  EXPECT_EQ(units_.UnitIsDefined("mV", kVoltage, 201), 0);  // "mV" is offered for DC only
  EXPECT_EQ(units_.UnitIsDefined(nullptr, kVoltage, 201), 0);

  // A negative version is the configuration's own.
  TestUnits old(203);
  EXPECT_EQ(Enumerate(old, kDC, -1).size(), 25u);
  EXPECT_EQ(Enumerate(units_, kDC, -1), std::vector<std::string>{});  // 204: the DC list, and no store
}

TEST_F(UnitsTest, DCListModeReadsTheStore) {
  // No store: the key cannot be opened, so nothing is offered, not even the empty unit.
  EXPECT_EQ(CHelvoUnits::GetDCUnits(), nullptr);
  EXPECT_FALSE(units_.FindFirstUnit(kDC, 204));
  EXPECT_EQ(units_.UnitIsDefined("", kDC, 204), 0);

  Store("");  // the key without a value: just the empty unit
  EXPECT_EQ(Enumerate(units_, kDC, 204), std::vector<std::string>{""});
  EXPECT_EQ(units_.UnitIsDefined("", kDC, 204), 1);
  EXPECT_EQ(units_.UnitIsDefined("", kVoltage, 204), 0);  // an AC mask stays in table mode

  // Loaded once: later changes to the store are seen only after a discard.
  Store("\"DCUnits\"=hex(7):6d,b3,2f,73,00,70,73,69,00,00\n");
  EXPECT_EQ(Enumerate(units_, kDC, 204), std::vector<std::string>{""});
  CHelvoUnits::DiscardDCUnits();
  EXPECT_EQ(Enumerate(units_, kDC, 204), (std::vector<std::string>{"", "m\xB3/s", "psi"}));

  // A position over a discarded list ends the enumeration; so does one of the other mode.
  UnitPosition pos = units_.FindFirstUnit(kDC, 204);
  EXPECT_STREQ(units_.GetNextUnit(pos, kDC, 204), "");
  CHelvoUnits::DiscardDCUnits();
  UnitPosition other = units_.FindFirstUnit(kVoltage, 204);
  for (UnitPosition* p : {&pos, &other}) {
    EXPECT_STREQ(units_.GetNextUnit(*p, kDC, 204), "");
    EXPECT_FALSE(*p);
  }

  // Odd stored data: a value of another type is an empty list; a list missing its final zero keeps
  // its last unit; a unit too long for the list is skipped; an empty string ends the list.
  const std::pair<std::string, std::vector<std::string>> odd[] = {
      {"\"psi\"", {""}},
      {"hex(7):31,32,33,34,35,36,37,38,39,30,31,32,33,34,35,36,00,61,00,62", {"", "a", "b"}},
      {"hex(7):61,00,00,62,00,00", {"", "a"}}};
  for (const auto& [value, expected] : odd) {
    Store("\"DCUnits\"=" + value + "\n");
    CHelvoUnits::DiscardDCUnits();
    EXPECT_EQ(Enumerate(units_, kDC, 204), expected) << value;
  }
}

TEST_F(UnitsTest, AddDCUnitStoresOnceAndKeepsEverythingElse) {
  const std::string body = "; user notes\n\"DefaultSysFreq\"=dword:00000032\n";
  Store(body);
  TestUnits old(203);
  EXPECT_EQ(old.AddDCUnit("psi"), 0);
  EXPECT_EQ(Stored(), kHeader + body);

  EXPECT_EQ(units_.AddDCUnit("m\xB3/s"), 1);
  EXPECT_EQ(Stored(), kHeader + body + "\"DCUnits\"=hex(7):6d,b3,2f,73,00,00\n");
  EXPECT_EQ(units_.UnitIsDefined("m\xB3/s", kDC, 204), 1);

  const ino_t inode = Inode();
  EXPECT_EQ(units_.AddDCUnit("m\xB3/s") + units_.AddDCUnit(""), 2);  // already there: nothing written
  EXPECT_EQ(units_.AddDCUnit(nullptr), 0);
  EXPECT_EQ(units_.AddDCUnit("sixteen-chars-xx"), 0);  // longer than the list holds
  EXPECT_EQ(Inode(), inode);

  // An enumeration in progress continues over units added meanwhile.
  UnitPosition pos = units_.FindFirstUnit(kDC, 204);
  units_.GetNextUnit(pos, kDC, 204);
  EXPECT_EQ(units_.AddDCUnit("psi"), 1);
  EXPECT_STREQ(units_.GetNextUnit(pos, kDC, 204), "m\xB3/s");
  EXPECT_STREQ(units_.GetNextUnit(pos, kDC, 204), "psi");
  EXPECT_FALSE(pos);
  EXPECT_EQ(StoredUnits(), (std::vector<std::string>{"m\xB3/s", "psi"}));
}

TEST_F(UnitsTest, AddDCUnitMergesWhatOthersStored) {
  // No store yet: the first unit creates it.
  EXPECT_EQ(units_.AddDCUnit("a"), 1);
  EXPECT_EQ(Stored(), kHeader + "\"DCUnits\"=hex(7):61,00,00\n");

  // Another process adds "b" (and keeps a unit too long for this list) after this one loaded its list.
  Store("\"DCUnits\"=hex(7):61,00,62,00,31,32,33,34,35,36,37,38,39,30,31,32,33,34,35,36,00,00\n");
  EXPECT_EQ(units_.AddDCUnit("c"), 1);
  EXPECT_EQ(StoredUnits(), (std::vector<std::string>{"a", "b", "1234567890123456", "c"}));
  EXPECT_EQ(Enumerate(units_, kDC, 204), (std::vector<std::string>{"", "a", "b", "c"}));

  // Four processes adding different units at the same time: every unit of each is kept.
  const char kWriters[] = {'w', 'x', 'y', 'z'};
  std::vector<pid_t> children;
  for (char who : kWriters) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      CHelvoUnits::DiscardDCUnits();
      TestUnits mine(204);
      bool ok = true;
      for (int i = 0; i < 20; ++i)
        ok = mine.AddDCUnit((std::string(1, who) + std::to_string(i)).c_str()) && ok;
      _exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::vector<std::string> stored = StoredUnits();
  EXPECT_EQ(stored.size(), 84u);
  for (char who : kWriters)
    for (int i = 0; i < 20; ++i)
      EXPECT_NE(std::find(stored.begin(), stored.end(), std::string(1, who) + std::to_string(i)),
                stored.end());
}

TEST_F(UnitsTest, AddDCUnitNeverOverwritesAnUnusableStore) {
  const std::string foreign = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE]\n";
  dir_.Write("settings.reg", foreign);
  EXPECT_EQ(units_.AddDCUnit("psi"), 0);
  EXPECT_EQ(dir_.Read("settings.reg"), foreign);
  EXPECT_EQ(CHelvoUnits::GetDCUnits(), nullptr);

  // A loaded list keeps a unit that could not be stored, for this process only. (The store's lock
  // cannot be taken while a folder stands in the lock file's place.)
  Store("");
  ASSERT_NE(CHelvoUnits::GetDCUnits(), nullptr);
  ASSERT_EQ(unlink((Path() + ".lock").c_str()), 0);
  ASSERT_EQ(mkdir((Path() + ".lock").c_str(), 0700), 0);
  EXPECT_EQ(units_.AddDCUnit("psi"), 0);
  EXPECT_EQ(Stored(), kHeader);
  EXPECT_EQ(units_.UnitIsDefined("psi", kDC, 204), 1);
}

TEST(UnitNameRuleTest, IsValidDCUnit) {
  // Up to six of the letters, digits, "/-._" and the bytes B2, B3, B5, B7; the degree sign B0 is not one.
  for (const char* good : {"", "aZ09/-", "._\xB2\xB3\xB5\xB7"})
    EXPECT_EQ(CHelvoUnits::IsValidDCUnit(good), 1);
  for (const char* bad : {"abcdefg", "m s", "\xB0", static_cast<const char*>(nullptr)})
    EXPECT_EQ(CHelvoUnits::IsValidDCUnit(bad), 0) << (bad ? bad : "none");
}

}  // namespace
}  // namespace helvo
