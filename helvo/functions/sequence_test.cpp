#include "helvo/functions/sequence.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/platform/format.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

// An input function of a chosen class and channel with its own scale and secondary level.
class Input : public CPhasor {
 public:
  Input(int cls, int channel, float level = 0.0f) : m_nClass(cls), m_fLevel(level) {
    SetChannelNumber(channel);
  }
  int GetClass() const override { return m_nClass; }
  cScale* GetpScale() override { return &m_Scale; }
  const char* GetPriUnit() override { return m_Scale.GetPriUnit(); }
  float GetMaxMeasuredLevel(int primary) override { return primary ? -1.0f : m_fLevel; }
  int m_nClass;
  float m_fLevel;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class SequenceTest : public testing::CfgTest {
 protected:
  SequenceTest() {
    cFilerSections::m_nSettingVersion = CHelvoCfgTables::m_nSetVer = 7;
    cFilerSections::m_nDSPBanks = 1;
    CHelvoCfgTables::FunctionsPerDsp(eAnalogCfg);  // generation 1, as the [ID] of kId says
  }
};

constexpr char kId[] = "[ID]\nSETTINGS_VERS=7\nNUM_BANKS=%d\nSYSTEM_FREQUENCY=60\n\n";

TEST_F(SequenceTest, DefaultsAndInputMasksFollowTheType) {
  CSequenceCfg q;
  EXPECT_EQ(q.GetClass(), 4);
  EXPECT_EQ(q.GetFunctionPhaseFlags(), 0x300000ul);
  EXPECT_EQ(q.m_nROCInterval, 2);
  EXPECT_EQ(q.m_nHostValue, -1);
  EXPECT_EQ(q.m_oZeroHighDelay.m_nFactor, 2);
  EXPECT_EQ(q.m_oPosLowAct.GetParent(), &q);
  EXPECT_EQ(q.m_orefInput[1].GetTypesMask(), 0x180FFFF0ul);
  EXPECT_EQ(q.GetInputPhasor(3), nullptr);

  CHelvoCfg cfg;
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  std::string name = "Line1";
  auto* element = new CElementName(name, group);
  group->Add(element);
  auto volts = std::make_unique<CSequenceCfg>(group, element, 0x100003ul);
  auto amps = std::make_unique<CSequenceCfg>(group, element, 0x200004ul);
  EXPECT_STREQ(volts->GetTypeString(), "Vseq");
  EXPECT_TRUE(element->Contains(volts.get()));
  EXPECT_EQ(volts->m_orefInput[2].GetTypesMask(), 0xF0F0ul);
  EXPECT_EQ(amps->m_orefInput[0].GetTypesMask(), 0x80F0F00ul);
  amps->SetParent_Element_Flags(group, element, 0x100003ul);
  EXPECT_EQ(amps->m_orefInput[0].GetTypesMask(), 0xF0F0ul);
  q.InitializeInputMasks();  // no type at all
  EXPECT_EQ(q.m_orefInput[0].GetTypesMask(), 0ul);
}

TEST_F(SequenceTest, EveryPhaseIsNeededButOnlyPhaseAScales) {
  Input a(eAnalogCfg, 1, 2.0f), b(eAnalogCfg, 2), c(eAnalogCfg, 3);
  a.m_Scale.m_strPriUnit = "kV";
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
  EXPECT_FLOAT_EQ(q.GetMaxMeasuredLevel(0), 2.0f);
  q.m_orefInput[0].m_pPhasor = &q;  // a function that names itself ends the walk
  EXPECT_EQ(q.GetpScale(), nullptr);
  EXPECT_FLOAT_EQ(q.GetMaxMeasuredLevel(0), 0.0f);
}

TEST_F(SequenceTest, AssignmentLeavesTheKeylessTextAndTheUnit) {
  Input a(eAnalogCfg, 1);
  CSequenceCfg from, to;
  from.m_strHostText = "text";
  from.m_oUnit.m_strUnit = "kV";
  from.m_nHostValue = 7;
  from.m_nROCInterval = 3;
  from.m_orefInput[1].m_pPhasor = &a;
  from.m_oNegHighDelay.m_fSeconds = 0.25f;
  from.m_fZeroHighThreshold = 1.5f;
  from.m_oPosPosROCAct.SetPacked(9);
  to = from;
  EXPECT_EQ(to.m_strHostText, "");
  EXPECT_EQ(to.m_oUnit.m_strUnit, "");
  EXPECT_EQ(to.m_nHostValue, 7);
  EXPECT_EQ(to.m_nROCInterval, 3);
  EXPECT_EQ(to.GetInputPhasor(1), &a);
  EXPECT_FLOAT_EQ(to.m_oNegHighDelay.m_fSeconds, 0.25f);
  EXPECT_FLOAT_EQ(to.m_fZeroHighThreshold, 1.5f);
  EXPECT_EQ(to.m_oPosPosROCAct.GetPacked(), 9u);
  EXPECT_EQ(to.m_oPosPosROCAct.GetParent(), &to);
}

TEST_F(SequenceTest, EveryKeyRoundTripsAtEachVersion) {
  Input a(eSummationCfg, 1), b(eSummationCfg, 2), c(eSummationCfg, 3);
  a.m_Scale.m_strPriUnit = "kA";
  const std::string keys =
      "ELEMENT=Line1\nTYPE=Iseq\nDESC=feeder\nUNIT=kA\nROC_INT=4\nPH_A_INDEX=18\nPH_B_INDEX=19\nPH_C_INDEX="
      "20\n"
      "PSEQ_H_MAG_T=1.5\nPSEQ_H_MAG_D=2\nPSEQ_H_MAG_A=65\nPSEQ_L_MAG_T=0.5\nPSEQ_L_MAG_D=3\nPSEQ_L_MAG_A=66\n"
      "PSEQ_N_ROC_T=-1\nPSEQ_N_ROC_D=4\nPSEQ_N_ROC_A=67\nPSEQ_P_ROC_T=2\nPSEQ_P_ROC_D=5\nPSEQ_P_ROC_A=68\n"
      "NSEQ_H_MAG_T=0.25\nNSEQ_H_MAG_D=6\nNSEQ_H_MAG_A=69\nZSEQ_H_MAG_T=0.125\nZSEQ_H_MAG_D=7\nZSEQ_H_MAG_A="
      "1234\n";
  auto cfg = testing::ReadBody(Format(kId, 1) + "[SEQUENCE1-4]\n" + keys + "\n[END]\n");
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  auto* q = dynamic_cast<CSequenceCfg*>(group->m_pSequence[3]);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->m_orefInput[1].m_nNumber, 19);
  q->m_orefInput[0].m_pPhasor = &a;  // as linking does
  q->m_orefInput[1].m_pPhasor = &b;
  q->m_orefInput[2].m_pPhasor = &c;
  EXPECT_FLOAT_EQ(q->m_fPosNegROCThreshold, -1.0f);
  EXPECT_FLOAT_EQ(q->m_oZeroHighDelay.m_fSeconds, 7.0f / 120);
  for (int version : {3, 4, 5, 7, 201})
    EXPECT_EQ(testing::WrittenKeys(*cfg, version, "SEQUENCE"), Lines(keys)) << version;

