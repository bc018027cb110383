#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/analog.h"
#include "helvo/functions/digital.h"
#include "helvo/functions/frequency.h"
#include "helvo/functions/summation.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/pmu.h"
#include "helvo/model/trend.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using T = CHelvoCfgTables;

class TrendMaskTest : public testing::CfgTest {
 protected:
  // A function at channel n in group's class list (the written form), fed by source.
  static CPhasor* Listed(int cls, cHelvoDspCfg* group, int n, CPhasor* source = nullptr) {
    auto* f = dynamic_cast<CPhasor*>(T::CreateClassObject(cls));
    f->SetParent(group), f->SetChannelNumber(n), group->GetClassList(cls).AddTail(f);
    if (auto* p = dynamic_cast<CSummationCfg*>(f)) p->m_orefInput[0].m_pPhasor = source;
    if (auto* p = dynamic_cast<CFrequencyCfg*>(f)) p->m_orefInput.m_pPhasor = source;
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
  SetFile(cfg, 6);
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  std::string name = "Line";
  auto* line = new CElementName(name, group);
  group->Add(line);
  std::vector<CPhasor*> f{new CAnalogCfg(group, line, T::LookupType("Va")->m_nFlags),
                          new CAnalogCfg(group, line, T::LookupType("Vb")->m_nFlags),
                          new CAnalogCfg(group, line, CAnalogCfg::kDCType), new CDigitalCfg(group, line, "")};
  for (size_t i = 0; i < f.size(); ++i) f[i]->SetChannelNumber(static_cast<int>(i) + 1), group->Add(f[i]);

  auto* trend = new cTrend(&cfg);
  const struct {
    CPhasor* f;
    int meter;
    unsigned option;
  } entries[] = {{f[0], 0, eTrendAvg}, {f[2], 4, eTrendMax}, {f[1], 0, eTrendDamped},
                 {f[0], 9, eTrendMin}, {f[0], 1, eTrendMin}, {f[0], 1, eTrendUndamped}};
  for (int i = 0; i < 6; ++i)
    trend->m_Entries[i].m_pPhasor = entries[i].f, trend->m_Entries[i].m_nMeter = entries[i].meter,
    trend->m_Entries[i].m_nOption = entries[i].option;

  cfg.RefreshTrendMasks(trend, nullptr);
  EXPECT_EQ(Masks(f[0]), (std::vector<unsigned>{0x1B, 0x15, 0x1F, 0x1F, 0}));  // meter 9 is no item
  EXPECT_EQ(Masks(f[2]), (std::vector<unsigned>{0, 0, 0, 0, 0x0F}));
  EXPECT_EQ(f[0]->GetTrendOptionMask(5), 0u);
  EXPECT_EQ(f[3]->GetpMeterItems(), nullptr);  // external inputs have no trendable meters

  cfg.RefreshTrendMasks(trend, &trend->m_Entries[0]);  // the entry being edited keeps its option
  EXPECT_EQ(Masks(f[0])[0], 0x1Fu);

  delete f[1];  // its entry is emptied and frees nothing of another function's
  cfg.RefreshTrendMasks(trend, nullptr);
  EXPECT_EQ(Masks(f[0]), (std::vector<unsigned>{0x1B, 0x15, 0x1F, 0x1F, 0}));
}

TEST_F(TrendMaskTest, DirtyMarksFollowInputs) {
  CHelvoCfg cfg;
  SetFile(cfg, 201, 1, 36);
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  cfg.m_State.m_nSRate = 256;
  CPhasor* a18 = Listed(eAnalogCfg, group, 18);
  CPhasor* a19 = Listed(eAnalogCfg, group, 19);
  std::vector<CPhasor*> f{a18,
                          a19,
                          Listed(eDigitalCfg, group, 32),
                          Listed(eDigitalCfg, group, 33),
                          Listed(eSummationCfg, group, 1, a18),
                          Listed(eSummationCfg, group, 2)};  // fed by the summation listed after it
  f.push_back(Listed(eSummationCfg, group, 3, a19));
  dynamic_cast<CSummationCfg*>(f[5])->m_orefInput[0].m_pPhasor = f[6];
  f.push_back(Listed(eFrequencyCfg, group, 1, f[6]));
  f.push_back(Listed(eAnalogCfg, cfg.m_pDspCfg[1], 19));  // a board beyond the banks read
  // A frequency function fed by a summation that becomes dirty after it was judged stays, and its
  // input is then written as undefined.
  f.push_back(Listed(eSummationCfg, group, 4, f[6]));
  f.push_back(Listed(eFrequencyCfg, group, 2, f[9]));
  std::vector<CCDR*> cdr;
  for (CFiler* obj : group->GetCDRList()) cdr.push_back(dynamic_cast<CCDR*>(obj));
  cdr[3]->m_nInputIndex = 18, cdr[17]->m_nInputIndex = 17, cdr[18]->m_nInputIndex = 0;

  cfg.m_State.m_nBank = 0;
  cfg.MarkPhasorsAsDirty(18, 203);
  EXPECT_TRUE(a19->IsValidChannel());
  cfg.m_State.m_nBank = 1;
  cfg.MarkPhasorsAsDirty(18, 202);
  std::vector<int> marks;
  for (CPhasor* p : f) marks.push_back(p->m_bDirty);
  EXPECT_EQ(marks, (std::vector<int>{0, 1, 0, 1, 0, 0, 1, 1, 0, 1, 0}));
  int index = 0;
  EXPECT_EQ(dynamic_cast<CFrequencyCfg*>(f[10])->m_orefInput.GetPhasorIndex(index), 0);
  EXPECT_EQ(dynamic_cast<CSummationCfg*>(f[5])->m_orefInput[0].GetPhasorIndex(index), 0);
  EXPECT_FALSE(a19->IsValidChannel());
  EXPECT_EQ(cdr[18]->m_nInputIndex, 0);  // continuous recording only from version 203

  cfg.MarkPhasorsAsDirty(18, 203);
  EXPECT_EQ(std::vector<int>({cdr[3]->m_nInputIndex, cdr[17]->m_nInputIndex, cdr[18]->m_nInputIndex}),
            std::vector<int>({-1, 17, -1}));
}

}  // namespace
}  // namespace helvo
