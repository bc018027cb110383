#include "helvo/functions/sequence.h"

#include <gtest/gtest.h>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using Input = testing::ModelFn;
using SequenceTest = testing::HeaderTest<7>;

TEST_F(SequenceTest, InputMasksFollowTheType) {
  CHelvoCfg cfg;
  auto* element = new CElementName;
  cfg.m_pDspCfg[0]->Add(element);
  CSequenceCfg amps(cfg.m_pDspCfg[0], element, 0x200004ul);
  EXPECT_EQ(amps.m_orefInput[0].GetTypesMask(), 0x80F0F00ul);
  amps.SetParent_Element_Flags(cfg.m_pDspCfg[0], element, 0x100003ul);  // Vseq
  EXPECT_EQ(amps.m_orefInput[0].GetTypesMask(), 0xF0F0ul);
  CSequenceCfg q;
  q.InitializeInputMasks();  // no type at all
  EXPECT_EQ(q.m_orefInput[0].GetTypesMask(), 0ul);
}

TEST_F(SequenceTest, EveryPhaseIsNeededButOnlyPhaseAScales) {
  Input a(eAnalogCfg, nullptr, 1), b(eAnalogCfg, nullptr, 2), c(eAnalogCfg, nullptr, 3);
  a.m_Scale.m_strPriUnit = "kV";
  a.m_fLevel = 2.0f;
  CSequenceCfg q;
  q.m_orefInput[1].m_pPhasor = &b;
  q.m_orefInput[2].m_pPhasor = &c;
  EXPECT_FALSE(q.AreInputsDefined());
  EXPECT_FLOAT_EQ(q.GetMaxMeasuredLevel(0), 0.0f);
  EXPECT_STREQ(q.GetPriUnit(), "");
  EXPECT_EQ(q.GetpScale(), nullptr);
  q.m_orefInput[0].m_pPhasor = &a;
  EXPECT_TRUE(q.AreInputsDefined());
  c.m_bDirty = 1;
  EXPECT_FALSE(q.AreInputsDefined());
  EXPECT_EQ(q.GetpScale(), &a.m_Scale);
  EXPECT_STREQ(q.GetPriUnit(), "kV");
  // The primary ratio is the function's own scale's, and only a valid one has a ratio.
  EXPECT_FLOAT_EQ(q.GetMaxMeasuredLevel(1), 2.0f);
  q.m_Scale.m_fPri1 = 30.0f, q.m_Scale.m_fSec1 = 3.0f, q.m_Scale.m_fFullScale = 1.0f;
  q.m_Scale.m_strSecUnit = "V";
  EXPECT_FLOAT_EQ(q.GetMaxMeasuredLevel(1), 20.0f);
  q.m_orefInput[0].m_pPhasor = &q;  // a function that names itself ends the walk
  EXPECT_EQ(q.GetpScale(), nullptr);
  EXPECT_FLOAT_EQ(q.GetMaxMeasuredLevel(0), 0.0f);
}

TEST_F(SequenceTest, AssignmentLeavesTheKeylessTextAndTheUnit) {
  CSequenceCfg from, to;
  from.m_strHostText = "text";
  from.m_oUnit.m_strUnit = "kV";
  from.m_nHostValue = 7;
  to = from;
  EXPECT_EQ(to.m_strHostText + to.m_oUnit.m_strUnit, "");
  EXPECT_EQ(to.m_nHostValue, 7);
  EXPECT_EQ(to.m_oPosPosROCAct.GetParent(), &to);
}

TEST_F(SequenceTest, EveryKeyRoundTripsAtEachVersion) {
  Input a(eSummationCfg, nullptr, 1), b(eSummationCfg, nullptr, 2), c(eSummationCfg, nullptr, 3);
  a.m_Scale.m_strPriUnit = "kA";
  std::vector<testing::KeyAt> keys = {{"ELEMENT=Line1"}, {"TYPE=Iseq"},    {"DESC=feeder"},
                                      {"UNIT=kA"},       {"ROC_INT=4"},    {"PH_A_INDEX=18"},
                                      {"PH_B_INDEX=19"}, {"PH_C_INDEX=20"}};
  int action = 65;  // 1HiLev, 1LoLev, 1-ROC, 1+ROC, 2HiLev, 0HiLev: 65 ... 70
  for (const char* detector :
       {"PSEQ_H_MAG", "PSEQ_L_MAG", "PSEQ_N_ROC", "PSEQ_P_ROC", "NSEQ_H_MAG", "ZSEQ_H_MAG"})
    for (const std::string& suffix :
         {std::string("_T=-1"), std::string("_D=7"), "_A=" + std::to_string(action++)})
      keys.push_back({detector + suffix});
  auto cfg = testing::ReadBody(testing::IdSection(7) + testing::SectionText("SEQUENCE1-4", keys) + "[END]\n");
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  auto* q = dynamic_cast<CSequenceCfg*>(group->m_pSequence[3]);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->m_orefInput[1].m_nNumber, 19);
  EXPECT_FLOAT_EQ(q->m_oZeroHighDelay.m_fSeconds, 7.0f / 120);
  q->m_orefInput[0].m_pPhasor = &a;  // as linking does
  q->m_orefInput[1].m_pPhasor = &b;
  q->m_orefInput[2].m_pPhasor = &c;
  testing::ExpectKeysFollowVersions(*cfg, "SEQUENCE", keys);

  std::string name;
  q->GetStateName(name, 5);
  EXPECT_EQ(name, "Line1:I:feeder[0HiLev]");
  auto* section = dynamic_cast<cHelvoSection*>(group->GetSection(eSequenceCfg));
  const unsigned packed[] = {65, 66, 68, 67, 69, 70};  // the states list +ROC before -ROC
  for (int k = 0; k < 6; ++k)
    EXPECT_EQ(section->FindStateChoice(k)->GetFirstAction(q)->GetPacked(), packed[k]);
  EXPECT_EQ(section->GetReferenceAddresses().GetCount(), 3);
  group->Remove(&a);
  EXPECT_EQ(q->GetInputPhasor(0), nullptr);
  EXPECT_EQ(testing::WrittenKeys(*cfg, 7, "SEQUENCE").at(3), "UNIT=");  // the unit is phase A's
}

}  // namespace
}  // namespace helvo
