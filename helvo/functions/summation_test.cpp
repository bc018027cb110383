#include "helvo/functions/summation.h"

#include <gtest/gtest.h>

#include <memory>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using Input = testing::ModelFn;
using SummationTest = testing::HeaderTest<7>;

TEST_F(SummationTest, InputMasksFollowTheType) {
  CSummationCfg s;
  EXPECT_EQ(s.GetInputPhasor(3), nullptr);
  EXPECT_EQ(s.GetInputPhasor(-1), nullptr);
  CHelvoCfg cfg;
  auto* element = new CElementName;
  cfg.m_pDspCfg[0]->Add(element);
  CSummationCfg current(cfg.m_pDspCfg[0], element, 0x10001ul);           // IaSum
  EXPECT_EQ(current.m_orefInput[0].GetTypesMask(), 0x80F0F00ul);         // InSum is no input
  current.SetParent_Element_Flags(cfg.m_pDspCfg[0], element, 0x8000ul);  // VSum
  EXPECT_EQ(current.m_orefInput[1].GetTypesMask(), 0xF0F0ul);
  s.InitializeInputMasks();  // no type at all
  EXPECT_EQ(s.m_orefInput[0].GetTypesMask(), 0ul);
}

TEST_F(SummationTest, InputsDefineScaleUnitAndLevel) {
  Input a(eAnalogCfg, nullptr, 1), b(eAnalogCfg, nullptr, 2), c(eAnalogCfg, nullptr, 3);
  a.SetScale(100.0f, 1.0f, "kV").m_fLevel = 2.0f;
  b.m_fLevel = 3.0f, c.m_fLevel = 4.0f;
  CSummationCfg s;
  s.m_orefInput[1].m_pPhasor = &b;
  s.m_orefInput[2].m_pPhasor = &c;
  s.m_fInputScale[1] = s.m_fInputScale[2] = 0.0f;
  EXPECT_FALSE(s.AreInputsDefined());  // valid channels, but every scale is 0
  s.m_fInputScale[1] = -2.0f;
  s.m_fInputScale[2] = 0.5f;
  EXPECT_TRUE(s.AreInputsDefined());
  b.m_bDirty = 1;
  EXPECT_TRUE(s.AreInputsDefined());  // input 3 still counts
  c.SetChannelNumber(19);
  EXPECT_FALSE(s.AreInputsDefined());

  // Input 1 empty: the secondary sum whatever is asked, no scale, no unit.
  EXPECT_FLOAT_EQ(s.GetMaxMeasuredLevel(1), 3.0f * 2 + 4.0f * 0.5f);
  EXPECT_EQ(s.GetpScale(), nullptr);
  EXPECT_STREQ(s.GetPriUnit(), "");

  s.m_orefInput[0].m_pPhasor = &a;
  EXPECT_EQ(s.GetpScale(), &a.m_Scale);
  EXPECT_STREQ(s.GetPriUnit(), "kV");
  // The primary ratio is the summation's own scale's, and only a valid one has a ratio.
  EXPECT_FLOAT_EQ(s.GetMaxMeasuredLevel(1), 10.0f);
  s.m_Scale.m_fPri1 = 50.0f, s.m_Scale.m_fSec1 = 0.5f, s.m_Scale.m_fFullScale = 1.0f;
  s.m_Scale.m_strSecUnit = "V";
  EXPECT_FLOAT_EQ(s.GetMaxMeasuredLevel(1), 1000.0f);
  EXPECT_FLOAT_EQ(s.GetMaxMeasuredLevel(0), 10.0f);

  // Inputs that lead back round end the walk instead of recursing.
  CSummationCfg t;
  t.m_orefInput[0].m_pPhasor = &s;
  s.m_orefInput[0].m_pPhasor = &t;
  EXPECT_EQ(s.GetpScale(), nullptr);
  EXPECT_STREQ(t.GetPriUnit(), "");
  EXPECT_FLOAT_EQ(t.GetMaxMeasuredLevel(0), 0.0f + 3.0f * 2 + 4.0f * 0.5f);
}

TEST_F(SummationTest, AssignmentCopiesSettingsButNotOwnershipOrUnit) {
  CSummationCfg from, to;
  from.m_fInputAOffset[1] = 30.0f;
  from.m_oLowAct.SetPacked(5);
  from.m_oPriUnit.m_strUnit = "kV";
  to = from;
  EXPECT_FLOAT_EQ(to.m_fInputAOffset[1], 30.0f);
  EXPECT_EQ(to.m_oLowAct.GetParent(), &to);
  EXPECT_EQ(to.m_oPriUnit.m_strUnit, "");
}

