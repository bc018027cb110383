#include "helvo/model/meter_group.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "helvo/model/dsp_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/trend.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using testing::Lines;

// Generation 2: the second board's meter indexes depend on the written version.
class MeterGroupTest : public testing::ModelTest {
 protected:
  MeterGroupTest() {
    cFilerSections::m_nSettingVersion = CHelvoCfgTables::m_nSetVer = 6, cFilerSections::m_nDSPBanks = 2;
  }
  static CMeterGroup* Read(const Lines& lines, std::unique_ptr<CHelvoCfg>& cfg) {
    cfg = testing::ReadBody(testing::JoinLines(lines) + "[END]\n");
    SetFile(*cfg, 6, 2);  // the configuration's own header: two boards, version 6
    return cfg->m_MeterGroupList.IsEmpty() ? nullptr
                                           : dynamic_cast<CMeterGroup*>(cfg->m_MeterGroupList.GetHead());
  }
};

TEST_F(MeterGroupTest, JoinsAndLeavesItsConfiguration) {
  CHelvoCfg cfg;
  auto* main = new CMeterGroup("Main", &cfg);
  auto* pmu = new CMeterGroup("pmu", &cfg);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("MAIN"), main);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("main", main), nullptr);

  // The meter converter's test of the PMU meter group: named PMU and numbered as the last group.
  const auto isPmu = CrefMeter::SetPmuMeterGroupTest(nullptr);
  CrefMeter::SetPmuMeterGroupTest(isPmu);
  ASSERT_NE(isPmu, nullptr);
  pmu->m_nNumber = main->m_nNumber = 2;
  EXPECT_TRUE(isPmu(pmu));
  EXPECT_FALSE(isPmu(main));
  pmu->m_nNumber = 1;
  EXPECT_FALSE(isPmu(pmu));

  delete main;
  EXPECT_EQ(cfg.m_MeterGroupList.GetCount(), 1u);
  EXPECT_EQ(cfg.m_MeterGroupList.GetHead(), pmu);
}

TEST_F(MeterGroupTest, RoundTripAtEveryVersion) {
  std::unique_ptr<CHelvoCfg> cfg, again;
  CMeterGroup* group =
      Read({"[METERING_GROUP4]", "NAME=Feeder 7", "INDEX1=12", "INDEX36=40", "COUNT=3"}, cfg);
  ASSERT_NE(group, nullptr);
  group->m_Meters[0].m_pPhasor = NewAnalog(cfg->m_pDspCfg[0], 2);
  group->m_Meters[0].m_nMeter = 1;
  group->m_Meters[35].m_pPhasor = NewAnalog(cfg->m_pDspCfg[1], 1);
  group->m_Meters[35].m_nMeter = 0;
  group->m_Meters[40] = group->m_Meters[0];  // a slot without a key; slots 2 to 35 have no function
  for (int version : {3, 4, 5, 6, 7, 201}) {
    const int first = group->m_Meters[0].GetMeterIndex(version),
              last = group->m_Meters[35].GetMeterIndex(version);
    ASSERT_TRUE(first >= 0 && last >= 0) << version;
    const Lines block = testing::WrittenBlocks(*cfg, version, "METERING_GROUP");
    EXPECT_EQ(block, (Lines{"[METERING_GROUP4]", "NAME=Feeder 7", "INDEX1=" + std::to_string(first),
                            "INDEX36=" + std::to_string(last), "COUNT=3", ""}));
    const CMeterGroup* read = Read(block, again);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::tuple(read->m_strName, read->m_nNumber, read->m_nCount, read->m_Meters[0].m_nMeter,
                         read->m_Meters[35].m_nMeter, read->m_Meters[1].m_nMeter),
              std::tuple("Feeder 7", 4, 3, first, last, -1));
  }
}

TEST_F(MeterGroupTest, DeletingAFunctionClearsItsSlotsEverywhere) {
  CHelvoCfg cfg;
  auto* kept = NewAnalog(cfg.m_pDspCfg[0], 1);
  auto* gone = NewAnalog(cfg.m_pDspCfg[0], 2);
  auto* a = new CMeterGroup("A", &cfg);
  auto* b = new CMeterGroup("B", &cfg);
  auto* trend = new cTrend(&cfg);
  a->m_Meters[0].m_pPhasor = a->m_Meters[44].m_pPhasor = b->m_Meters[35].m_pPhasor = gone;
  trend->m_Entries[59].m_pPhasor = gone;
  a->m_Meters[1].m_pPhasor = trend->m_Entries[0].m_pPhasor = kept;
  delete gone;
  for (CPhasor* slot : {a->m_Meters[0].m_pPhasor, a->m_Meters[44].m_pPhasor, b->m_Meters[35].m_pPhasor,
                        trend->m_Entries[59].m_pPhasor})
    EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(a->m_Meters[1].m_pPhasor, kept);
  EXPECT_EQ(trend->m_Entries[0].m_pPhasor, kept);
}

}  // namespace
}  // namespace helvo
