#include "helvo/model/records.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using RecordsTest = testing::CfgTest;

// Local time of the tests' own choosing, restored afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (old_)
      setenv("TZ", old_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> old_;
};

std::vector<std::string> Lines(CHelvoCfg& cfg, int version, int sysFreq) {
  StringList lines;
  cfg.GetSections().BuildCfgLines(lines, version, sysFreq);
  return std::vector<std::string>(lines.begin(), lines.end());
}

// The block of the section whose header is header: from the header to the empty line after it.
std::vector<std::string> Block(const std::vector<std::string>& lines, const std::string& header) {
  std::vector<std::string> block;
  for (const std::string& line : lines) {
    if (block.empty() && line != header) continue;
    block.push_back(line);
    if (line.empty()) break;
  }
  return block;
}

bool HasLineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& line : lines)
    if (line.rfind(start, 0) == 0) return true;
  return false;
}

TEST_F(RecordsTest, IdentificationDefaultsComeFromTheHostAndTheLastHeader) {
  CIdCfg plain;
  EXPECT_EQ(plain.GetParent(), nullptr);
  EXPECT_EQ(plain.GetClass(), 7);
  EXPECT_EQ(plain.m_strComments, "None");
  EXPECT_EQ(plain.m_nSettingsVers, 203);  // no host settings at all
  EXPECT_EQ(plain.m_nSystemFrequency, 60);
  EXPECT_EQ(plain.m_nNumAChannels, 18);
  EXPECT_EQ(plain.m_nSampleRate, 96);
  EXPECT_EQ(plain.m_nNewFile, 0);
  EXPECT_EQ(plain.m_nNumBanks, 1);  // without a configuration the header plays no part
  EXPECT_EQ(plain.m_oSetDate.m_lLoadDate, 0);
  EXPECT_TRUE(plain.m_strSerialNum.empty());

  // With a configuration the bank count follows the header of the last file read by path.
  CHelvoCfg cfg;
  CHelvoCfg::m_nSetVer = 201;
  CHelvoCfg::m_nAChan = 36;
  EXPECT_EQ(CIdCfg(&cfg).m_nNumBanks, 4);
  CHelvoCfg::m_nAChan = 18;
  EXPECT_EQ(CIdCfg(&cfg).m_nNumBanks, 3);
  CHelvoCfg::m_nSetVer = 6;
  CHelvoCfg::m_nBank = 2;
  CIdCfg older(&cfg);
  EXPECT_EQ(older.m_nNumBanks, 2);
  EXPECT_EQ(older.GetParent(), &cfg);

  HostSettings("\"SettingVersionLimit\"=dword:000000d2\r\n\"DefaultSysFreq\"=dword:00000032\r\n");
  CIdCfg hosted;
  EXPECT_EQ(hosted.m_nSettingsVers, 210);
  EXPECT_EQ(hosted.m_nSystemFrequency, 50);

  HostSettings("\"SettingVersionLimit\"=dword:00000007\r\n\"DefaultSysFreq\"=dword:00000037\r\n");
  CIdCfg odd;
  EXPECT_EQ(odd.m_nSettingsVers, 203);    // an older-family limit is not a limit
  EXPECT_EQ(odd.m_nSystemFrequency, 60);  // 55 Hz is no system frequency
}

