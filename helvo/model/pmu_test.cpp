#include "helvo/model/pmu.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "helvo/functions/analog.h"
#include "helvo/functions/frequency.h"
#include "helvo/functions/sequence.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using testing::Lines;
using PMUTest = testing::CfgTest;

const Lines kPmu = {"[PMU]", "HEADER=Station A", "REPORTING_RATE=30", ""};
const Lines kCdr = {"[CDR]", "REPORTING_RATE=12", ""};
const Lines kPhasor5 = {"[PHASOR1-5]", "NAME=Bus V", "INP_INDEX=2", "INP_TYPE=3",
                        "UNITS=1",     "SCALE=2.5",  "PDC_SCALE=7", ""};
const Lines kCdr3 = {"[CDR_CHAN1-3]", "INP_INDEX=4", ""};

std::string Join(std::initializer_list<Lines> parts) {
  std::string body;
  for (const Lines& part : parts)
    for (const std::string& line : part) body += line + "\n";
  return body;
}

TEST_F(PMUTest, SectionsReplaceTheirSlotsAndRoundTrip) {
  const Lines outOfRange = {"[PHASOR1-13]", "NAME=Far", "", "[CDR_CHAN1-40]", "INP_INDEX=9", ""};
  for (int version : {202, 203}) {
    auto cfg = testing::ReadBody(Join({kPhasor5, kCdr3, kPmu, kCdr, outOfRange}));
    cHelvoDspCfg& group = *cfg->m_pDspCfg[0];
    ASSERT_EQ(group.GetPMUList().GetCount(), 12u);  // replaced, not added
    ASSERT_EQ(group.GetCDRList().GetCount(), 36u);
    EXPECT_EQ(dynamic_cast<CPMU*>(group.GetPMUList().GetHead())->m_strName, "Far");
    EXPECT_EQ(dynamic_cast<CCDR*>(group.GetCDRList().GetHead())->m_nInputIndex, 9);

    const Lines phasors = testing::WrittenBlocks(*cfg, version, "PHASOR1-5]");
    EXPECT_EQ(phasors, kPhasor5);
    EXPECT_EQ(testing::WrittenBlocks(*cfg, version, "PMU"), kPmu);
    EXPECT_EQ(testing::WrittenBlocks(*cfg, version, "CDR]"), kCdr);
    EXPECT_EQ(testing::WrittenHeaders(*cfg, version, "CDR_CHAN"),
              (Lines{"[CDR_CHAN1-1]", "[CDR_CHAN1-3]"}));  // used ones

    auto again = testing::ReadBody(Join({phasors, testing::WrittenBlocks(*cfg, version, "CDR_CHAN"), kPmu}));
    EXPECT_EQ(testing::WrittenBlocks(*again, version, "PHASOR1-5]"), kPhasor5);
    EXPECT_EQ(testing::WrittenHeaders(*again, version, "CDR_CHAN"),
              (Lines{"[CDR_CHAN1-1]", "[CDR_CHAN1-3]"}));
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(PMUTest, OlderVersionsWriteTheSectionsWithoutSlotNumbers) {
  auto cfg = testing::ReadBody(Join({kPhasor5, kCdr3}));
  cfg->m_pDspCfg[1]->AddCDR(2);
  dynamic_cast<CCDR*>(cfg->m_pDspCfg[1]->GetCDRList().GetHead())->m_nInputIndex = 1;
  // Version 201 folds: the first group only, phasors by slot, used CDR channels by slot + 1.
  EXPECT_EQ(testing::WrittenHeaders(*cfg, 201, "PHASOR").size(), 12u);
  EXPECT_EQ(testing::WrittenHeaders(*cfg, 201, "PHASOR")[4], "[PHASOR1-5]");
  EXPECT_EQ(testing::WrittenHeaders(*cfg, 201, "CDR_CHAN"), (Lines{"[CDR_CHAN1-3]"}));
  // Below 201 every object of both groups is written without a number (saving drops them first).
  EXPECT_EQ(testing::WrittenHeaders(*cfg, 7, "PHASOR2-").size(), 12u);
  EXPECT_EQ(testing::WrittenHeaders(*cfg, 7, "CDR_CHAN").size(), 38u);
  EXPECT_EQ(testing::WrittenHeaders(*cfg, 7, "CDR_CHAN1-")[0], "[CDR_CHAN1-]");
}

// An analog input of the first board in its class list (the written form) with a scale.
CAnalogCfg* Analog(CHelvoCfg& cfg, int channel, float pri1, float sec1, float pri2, float sec2, float full) {
  auto* a = new CAnalogCfg;
  a->SetParent(cfg.m_pDspCfg[0]);
  a->SetChannelNumber(channel);
  a->m_Scale.m_fPri1 = pri1, a->m_Scale.m_fSec1 = sec1, a->m_Scale.m_fPri2 = pri2, a->m_Scale.m_fSec2 = sec2;
  a->m_Scale.m_fFullScale = full;
  a->m_Scale.m_strPriUnit = "kV", a->m_Scale.m_strSecUnit = "V";
  cfg.m_pDspCfg[0]->GetClassList(eAnalogCfg).AddTail(a);
  return a;
}

TEST_F(PMUTest, ScaleFactorsAreDefinedForEveryValidScale) {
  CHelvoCfg cfg;
  // 1 kV per 10 V is 100 V per V: the full scale as a primary peak in 1e-5 units over 65536 counts.
  const double peak = 100.0 * 150.0 * 141421.35624 / 65536.0;
  const int expectedPdc = static_cast<int>(peak + 0.5);
  for (CAnalogCfg* a : {Analog(cfg, 1, 1, 10, 0, 0, 150), Analog(cfg, 2, 0, 0, 1, 10, 150)}) {
    int pdc = 1;
    float dsp = 1.0f;
    CHelvoCfg::ComputePDCScale(a, pdc);
    cfg.ComputeDSPScale(a, dsp);
    EXPECT_EQ(pdc, expectedPdc);  // a first point at secondary 0 takes the slope
    EXPECT_FLOAT_EQ(dsp, static_cast<float>(100000.0 * 100.0 / expectedPdc));
  }
  int pdc = 1;
  float dsp = 1.0f;
  CHelvoCfg::ComputePDCScale(Analog(cfg, 3, 3e38f, 1e-30f, 0, 1, 1e30f), pdc);
  cfg.ComputeDSPScale(cfg.GetPMUPhasor(2, 0), dsp);
  EXPECT_EQ(pdc, INT_MAX);
  EXPECT_EQ(dsp, FLT_MAX);
  CHelvoCfg::ComputePDCScale(Analog(cfg, 4, -3e38f, 1e-30f, 0, 1, 1e30f), pdc);
  EXPECT_EQ(pdc, INT_MIN);

  // A PDC factor of 0 leaves the DSP factor alone.
  CAnalogCfg* tiny = Analog(cfg, 5, 1e-12f, 1, 1, 2, 1);
  dsp = 1.0f;
  CHelvoCfg::ComputePDCScale(tiny, pdc);
  cfg.ComputeDSPScale(tiny, dsp);
  EXPECT_EQ(pdc, 0);
  EXPECT_EQ(dsp, 1.0f);
}

TEST_F(PMUTest, SavingResolvesPMUAndDropsWhatTheVersionCannotHold) {
  auto cfg = std::make_unique<CHelvoCfg>();
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  CAnalogCfg* analog = Analog(*cfg, 3, 1, 10, 0, 0, 150);
  auto* seq = new CSequenceCfg;  // no input, so no scale
  seq->SetParent(group), seq->SetChannelNumber(2), group->GetClassList(eSequenceCfg).AddTail(seq);
  auto* freq = new CFrequencyCfg;
  freq->SetParent(group), group->GetClassList(eFrequencyCfg).AddTail(freq);
  EXPECT_EQ(cfg->GetPMUPhasor(1, 3), seq);
  EXPECT_EQ(cfg->GetPMUPhasor(2, 5), nullptr);

  auto phasor = [&](int i) { return dynamic_cast<CPMU*>(*std::next(group->GetPMUList().begin(), i)); };
  phasor(0)->m_nInputIndex = 2;
  phasor(3)->m_nInputIndex = 1, phasor(3)->m_nInputType = 2;
  dynamic_cast<CCDR*>(group->GetCDRList().GetTail())->m_nInputIndex = 0;
  new CPMUId("PMU", cfg.get());
  delete new CPMUId("gone", cfg.get());  // leaves the list it joined
  new CCDRId(cfg.get());

  cfg->ResolvePMU(group, 202);
  cfg->ResolvePMU(group, 202);  // a second run replaces the hidden group
  ASSERT_EQ(cfg->m_MeterGroupList.GetCount(), 1u);
  auto* meters = dynamic_cast<CMeterGroup*>(cfg->m_MeterGroupList.GetHead());
  EXPECT_EQ(meters->m_strName, "@@@###");
  ASSERT_EQ(meters->m_nCount, 5);
  const std::vector<std::pair<CPhasor*, int>> expected = {
      {analog, 0}, {analog, 1}, {seq, 2}, {seq, 3}, {freq, 0}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(meters->m_Meters[i].m_pPhasor, expected[i].first);
    EXPECT_EQ(meters->m_Meters[i].m_nMeter, expected[i].second);
  }

  cfg->UpdatePMUInfo(group, 202);
  ASSERT_EQ(group->GetPMUList().GetCount(), 2u);
  EXPECT_EQ(phasor(0)->m_nPDCScale, static_cast<int>(100.0 * 150.0 * 141421.35624 / 65536.0 + 0.5));
  EXPECT_EQ(phasor(1)->m_fDSPScale, 1.0f);  // no valid scale
  EXPECT_EQ(phasor(1)->m_nPDCScale, 1);
  EXPECT_EQ(cfg->m_PMUIdList.GetCount(), 1u);

  cfg->UpdateCDRInfo(group, 203);
  EXPECT_EQ(group->GetCDRList().GetCount(), 1u);
  EXPECT_EQ(cfg->m_CDRIdList.GetCount(), 1u);
  cfg->UpdateCDRInfo(group, 202);
  EXPECT_TRUE(group->GetCDRList().IsEmpty());
  EXPECT_TRUE(cfg->m_CDRIdList.IsEmpty());

  cfg->UpdatePMUInfo(group, 201);
  EXPECT_TRUE(group->GetPMUList().IsEmpty());
  EXPECT_TRUE(cfg->m_PMUIdList.IsEmpty());
}

}  // namespace
}  // namespace helvo
