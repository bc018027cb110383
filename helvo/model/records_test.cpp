#include "helvo/model/records.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "helvo/model/helvo_cfg.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using RecordsTest = testing::CfgTest;

TEST_F(RecordsTest, IdentificationDefaultsComeFromTheHostAndTheLastHeader) {
  CIdCfg plain;
  EXPECT_EQ(plain.m_nSettingsVers, 203);  // no host settings at all
  EXPECT_EQ(plain.m_nNumBanks, 1);        // without a configuration the header plays no part

  CHelvoCfg cfg;  // the header of the configuration's own file
  cfg.m_State.m_nSetVer = 201;
  cfg.m_State.m_nAChan = 36;
  EXPECT_EQ(CIdCfg(&cfg).m_nNumBanks, 4);
  cfg.m_State.m_nAChan = 18;
  EXPECT_EQ(CIdCfg(&cfg).m_nNumBanks, 3);
  cfg.m_State.m_nSetVer = 6;
  cfg.m_State.m_nBank = 2;
  EXPECT_EQ(CIdCfg(&cfg).m_nNumBanks, 2);

  HostSettings("\"SettingVersionLimit\"=dword:000000d2\r\n\"DefaultSysFreq\"=dword:00000032\r\n");
  EXPECT_EQ(CIdCfg().m_nSettingsVers, 210);
  EXPECT_EQ(CIdCfg().m_nSystemFrequency, 50);
  HostSettings("\"SettingVersionLimit\"=dword:00000007\r\n\"DefaultSysFreq\"=dword:00000037\r\n");
  EXPECT_EQ(CIdCfg().m_nSettingsVers, 203);    // an older-family limit is no limit
  EXPECT_EQ(CIdCfg().m_nSystemFrequency, 60);  // 55 Hz is no system frequency
}

TEST_F(RecordsTest, IdentificationBlockOfAVersion6Save) {
  const char* oldTz = std::getenv("TZ");
  const std::string savedTz = oldTz ? oldTz : "";
  setenv("TZ", "UTC0", 1);
  tzset();
  CHelvoCfg cfg;
  auto* id = new CIdCfg(&cfg);
  cfg.m_IdList.AddTail(id);
  id->m_oSetDate.m_Time = CalendarTime(2024, 3, 4, 9, 5, 3);
  id->m_nSettingsVers = 6;
  id->m_nNumBanks = 1;
  // Keys that are only read are never written, whatever they hold.
  id->m_strSetDate = id->m_strSettingsName = id->m_strUnitId = id->m_strStationName = id->m_strLocation = "x";
  id->m_nNewFile = 1;
  EXPECT_EQ(
      testing::WrittenBlocks(cfg, 6, "ID]"),
      (std::vector<std::string>{"[ID]", "LOAD_DATE=0", "SET_DATE=24 Mar 04 09:05:03", "SETTINGS_VERS=6",
                                "SERIAL_NUM=", "COMMENTS=None", "NUM_BANKS=1", "SYSTEM_FREQUENCY=60", ""}));
  oldTz ? setenv("TZ", savedTz.c_str(), 1) : unsetenv("TZ");
  tzset();
}

TEST_F(RecordsTest, LimitsSectionWithOnlyACountKeepsTheDefaults) {
  StringList lines;
  for (const char* line : {"[LIMITS]", "EI_CHATTER_TIME=7", "", "[END]"}) lines.AddTail(line);
  CHelvoCfg cfg(lines);
  EXPECT_EQ(cfg.m_pLimitsCfg->m_lEIChatterTime, 7);
  EXPECT_FLOAT_EQ(cfg.m_pLimitsCfg->m_oEIChatterWindow.m_fSeconds, 1.0f);
  EXPECT_FLOAT_EQ(cfg.m_pLimitsCfg->m_oDetChatterWindow.m_fSeconds, 4.0f);
  EXPECT_EQ(cfg.m_pLimitsCfg->m_lDetChatterTime, 1);
}

}  // namespace
}  // namespace helvo
