#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/analog.h"
#include "helvo/functions/digital.h"
#include "helvo/functions/frequency.h"
#include "helvo/functions/summation.h"
#include "helvo/functions/watts_vars.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/model/trend.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using T = CHelvoCfgTables;

class TrendMaskTest : public testing::CfgTest {
 protected:
  // The last file read was of `version` for generation 1 (one board) or 4 (36 analog channels).
  static void SetFile(int version, int achan) {
    cFilerSections::m_nSettingVersion = T::m_nSetVer = version;
    cFilerSections::m_nDSPBanks = 1, cFilerSections::m_nAChan = achan, cFilerSections::m_nSampleRate = 96;
    T::FunctionsPerDsp(eAnalogCfg);
  }
  // A function of class cls at channel n of group: filed in its table (filed) or listed in its class
  // list (the written form), with every input taken from source.
  static CPhasor* Make(int cls, cHelvoDspCfg* group, int n, CPhasor* source = nullptr, bool filed = false) {
    auto* f = dynamic_cast<CPhasor*>(T::CreateClassObject(cls));
    f->SetParent(group), f->SetChannelNumber(n);
    if (auto* p = dynamic_cast<CSummationCfg*>(f)) p->m_orefInput[0].m_pPhasor = source;
    if (auto* p = dynamic_cast<CWattsVarsCfg*>(f))
      p->m_orefVolts.m_pPhasor = p->m_orefAmps.m_pPhasor = source;
    if (auto* p = dynamic_cast<CFrequencyCfg*>(f)) p->m_orefInput.m_pPhasor = source;
    if (filed)
      group->Add(f);
    else
      group->GetClassList(cls).AddTail(f);
    return f;
  }
  static std::vector<unsigned> Masks(const CPhasor* f) {
    std::vector<unsigned> masks;
    for (int i = 0; i < f->GetMeterItemCount(); ++i) masks.push_back(f->GetTrendOptionMask(i));
    return masks;
  }
};

TEST_F(TrendMaskTest, MasksFollowTheTrend) {
  CHelvoCfg cfg;  // starts at generation 1
  SetFile(6, 18);
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  std::string name = "Line";
  auto* line = new CElementName(name, group);
  group->Add(line);
  auto* va = new CAnalogCfg(group, line, T::LookupType("Va")->m_nFlags);
  auto* vb = new CAnalogCfg(group, line, T::LookupType("Vb")->m_nFlags);
  auto* dc = new CAnalogCfg(group, line, CAnalogCfg::kDCType);
  auto* ei = new CDigitalCfg(group, line, "breaker");
  int n = 0;
  for (CPhasor* f : {static_cast<CPhasor*>(va), static_cast<CPhasor*>(vb), static_cast<CPhasor*>(dc),
                     static_cast<CPhasor*>(ei)})
    f->SetChannelNumber(++n), group->Add(f);
  CPhasor* logic = Make(eLogicCfg, group, 1, nullptr, true);
  logic->SetParent_Element_Flags(group, line, 0x20000000ul);

  auto* trend = new cTrend(&cfg);
  auto entry = [&](int i, CPhasor* f, int meter, unsigned option) {
    trend->m_Entries[i].m_pPhasor = f, trend->m_Entries[i].m_nMeter = meter;
    trend->m_Entries[i].m_nOption = option;
  };
  entry(0, va, 0, eTrendAvg);
  entry(1, dc, 4, eTrendMax);
  entry(2, vb, 0, eTrendDamped);  // another meter: frees nothing of va's
  entry(3, va, 9, eTrendMin);     // beyond va's items: ignored
  entry(4, va, 1, eTrendMin), entry(5, va, 1, eTrendUndamped);

  cfg.RefreshTrendMasks(trend, nullptr);
  ASSERT_EQ(va->GetMeterItemCount(), T::GetMeterSpan(eAnalogCfg));
  EXPECT_EQ(Masks(va), (std::vector<unsigned>{0x1B, 0x15, 0x1F, 0x1F, 0}));
  EXPECT_EQ(Masks(dc), (std::vector<unsigned>{0, 0, 0, 0, 0x0F}));
  EXPECT_EQ(va->GetpMeterItems()[2].GetPhasor(), va);
  EXPECT_EQ(va->GetpMeterItems()[2].m_pChoice->m_nIndex, 2);
  EXPECT_EQ(va->GetpMeterItems()[4].GetPhasor(), nullptr);  // no DC meter for an AC channel
  EXPECT_EQ(va->GetTrendOptionMask(5), 0u);
  EXPECT_EQ(va->GetTrendOptionMask(-1), 0u);
  // External inputs and logic functions have no trendable meters.
  EXPECT_EQ(ei->GetpMeterItems(), nullptr);
  EXPECT_EQ(logic->GetpMeterItems(), nullptr);

  // The entry being edited keeps its own option free; the items are reused.
  const sTrnMeterItem* items = va->GetpMeterItems();
  cfg.RefreshTrendMasks(trend, &trend->m_Entries[0]);
  EXPECT_EQ(Masks(va)[0], 0x1Fu);
  EXPECT_EQ(va->GetpMeterItems(), items);

  // A deleted function leaves its entries empty; refreshing then frees nothing else.
  delete vb;
  EXPECT_EQ(trend->m_Entries[2].m_pPhasor, nullptr);
  cfg.RefreshTrendMasks(trend, nullptr);
  EXPECT_EQ(Masks(va), (std::vector<unsigned>{0x1B, 0x15, 0x1F, 0x1F, 0}));
  cfg.RefreshTrendMasks(nullptr, nullptr);
  EXPECT_EQ(Masks(dc)[4], 0x1Fu);
}

