#include "helvo/host/host_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "helvo/model/class_tables.h"
#include "helvo/testing/test_model.h"

namespace helvo {
namespace {

// Points the settings store at a file in a fresh temporary folder; forgets the remembered version
// limit before and after.
class HostSettingsTest : public ::testing::Test {
 protected:
  HostSettingsTest() {
    if (const char* old = std::getenv("HELVO_SETTINGS_FILE")) old_ = old;
    setenv("HELVO_SETTINGS_FILE", dir_.File("settings.reg").c_str(), 1);
    ResetSettingVersionLimit();
  }
  ~HostSettingsTest() override {
    ResetSettingVersionLimit();
    if (old_)
      setenv("HELVO_SETTINGS_FILE", old_->c_str(), 1);
    else
      unsetenv("HELVO_SETTINGS_FILE");
  }
  void Store(const std::string& values) {
    dir_.Write("settings.reg",
               "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\DQF\\HELVO Voduvez Eroza]\r\n" + values);
  }

  testing::TempDir dir_;
  std::optional<std::string> old_;
};

TEST_F(HostSettingsTest, ReadRegistryDwordReadsOnlyDwords) {
  std::string key;
  GetRegistryKey(key);
  EXPECT_EQ(key, "SOFTWARE\\DQF\\HELVO Voduvez Eroza");

  unsigned long value = 77;
  EXPECT_EQ(ReadRegistryDword(key, "A", &value), 0);  // no store
  Store(
      "\"A\"=dword:0000000a\r\n\"Text\"=\"210\"\r\n\"Bin\"=hex:d2,00,00,00,00\r\n\"Word\"=hex(4):d2,00,00,"
      "00\r\n");
  EXPECT_EQ(ReadRegistryDword(key, "a", &value), 1);
  EXPECT_EQ(value, 10ul);
  for (const char* name : {"Text", "Bin", "Missing"}) {
    value = 77;
    EXPECT_EQ(ReadRegistryDword(key, name, &value), 0) << name;
    EXPECT_EQ(value, 77ul) << name;
  }
  EXPECT_EQ(ReadRegistryDword(key, "Word", &value), 1);
  EXPECT_EQ(value, 210ul);
  EXPECT_EQ(ReadRegistryDword(key + "\\Sub", "A", &value), 0);
  EXPECT_EQ(ReadRegistryDword(key, nullptr, &value), 0);
  EXPECT_EQ(ReadRegistryDword(key, "A", nullptr), 0);
}

TEST_F(HostSettingsTest, DefaultSysFreqAndEditFlag) {
  unsigned long freq = 60;
  int edit = 7;
  EXPECT_EQ(GetDefaultSysFreq(&freq, &edit), 0);  // nothing stored: not found, whatever freq held
  EXPECT_EQ(freq, 60ul);
  EXPECT_EQ(edit, 0);

  Store("\"DefaultSysFreq\"=dword:00000032\r\n\"CanEditSysFreq\"=dword:00000001\r\n");
  EXPECT_NE(GetDefaultSysFreq(&freq, &edit), 0);
  EXPECT_EQ(freq, 50ul);
  EXPECT_EQ(edit, 1);

  Store("\"DefaultSysFreq\"=dword:00000037\r\n\"CanEditSysFreq\"=dword:00000002\r\n");
  EXPECT_EQ(GetDefaultSysFreq(&freq, &edit), 0);  // 55 Hz is no system frequency
  EXPECT_EQ(edit, 0);
  EXPECT_EQ(GetDefaultSysFreq(nullptr, nullptr), 0);
}

TEST_F(HostSettingsTest, SettingVersionLimitIsReadOncePerProcess) {
  EXPECT_EQ(GetSettingVersionLimit(), 203);  // no store
  Store("\"SettingVersionLimit\"=dword:000000d2\r\n");
  EXPECT_EQ(GetSettingVersionLimit(), 203);  // remembered
  ResetSettingVersionLimit();
  EXPECT_EQ(GetSettingVersionLimit(), 210);
  Store("\"SettingVersionLimit\"=dword:000000dc\r\n");
  EXPECT_EQ(GetSettingVersionLimit(), 210);

  for (const char* low : {"00000007", "000000ca", "ffffffff"}) {
    Store(std::string("\"SettingVersionLimit\"=dword:") + low + "\r\n");
    ResetSettingVersionLimit();
    EXPECT_EQ(GetSettingVersionLimit(), 203) << low;
  }
}

TEST(CapabilitiesTest, ChannelsAndHarmonicsByRate) {
  const int rate = CHelvoCfgTables::m_nSRate, channels = CHelvoCfgTables::m_nAChan;
  struct Case {
    int rate, channels, maxChannels, maxHarmonic;
  };
  for (const Case& c : {Case{32, 36, 36, 8}, Case{128, 36, 36, 33}, Case{256, 36, 18, 66},
                        Case{384, 36, 12, 100}, Case{96, 18, 18, 25}, Case{384, 18, 12, 100},
                        Case{96, 24, -1, 25}, Case{100, 18, -1, -1}, Case{0, 36, -1, -1}}) {
    CHelvoCfgTables::m_nSRate = c.rate;
    CHelvoCfgTables::m_nAChan = c.channels;
    EXPECT_EQ(CHelvoCapabilities::GetMaxChannelSupported(), c.maxChannels) << c.rate << "/" << c.channels;
    EXPECT_EQ(CHelvoCapabilities::GetMaxHarmonicSupported(), c.maxHarmonic) << c.rate;
  }
  EXPECT_EQ(CHelvoCapabilities::mapAChannels.size(), 6u);
  EXPECT_EQ(CHelvoCapabilities::mapHarmonics.at(64), 16);
  CHelvoCfgTables::m_nSRate = rate;
  CHelvoCfgTables::m_nAChan = channels;
}

}  // namespace
}  // namespace helvo