TEST_F(RecordsTest, LimitsStorageAlarmsAndCopies) {
  CHelvoCfg cfg;
  CHelvoLimitsCfg limits(&cfg);
  EXPECT_EQ(limits.GetClass(), 8);
  EXPECT_FLOAT_EQ(limits.m_oEIChatterWindow.m_fSeconds, 1.0f);
  EXPECT_EQ(limits.m_oEIChatterWindow.m_nFactor, 8);
  EXPECT_EQ(limits.m_lEIChatterTime, 1);
  EXPECT_FLOAT_EQ(limits.m_oDetChatterWindow.m_fSeconds, 4.0f);
  EXPECT_EQ(limits.m_oDetChatterWindow.m_nFactor, 2);
  EXPECT_EQ(limits.m_lDetChatterTime, 1);
  EXPECT_EQ(limits.m_nRecAlarm, 0u);

  cStorageAlarms alarms(&cfg);
  EXPECT_EQ(alarms.GetClass(), 17);
  EXPECT_EQ(alarms.m_nRecordAlarm, 0);
  EXPECT_EQ(alarms.m_nTrendAlarm, 0);

  const int expected[] = {0, 2, 3, 5, 6, 7};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(AlarmIndexToValue[i], expected[i]) << i;

  // Dynamic creation by name.
  for (const char* name : {"CIdCfg", "CHelvoLimitsCfg", "cStorageAlarms"}) {
    CObject* made = RuntimeClass::CreateObject(name);
    ASSERT_NE(made, nullptr) << name;
    EXPECT_STREQ(made->GetRuntimeClass()->m_lpszClassName, name);
    delete made;
  }

  // Copies take every field and the parent.
  CIdCfg id(&cfg);
  id.m_strHostText1 = "one";
  id.m_strHostText2 = "two";
  id.m_oSetDate.m_Time = CalendarTime(1234567);
  id.m_oSetDate.m_lLoadDate = 42;
  id.m_strSetDate = "set";
  id.m_strStationName = "Station";
  id.m_strSerialNum = "SN";
  id.m_nNewFile = 1;
  id.m_nSampleRate = 384;
  CIdCfg copy;
  copy = id;
  EXPECT_EQ(copy.GetParent(), &cfg);
  EXPECT_EQ(copy.m_strHostText1, "one");
  EXPECT_EQ(copy.m_strHostText2, "two");
  EXPECT_EQ(copy.m_oSetDate.m_Time, CalendarTime(1234567));
  EXPECT_EQ(copy.m_oSetDate.m_lLoadDate, 42);
  EXPECT_EQ(copy.m_strSetDate, "set");
  EXPECT_EQ(copy.m_strStationName, "Station");
  EXPECT_EQ(copy.m_strSerialNum, "SN");
  EXPECT_EQ(copy.m_nNewFile, 1);
  EXPECT_EQ(copy.m_nSampleRate, 384);
  CIdCfg& self = copy;
  copy = self;
  EXPECT_EQ(copy.m_strSerialNum, "SN");

  limits.m_oDetChatterWindow.m_fSeconds = 0.5f;
  limits.m_nRecAlarm = 3;
  CHelvoLimitsCfg limitsCopy;
  limitsCopy = limits;
  EXPECT_EQ(limitsCopy.GetParent(), &cfg);
  EXPECT_FLOAT_EQ(limitsCopy.m_oDetChatterWindow.m_fSeconds, 0.5f);
  EXPECT_EQ(limitsCopy.m_oDetChatterWindow.m_nFactor, 2);
  EXPECT_EQ(limitsCopy.m_nRecAlarm, 3u);
}

