#include "helvo/functions/fault_locator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "helvo/model/dsp_cfg.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using testing::Lines;

// A channel of a chosen class and primary unit, scaled 138 : 69 V (full scale 150). Given a group,
// it is filed there and the group owns it.
struct Source : testing::ModelFn {
  Source(int cls, int channel, const char* priUnit = "kV", cHelvoDspCfg* group = nullptr)
      : ModelFn(cls, group, channel, nullptr, 0, group != nullptr) {
    SetScale(138.0f, 69.0f, priUnit, 150.0f);
  }
};

std::string Out(CFilerElement& conv) {
  std::string text;
  int freq = 60;
  conv.ConvertOut(nullptr, text, 6, freq);
  return text;
}

using FaultLocatorTest = testing::HeaderTest<6>;

TEST_F(FaultLocatorTest, EveryKeyRoundTripsAndLegacyKeysAreOnlyRead) {
  // Analog channel n is state bit n - 1 and phasor n - 1 of the board; the trigger is channel 7.
  std::vector<testing::KeyAt> keys = {
      {"ELEMENT=Line1"}, {"DESC=Feeder 7"}, {"TRIG_INDEX=6"}, {"TRIG_INVERT=1"}, {"R1=0.5"},
      {"X1=4.25"},       {"R0=1.5"},        {"X0=12.75"},     {"LENGTH=31.5"},   {"UNIT=km"}};
  const char* const names[] = {"VA", "VB", "VC", "IA", "IB", "IC"};
  for (int i = 0; i < cFaultLocCfg::kNumInputs; ++i) {
    keys.push_back({std::string(names[i]) + "_INDEX=" + std::to_string(i)});
    keys.push_back({std::string(names[i]) + "_SEC_TO_PRI=" + (i < 3 ? "2000" : "2")});  // kV/V, A/V
  }
  auto cfg =
      testing::ReadBody(testing::IdSection(6) + testing::SectionText("FAULT_LOCATOR1-2", keys) +
                        "[FAULT_LOCATOR1-3]\nDISTANCE=9\nTYPE=ABC\nTRIGGER_INDEX=40\nTRIGGER_INVERT=1\n\n");
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  auto* fl = dynamic_cast<cFaultLocCfg*>(group->GetIndexedPhasorAddress(eFaultLocCfg, 1));
  auto* old = dynamic_cast<cFaultLocCfg*>(group->GetIndexedPhasorAddress(eFaultLocCfg, 2));
  ASSERT_TRUE(fl && old);
  // Resolved as post-load processing will.
  fl->m_orefTrigger.m_pPhasor = new Source(eAnalogCfg, 7, "kV", group);
  fl->m_orefTrigger.m_nNumber = 0;
  for (int i = 0; i < cFaultLocCfg::kNumInputs; ++i)
    fl->m_Inputs[i].m_orefPhasor.m_pPhasor = new Source(eAnalogCfg, i + 1, i < 3 ? "kV" : "A", group);
  testing::ExpectKeysFollowVersions(*cfg, "FAULT_LOCATOR1-2", keys);

  EXPECT_EQ(old->m_strLegacyType, "ABC");
  EXPECT_EQ(old->m_orefTrigger.m_nNumber, 40);
  for (int version : testing::kAllVersions) {
    const Lines written = testing::WrittenKeys(*cfg, version, "FAULT_LOCATOR1-3");
    EXPECT_NE(std::find(written.begin(), written.end(), "LENGTH=9"), written.end());
    EXPECT_NE(std::find(written.begin(), written.end(), "TRIG_INVERT=1"), written.end());
    EXPECT_EQ(written.size(), keys.size() - 1) << version;  // the current keys only, ELEMENT aside
  }

  delete fl->GetInputPhasor(cFaultLocCfg::eIC);  // removing a function clears the references to it
  delete fl->m_orefTrigger.m_pPhasor;
  EXPECT_TRUE(!fl->GetInputPhasor(cFaultLocCfg::eIC) && !fl->m_orefTrigger.m_pPhasor);
}