  std::string name;
  q->GetMeterName(name, 1);
  EXPECT_EQ(name, "Line1:I2Mag:feeder");
  q->GetStateName(name, 5);
  EXPECT_EQ(name, "Line1:I:feeder[0HiLev]");
  auto* section = dynamic_cast<cHelvoSection*>(group->GetSection(eSequenceCfg));
  const unsigned packed[] = {65, 66, 68, 67, 69, 1234};  // 1HiLev, 1LoLev, 1+ROC, 1-ROC, 2HiLev, 0HiLev
  for (int k = 0; k < 6; ++k)
    EXPECT_EQ(section->FindStateChoice(k)->GetFirstAction(q)->GetPacked(), packed[k]);
  EXPECT_EQ(section->FindMeterChoice(2)->GetSuffix(), "0Mag");
  EXPECT_EQ(section->GetReferenceAddresses().GetCount(), 3);
  group->Remove(&a);
  EXPECT_EQ(q->GetInputPhasor(0), nullptr);
  EXPECT_EQ(testing::WrittenKeys(*cfg, 7, "SEQUENCE").at(3), "UNIT=");  // the unit is phase A's
}

TEST_F(SequenceTest, SecondChannelGroupIsNumberedAfterTheFirstAt201) {
  auto cfg = testing::ReadBody(Format(kId, 2) + "[SEQUENCE2-2]\nELEMENT=Line2\nTYPE=Vseq\n\n[END]\n");
  EXPECT_EQ(testing::WrittenBlocks(*cfg, 201, "SEQUENCE").at(0), "[SEQUENCE1-8]");
  EXPECT_EQ(cfg->m_pDspCfg[1]->m_pSequence[1]->GetChannelNumber(), 8);
}

}  // namespace
}  // namespace helvo