TEST_F(TrendMaskTest, DirtyMarksFollowInputs) {
  CHelvoCfg cfg;
  SetFile(201, 36);
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  T::m_nBank = 1, T::m_nSRate = 256;
  CPhasor* a18 = Make(eAnalogCfg, group, 18);
  CPhasor* a19 = Make(eAnalogCfg, group, 19);
  CPhasor* e32 = Make(eDigitalCfg, group, 32);
  CPhasor* e33 = Make(eDigitalCfg, group, 33);
  CPhasor* cleanSum = Make(eSummationCfg, group, 1, a18);
  // Fed by a summation listed after it, which only becomes dirty later in the same pass.
  CPhasor* sumOfSum = Make(eSummationCfg, group, 2);
  CPhasor* dirtySum = Make(eSummationCfg, group, 3, a19);
  dynamic_cast<CSummationCfg*>(sumOfSum)->m_orefInput[0].m_pPhasor = dirtySum;
  CPhasor* freq = Make(eFrequencyCfg, group, 1, dirtySum);
  CPhasor* power = Make(eWattsVarsCfg, group, 1, dirtySum);
  CPhasor* otherBoard = Make(eAnalogCfg, cfg.m_pDspCfg[1], 19);  // beyond m_nBank

  auto cdr = [&](int channel) {
    for (CFiler* obj : group->GetCDRList())
      if (auto* c = dynamic_cast<CCDR*>(obj); c->m_nChannel == channel) return c;
    return static_cast<CCDR*>(nullptr);
  };
  cdr(3)->m_nInputIndex = 18, cdr(17)->m_nInputIndex = 17, cdr(18)->m_nInputIndex = 0;

  T::m_nBank = 0;
  cfg.MarkPhasorsAsDirty(18, 203);
  EXPECT_EQ(a19->m_bDirty, 0);
  EXPECT_EQ(cdr(18)->m_nInputIndex, 0);

  T::m_nBank = 1;
  EXPECT_EQ(cfg.MarkPhasorsAsDirty(18, 202), 0);
  const std::vector<int> expected{0, 1, 0, 1, 0, 1, 1, 1, 1, 0};
  std::vector<int> marks;
  for (CPhasor* f : {a18, a19, e32, e33, cleanSum, sumOfSum, dirtySum, freq, power, otherBoard})
    marks.push_back(f->m_bDirty);
  EXPECT_EQ(marks, expected);
  EXPECT_FALSE(a19->IsValidChannel());
  EXPECT_TRUE(a18->IsValidChannel());
  EXPECT_EQ(cdr(18)->m_nInputIndex, 0);  // continuous recording only from version 203

  cfg.MarkPhasorsAsDirty(18, 203);
  EXPECT_EQ(cdr(3)->m_nInputIndex, -1);
  EXPECT_EQ(cdr(17)->m_nInputIndex, 17);
  EXPECT_EQ(cdr(18)->m_nInputIndex, -1);
}

}  // namespace
}  // namespace helvo
