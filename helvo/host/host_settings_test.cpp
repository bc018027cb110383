#include "helvo/host/host_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "helvo/model/cfg_state.h"
#include "helvo/model/class_tables.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using HostSettingsTest = testing::CfgTest;

TEST_F(HostSettingsTest, ReadRegistryDwordReadsOnlyDwords) {
  std::string key;
  GetRegistryKey(key);
  EXPECT_EQ(key, "SOFTWARE\\DQF\\HELVO Voduvez Eroza");

  unsigned long value = 77;
  EXPECT_EQ(ReadRegistryDword(key, "A", &value), 0);  // no store
  HostSettings(
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

  HostSettings("\"DefaultSysFreq\"=dword:00000032\r\n\"CanEditSysFreq\"=dword:00000001\r\n");
  EXPECT_NE(GetDefaultSysFreq(&freq, &edit), 0);
  EXPECT_EQ(freq, 50ul);
  EXPECT_EQ(edit, 1);

  HostSettings("\"DefaultSysFreq\"=dword:00000037\r\n\"CanEditSysFreq\"=dword:00000002\r\n");
  EXPECT_EQ(GetDefaultSysFreq(&freq, &edit), 0);  // 55 Hz is no system frequency
  EXPECT_EQ(edit, 0);
  EXPECT_EQ(GetDefaultSysFreq(nullptr, nullptr), 0);
}

TEST_F(HostSettingsTest, SettingVersionLimitIsReadOncePerProcess) {
  EXPECT_EQ(GetSettingVersionLimit(), 203);  // no store
  HostSettings("\"SettingVersionLimit\"=dword:000000d2\r\n", true);
  EXPECT_EQ(GetSettingVersionLimit(), 203);  // remembered
  ResetSettingVersionLimit();
  EXPECT_EQ(GetSettingVersionLimit(), 210);
  HostSettings("\"SettingVersionLimit\"=dword:000000dc\r\n", true);
  EXPECT_EQ(GetSettingVersionLimit(), 210);

  for (const char* low : {"00000007", "000000ca", "ffffffff"}) {
    HostSettings(std::string("\"SettingVersionLimit\"=dword:") + low + "\r\n");
    EXPECT_EQ(GetSettingVersionLimit(), 203) << low;
  }
}

TEST_F(HostSettingsTest, ChannelsAndHarmonicsByRate) {
  struct Case {
    int rate, channels, maxChannels, maxHarmonic;
  };
  for (const Case& c : {Case{32, 36, 36, 8}, Case{256, 36, 18, 66}, Case{384, 18, 12, 100},
                        Case{96, 24, -1, 25}, Case{100, 18, -1, -1}, Case{0, 36, -1, -1}}) {
    CHelvoCfgTables::m_nSRate = c.rate;
    CHelvoCfgTables::m_nAChan = c.channels;
    EXPECT_EQ(CHelvoCapabilities::GetMaxChannelSupported(), c.maxChannels) << c.rate << "/" << c.channels;
    EXPECT_EQ(CHelvoCapabilities::GetMaxHarmonicSupported(), c.maxHarmonic) << c.rate;
    // The same for one configuration, whatever the statics say.
    sCfgState state;
    state.m_nSRate = c.rate, state.m_nAChan = c.channels;
    CHelvoCfgTables::m_nSRate = 96, CHelvoCfgTables::m_nAChan = 18;
    EXPECT_EQ(std::pair(CHelvoCapabilities::GetMaxChannelSupported(state),
                        CHelvoCapabilities::GetMaxHarmonicSupported(state)),
              std::pair(c.maxChannels, c.maxHarmonic));
  }
}

}  // namespace
}  // namespace helvo
