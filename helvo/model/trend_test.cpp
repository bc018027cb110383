#include "helvo/model/trend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "helvo/model/dsp_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/platform/format.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

// Generation 2: the second board's meter indexes depend on the written version.
class TrendTest : public testing::ModelTest {
 protected:
  TrendTest() {
    cFilerSections::m_nSettingVersion = CHelvoCfgTables::m_nSetVer = 6, cFilerSections::m_nDSPBanks = 2;
  }
  static cTrend* Read(const std::string& body, std::unique_ptr<CHelvoCfg>& cfg) {
    cfg = testing::ReadBody("[EXTENDED_TREND]\n" + body + "[END]\n");
    SetFile(*cfg, 6, 2);  // the configuration's own header: two boards, version 6
    return cfg->m_TrendList.IsEmpty() ? nullptr : dynamic_cast<cTrend*>(cfg->m_TrendList.GetHead());
  }
};

TEST_F(TrendTest, BecomesAndLeavesTheTrendInUse) {
  CHelvoCfg cfg;
  auto* first = new cTrend(&cfg);
  auto* second = new cTrend(&cfg);
  EXPECT_EQ(cfg.m_pTrend, second);
  EXPECT_TRUE(cfg.m_TrendList.IsEmpty());  // the replaced trend stays with whoever replaced it

  first->m_nInterval = 600, first->m_nAlarmContact = 5, first->m_nEvents = 0;
  first->m_nCount = 9, first->m_nTrendNumber = 1, first->m_Entries[59].m_nOption = eTrendMax;
  *second = *first;  // count and number are left to saving
  EXPECT_EQ(std::tuple(second->m_nInterval, second->m_nAlarmContact, second->m_nEvents,
                       second->m_Entries[59].m_nOption, second->m_nCount, second->m_nTrendNumber),
            std::tuple(600, 5u, 0, 4u, 0, -1));
  delete first;
  EXPECT_EQ(cfg.m_pTrend, second);
  delete second;
  EXPECT_EQ(cfg.m_pTrend, nullptr);

  std::unique_ptr<CHelvoCfg> read;
  cTrend* listed = Read("EVENTS=0\n", read);
  ASSERT_NE(listed, nullptr);
  EXPECT_EQ(std::tuple(listed->m_nInterval, listed->m_nAlarmContact), std::tuple(1200, 0u));
  delete listed;
  EXPECT_TRUE(read->m_TrendList.IsEmpty());
}

TEST_F(TrendTest, RoundTripAtEveryVersion) {
  std::unique_ptr<CHelvoCfg> cfg, again;
  cTrend* trend = Read("INTERVAL=600\nALMCONTACT=5\nEVENTS=0\nCOUNT=2\nOP01=3\nOP31=3\nOP60=4\n", cfg);
  ASSERT_NE(trend, nullptr);
  trend->m_Entries[0].m_pPhasor = NewAnalog(cfg->m_pDspCfg[0], 2);
  trend->m_Entries[0].m_nMeter = 1;
  trend->m_Entries[59].m_pPhasor = NewAnalog(cfg->m_pDspCfg[1], 1);
  trend->m_Entries[59].m_nMeter = 0;
  for (int version : {3, 4, 5, 6, 7, 201}) {
    const int first = trend->m_Entries[0].GetMeterIndex(version),
              last = trend->m_Entries[59].GetMeterIndex(version);
    ASSERT_TRUE(first >= 0 && last >= 0) << version;
    std::vector<std::string> expected{"INTERVAL=600", "ALMCONTACT=5", "EVENTS=0", "COUNT=2"};
    std::string body;
    for (int n = 1; n <= cTrend::kEntries; ++n) {  // entries without a function write -1 and their option
      expected.push_back(Format("IX%d=%d", n, n == 1 ? first : n == 60 ? last : -1));
      expected.push_back(Format("OP%02d=%d", n, n == 1 || n == 31 ? 3 : n == 60 ? 4 : 0));
    }
    EXPECT_EQ(testing::WrittenKeys(*cfg, version, "EXTENDED_TREND"), expected) << version;
    for (const std::string& line : expected) body += line + "\n";
    const cTrend* read = Read(body, again);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(
        std::tuple(read->m_nInterval, read->m_nAlarmContact, read->m_nEvents, read->m_nCount,
                   read->m_Entries[0].m_nMeter, read->m_Entries[30].m_nOption, read->m_Entries[59].m_nMeter),
        std::tuple(600, 5u, 0, 2, first, 3u, last));
  }
}

}  // namespace
}  // namespace helvo