TEST_F(SummationTest, ScaleTextConvertersFollowInputOne) {
  std::unique_ptr<CObject> pri(RuntimeClass::CreateObject("cSumPriScale"));
  std::unique_ptr<CObject> sec(RuntimeClass::CreateObject("cSumSecScale"));
  ASSERT_NE(dynamic_cast<cSumPriScale*>(pri.get()), nullptr);
  ASSERT_NE(dynamic_cast<cSumSecScale*>(sec.get()), nullptr);
  auto text = [&](CFiler* owner, CObject* converter) {
    std::string out = "x";
    int freq = 60;
    static_cast<CFilerElement*>(converter)->ConvertOut(owner, out, 7, freq);
    return out;
  };
  Input analog(eAnalogCfg, nullptr, 1), sequence(eSequenceCfg, nullptr, 1);
  analog.SetScale(13800.0f, 120.0f, "V");
  CSummationCfg s, t;
  EXPECT_EQ(text(&s, pri.get()), "1");
  EXPECT_EQ(text(&analog, pri.get()), "1");  // not a summation
  t.m_orefInput[0].m_pPhasor = &analog;
  s.m_orefInput[0].m_pPhasor = &t;
  EXPECT_EQ(text(&s, pri.get()), "13800");
  EXPECT_EQ(text(&s, sec.get()), "120");
  t.m_orefInput[0].m_pPhasor = &sequence;
  EXPECT_EQ(text(&s, sec.get()), "1");
  t.m_orefInput[0].m_pPhasor = &s;
  EXPECT_EQ(text(&s, pri.get()), "1");  // a circle of summations
}

TEST_F(SummationTest, EveryKeyRoundTripsAndTheUnitIsInputOnes) {
  Input a(eAnalogCfg, nullptr, 4), b(eAnalogCfg, nullptr, 5), c(eAnalogCfg, nullptr, 6);
  a.SetScale(138.0f, 120.0f, "kV");
  std::vector<testing::KeyAt> keys = {{"ELEMENT=Line1"},  {"TYPE=VbSum"}, {"DESC=bus"},
                                      {"PRI_UNIT=kV"},    {"ROC_INT=5"},  {"PRI_FACTOR=2.5"},
                                      {"SEC_FACTOR=0.25"}};
  for (int i = 1; i <= 3; ++i) {
    const std::string n = "INPUT" + std::to_string(i);
    keys.push_back({n + "_SCALE=" + std::to_string(i) + ".5"});
    keys.push_back({n + "_AOFFSET=" + std::to_string(i * 30), 4});
    keys.push_back({n + "_INDEX=" + std::to_string(i + 2)});
  }
  for (const char* detector : {"H_MAG", "L_MAG", "N_ROC", "P_ROC"})
    for (const char* suffix : {"_T=-0.75", "_D=5", "_A=1234"})
      keys.push_back({detector + std::string(suffix)});
  auto cfg =
      testing::ReadBody(testing::IdSection(7) + testing::SectionText("SUMMATION1-2", keys) + "[END]\n");
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  auto* s = dynamic_cast<CSummationCfg*>(group->m_pSummation[1]);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->m_orefInput[2].m_nNumber, 5);
  EXPECT_FLOAT_EQ(s->m_oNegROCDelay.m_fSeconds, 5.0f / 120);
  for (int i = 0; i < 3; ++i)
    s->m_orefInput[i].m_pPhasor = i == 0 ? &a : i == 1 ? &b : &c;  // as linking does
  testing::ExpectKeysFollowVersions(*cfg, "SUMMATION", keys);
  a.m_Scale.m_strPriUnit = "MV";  // the unit written is input 1's, whatever was read
  EXPECT_EQ(testing::WrittenKeys(*cfg, 7, "SUMMATION").at(3), "PRI_UNIT=MV");
  s->m_orefInput[0].m_pPhasor = nullptr;
  EXPECT_EQ(testing::WrittenKeys(*cfg, 7, "SUMMATION").at(3), "PRI_UNIT=");

  // Meters, states with their action blocks, and the input links a removal clears.
  std::string name;
  s->GetStateName(name, 3);
  EXPECT_EQ(name, "Line1:Vbsum:bus[-ROC]");
  auto* section = dynamic_cast<cHelvoSection*>(group->GetSection(eSummationCfg));
  const CActionBlock* actions[] = {&s->m_oHighAct, &s->m_oLowAct, &s->m_oPosROCAct, &s->m_oNegROCAct};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(section->FindStateChoice(k)->GetFirstAction(s), actions[k]);
    EXPECT_TRUE(section->FindStateChoice(k)->HasSingleAction());
  }
  EXPECT_EQ(section->GetReferenceAddresses().GetCount(), 3);
  group->Remove(&b);
  EXPECT_EQ(s->GetInputPhasor(1), nullptr);
  EXPECT_EQ(s->GetInputPhasor(2), &c);
}

}  // namespace
}  // namespace helvo