// The identification block of a version-6 save, and what changes from version 201 on.
TEST_F(RecordsTest, IdentificationBlockAsWritten) {
  ScopedTimeZone tz("UTC0");
  CHelvoCfg cfg;
  auto* id = new CIdCfg(&cfg);
  cfg.m_IdList.AddTail(id);
  id->m_oSetDate.m_Time = CalendarTime(2024, 3, 4, 9, 5, 3);
  id->m_strSetDate = "99 Jan 01 00:00:00";
  id->m_nSettingsVers = 6;
  id->m_nNumBanks = 1;
  id->m_nSystemFrequency = 60;
  // Read-only keys: never written whatever they hold.
  id->m_strSettingsName = id->m_strUnitId = id->m_strStationName = id->m_strStationNum = id->m_strLocation =
      "x";
  id->m_nNewFile = 1;

  const std::vector<std::string> v6 = Block(Lines(cfg, 6, 60), "[ID]");
  const std::vector<std::string> expected = {"[ID]",
                                             "LOAD_DATE=0",
                                             "SET_DATE=24 Mar 04 09:05:03",
                                             "SETTINGS_VERS=6",
                                             "SERIAL_NUM=",
                                             "COMMENTS=None",
                                             "NUM_BANKS=1",
                                             "SYSTEM_FREQUENCY=60",
                                             ""};
  EXPECT_EQ(v6, expected);

  id->m_nNumBanks = 3;
  id->m_nSampleRate = 128;
  cFilerSections::m_nAChan = 30;
  const std::vector<std::string> v201 = Lines(cfg, 201, 60);
  EXPECT_TRUE(HasLineStartingWith(v201, "NUM_BANKS=1"));
  EXPECT_TRUE(HasLineStartingWith(v201, "NUM_A_CHANNELS=36"));  // more than 18 channels: 36
  EXPECT_TRUE(HasLineStartingWith(v201, "SAMPLE_RATE=128"));
  EXPECT_FALSE(HasLineStartingWith(v201, "NEWFILE"));
  EXPECT_EQ(id->m_nNumBanks, 1);  // the model carries what the file says
  EXPECT_EQ(id->m_nNumAChannels, 36);

  // The reader's view of the record.
  sHeaderValues header;
  ASSERT_TRUE(id->GetHeaderValues(header));
  EXPECT_EQ(header.m_nSystemFrequency, 60);
  EXPECT_EQ(header.m_nSettingVersion, 6);
  EXPECT_EQ(header.m_nAChan, 36);
  EXPECT_EQ(header.m_nSampleRate, 128);
  EXPECT_EQ(header.m_nDSPBanks, 1);
}

TEST_F(RecordsTest, LimitsBlockAsWrittenAndRead) {
  CHelvoCfg cfg;
  auto* limits = new CHelvoLimitsCfg(&cfg);
  cfg.m_LimitsList.AddTail(limits);
  limits->m_nRecAlarm = 5;
  const std::vector<std::string> expected = {"[LIMITS]",
                                             "EI_CHATTER_WINDOW=480",  // 1 s in eighths of a 60 Hz cycle
                                             "EI_CHATTER_TIME=1",
                                             "DET_CHATTER_WINDOW=480",  // 4 s in half cycles
                                             "DET_CHATTER_TIME=1",
                                             "REC_ALARM=5",
                                             ""};
  EXPECT_EQ(Block(Lines(cfg, 6, 60), "[LIMITS]"), expected);
  EXPECT_FALSE(HasLineStartingWith(Lines(cfg, 5, 60), "REC_ALARM"));
  EXPECT_TRUE(HasLineStartingWith(Lines(cfg, 201, 60), "REC_ALARM=5"));

  // A LIMITS section with only a count keeps the other defaults; the windows are read with the
  // frequency of the ID section before them.
  StringList lines;
  for (const char* line : {"[ID]", "SYSTEM_FREQUENCY=50", "", "[LIMITS]", "EI_CHATTER_TIME=7", "", "[LIMITS]",
                           "EI_CHATTER_WINDOW=100", "", "[END]"})
    lines.AddTail(line);
  CHelvoCfg read(lines);
  ASSERT_NE(read.m_pLimitsCfg, nullptr);
  EXPECT_EQ(read.m_pLimitsCfg->m_lEIChatterTime, 7);
  EXPECT_FLOAT_EQ(read.m_pLimitsCfg->m_oEIChatterWindow.m_fSeconds, 1.0f);
  EXPECT_FLOAT_EQ(read.m_pLimitsCfg->m_oDetChatterWindow.m_fSeconds, 4.0f);
  EXPECT_EQ(read.m_pLimitsCfg->m_lDetChatterTime, 1);
  EXPECT_TRUE(read.m_LimitsList.IsEmpty());  // the second LIMITS record is discarded
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace helvo