TEST_F(FaultLocatorTest, ScaleIsAnImpedanceOfThePhaseAInputs) {
  // Unlike the impedance function: megavolts count as kilovolts, and the primary unit is "Pri Ohms".
  const struct {
    const char *volts, *amps;
    float pri, sec;
  } cases[] = {{"V", "kA", 690.0f, 82.8e6f}, {"MV", "A", 690e3f, 82800.0f}, {"kV", "mA", 690e6f, 82800.0f}};
  Source va(eAnalogCfg, 1), ia(eAnalogCfg, 4);
  ia.m_Scale.m_fPri1 = 1200.0f;
  ia.m_Scale.m_fSec1 = 5.0f;
  ia.m_Scale.m_fFullScale = 10.0f;
  cFaultLocCfg fl;
  fl.m_Inputs[cFaultLocCfg::eVA].m_orefPhasor.m_pPhasor = &va;
  fl.m_Inputs[cFaultLocCfg::eIA].m_orefPhasor.m_pPhasor = &ia;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.volts) + "/" + c.amps);
    va.m_Scale.m_strPriUnit = c.volts;
    ia.m_Scale.m_strPriUnit = c.amps;
    const cScale* z = fl.GetpScale();
    ASSERT_EQ(z, &fl.m_Scale);
    EXPECT_FLOAT_EQ(z->m_fPri1, c.pri);
    EXPECT_FLOAT_EQ(z->m_fSec1, c.sec);
    EXPECT_FLOAT_EQ(z->m_fFullScale, 15.0f);
    EXPECT_EQ(z->m_strPriUnit + "/" + z->m_strSecUnit, "Pri Ohms/Sec Ohm");
  }
  fl.m_strLegacyType = "old";
  cFaultLocCfg copy;
  copy = fl;  // unlike most functions, the own scale is copied; the legacy type text is not
  EXPECT_TRUE(copy.m_Scale.m_fPri1 == 690e6f && copy.m_strLegacyType.empty());
  // The ratio key writes the input's ratio whatever was read for it; 1.0 without an input or with an
  // input scale that is not valid (which also leaves the locator without a scale, its own unchanged).
  std::string read = "7";
  int freq = 60;
  fl.m_Inputs[cFaultLocCfg::eIA].ConvertIn(&fl, read, freq);
  EXPECT_EQ(Out(fl.m_Inputs[cFaultLocCfg::eIA]), "0.24");  // 1200 mA : 5 V
  EXPECT_EQ(Out(fl.m_Inputs[cFaultLocCfg::eIB]), "1.0");
  ia.m_Scale.m_strSecUnit.clear();
  EXPECT_EQ(fl.GetpScale(), nullptr);
  EXPECT_FLOAT_EQ(fl.m_Scale.m_fPri1, 690e6f);
  EXPECT_EQ(Out(fl.m_Inputs[cFaultLocCfg::eIA]), "1.0");
}

TEST_F(FaultLocatorTest, InputsNeedValidChannelsAndADefinedTrigger) {
  Source in[] = {{eAnalogCfg, 1}, {eAnalogCfg, 2}, {eAnalogCfg, 3},
                 {eAnalogCfg, 4}, {eAnalogCfg, 5}, {eAnalogCfg, 6}};
  Source trigger(eAnalogCfg, 7), sum(eSummationCfg, 2);
  cFaultLocCfg fl;
  for (int i = 0; i < cFaultLocCfg::kNumInputs; ++i) fl.m_Inputs[i].m_orefPhasor.m_pPhasor = &in[i];
  EXPECT_EQ(fl.AreInputsDefined(), 0);  // no trigger
  fl.m_orefTrigger.m_pPhasor = &trigger;
  EXPECT_EQ(fl.AreInputsDefined(), 1);
  trigger.m_bDefined = 0;
  EXPECT_EQ(fl.AreInputsDefined(), 0);
  trigger.m_bDefined = 1;
  fl.m_Inputs[cFaultLocCfg::eIB].m_orefPhasor.m_pPhasor = &sum;  // summed currents need version 6
  EXPECT_EQ(fl.AreInputsDefined(), 1);
  CHelvoCfgTables::m_nSetVer = 5;
  EXPECT_EQ(fl.AreInputsDefined(), 0);
  CHelvoCfgTables::m_nSetVer = 6;
  fl.m_orefTrigger.m_pPhasor = &fl;  // triggered by itself: undefined, not an endless recursion
  EXPECT_EQ(fl.AreInputsDefined(), 0);
}

}  // namespace
}  // namespace helvo
