#include "helvo/functions/impedance.h"

#include <gtest/gtest.h>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/summation.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using Input = testing::ModelFn;
using ImpedanceTest = testing::HeaderTest<7>;

TEST_F(ImpedanceTest, InputMasksAndInputsDefinedWhenTheirOwnInputsAre) {
  Input volts(eSummationCfg, nullptr, 1), amps(eAnalogCfg, nullptr, 2);
  CImpedanceCfg z;
  EXPECT_EQ(z.m_orefVolts.GetTypesMask(), 0x10F0F0ul);
  EXPECT_EQ(z.m_orefAmps.GetTypesMask(), 0x82F0F00ul);
  z.m_orefVolts.m_pPhasor = &volts;
  EXPECT_FALSE(z.AreInputsDefined());
  z.m_orefAmps.m_pPhasor = &amps;
  EXPECT_TRUE(z.AreInputsDefined());
  CSummationCfg sum;  // valid channel, but no input of its own
  sum.SetChannelNumber(1);
  z.m_orefVolts.m_pPhasor = &sum;
  EXPECT_FALSE(z.AreInputsDefined());
}

TEST_F(ImpedanceTest, DerivedScaleCrossesThePointsAndCorrectsTheUnits) {
  Input volts(eAnalogCfg, nullptr, 1), amps(eAnalogCfg, nullptr, 2);
  volts.SetScale(140.0f, 120.0f, "kV", 150.0f, 2.0f, 0.0f);
  amps.SetScale(2000.0f, 5.0f, "A", 10.0f);
  CImpedanceCfg z;
  z.m_orefVolts.m_pPhasor = &volts;
  z.m_orefAmps.m_pPhasor = &amps;
  cScale* s = z.GetpScale();
  ASSERT_EQ(s, &z.m_Scale);
  EXPECT_FLOAT_EQ(s->m_fPri1, 138.0f * 5.0f * 1000.0f);  // kV over A: primary side in ohms
  EXPECT_FLOAT_EQ(s->m_fSec1, 120.0f * 2000.0f);
  EXPECT_FLOAT_EQ(s->m_fPri2 + s->m_fSec2, 0.0f);
  EXPECT_FLOAT_EQ(s->m_fFullScale, 15.0f);
  EXPECT_EQ(s->m_strPriUnit + "/" + s->m_strSecUnit, "Pri Ohm/Sec Ohm");
  ASSERT_TRUE(s->IsValid());
  EXPECT_NEAR(s->GetSecToPriScale(), 138.0 / 120.0 * 5.0 / 2000.0 * 1000.0, 1e-6);

  volts.m_Scale.m_strPriUnit = "V";
  amps.m_Scale.m_strPriUnit = "kA";
  s = z.GetpScale();
  EXPECT_FLOAT_EQ(s->m_fPri1, 138.0f * 5.0f);  // volts over kiloamperes: the secondary side grows
  EXPECT_FLOAT_EQ(s->m_fSec1, 120.0f * 2000.0f * 1000.0f);

  // Only V, MV, A and mA move the exponent, letter case included.
  const struct {
    const char *v, *i;
    int exponent;
  } kUnits[] = {{"V", "kA", -3}, {"MV", "mA", 9}, {"mV", "A", 3},  {"kV", "MA", 0},
                {"v", "A", 3},   {"kV", "a", 0},  {"Volt", "", 0}, {nullptr, nullptr, 0}};
  for (const auto& u : kUnits)
    EXPECT_EQ(CImpedanceCfg::GetUnitExponent(u.v, u.i), u.exponent) << (u.v ? u.v : "-") << (u.i ? u.i : "-");
  volts.m_Scale.m_strPriUnit = "MV";
  amps.m_Scale.m_strPriUnit = "mA";
  EXPECT_FLOAT_EQ(z.GetpScale()->m_fPri1, 138.0f * 5.0f * 1e9f);

  // An input without a valid scale gives none and leaves the derived scale as it was.
  const cScale before = z.m_Scale;
  amps.m_Scale.m_fSec1 = amps.m_Scale.m_fSec2;
  EXPECT_EQ(z.GetpScale(), nullptr);
  EXPECT_FLOAT_EQ(z.m_Scale.m_fPri1, before.m_fPri1);
  z.m_orefAmps.m_pPhasor = nullptr;
  EXPECT_EQ(z.GetpScale(), nullptr);
  z.m_orefAmps.m_pPhasor = &z;  // a circle of inputs ends the walk
  z.m_orefVolts.m_pPhasor = &z;
  EXPECT_EQ(z.GetpScale(), nullptr);
  EXPECT_FALSE(z.AreInputsDefined());
}

TEST_F(ImpedanceTest, AssignmentCopiesSettingsAndTheGroupLink) {
  CHelvoCfg cfg;
  Input volts(eAnalogCfg, nullptr, 1);
  CImpedanceCfg from, to;
  from.SetParent(cfg.m_pDspCfg[1]);
  from.m_orefVolts.m_pPhasor = &volts;
  to = from;
  EXPECT_EQ(to.GetVoltsInputPhasor(), &volts);
  EXPECT_EQ(to.m_oROCAct.GetParent(), &to);
  EXPECT_EQ(to.GetDspCfg(), cfg.m_pDspCfg[1]);
}

TEST_F(ImpedanceTest, EveryKeyRoundTripsAtEachVersion) {
  Input volts(eSequenceCfg, nullptr, 1), amps(eSequenceCfg, nullptr, 2);
  const std::vector<testing::KeyAt> keys = {
      {"ELEMENT=Line1"}, {"DESC=far end"}, {"V_INDEX=33"}, {"I_INDEX=36"}, {"CIRC_RAD=2.5"},
      {"ROC_INT=6"},     {"ROC_MIN=0.5"},  {"ROC_MAX=40"}, {"ROC_D=9"},    {"ROC_A=1234"}};
  auto cfg =
      testing::ReadBody(testing::IdSection(7) + testing::SectionText("IMPEDANCE1-9", keys) + "[END]\n");
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  auto* z = dynamic_cast<CImpedanceCfg*>(group->m_pImpedance[8]);
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z->m_orefAmps.m_nNumber, 36);
  EXPECT_FLOAT_EQ(z->m_oROCDelay.m_fSeconds, 9.0f / 120);
  z->m_orefVolts.m_pPhasor = &volts;  // as linking does
  z->m_orefAmps.m_pPhasor = &amps;
  testing::ExpectKeysFollowVersions(*cfg, "IMPEDANCE", keys);

  z->SetTypesEntry(CHelvoCfgTables::LookupType(CImpedanceCfg::kZ1Flags));  // as linking does
  std::string name;
  z->GetStateName(name, 0);
  EXPECT_EQ(name, "Line1:Z:far end[ROC]");
  auto* section = dynamic_cast<cHelvoSection*>(group->GetSection(eImpedanceCfg));
  EXPECT_EQ(section->FindStateChoice(0)->GetFirstAction(z), &z->m_oROCAct);
  group->Remove(&amps);
  EXPECT_EQ(z->GetAmpsInputPhasor(), nullptr);
  EXPECT_EQ(z->GetVoltsInputPhasor(), &volts);
}

}  // namespace
}  // namespace helvo
