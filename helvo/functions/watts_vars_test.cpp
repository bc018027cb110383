#include "helvo/functions/watts_vars.h"

#include <gtest/gtest.h>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using Input = testing::ModelFn;
using WattsVarsTest = testing::HeaderTest<6>;

TEST_F(WattsVarsTest, EveryKeyRoundTripsAndDetectorsKeepTheirOwnSlots) {
  Input volts(eAnalogCfg, nullptr, 4), amps(eAnalogCfg, nullptr, 4);
  // ROC_INT is an old key: read, never written. Detector k's action is 65 + k.
  std::vector<testing::KeyAt> keys = {{"ELEMENT=Line1"},   {"DESC=feeder"},  {"V_INDEX=3"},
                                      {"I_INDEX=3"},       {"ROC_INT=7", 0}, {"WATTS1ROC_INT=3"},
                                      {"WATTS2ROC_INT=4"}, {"VARSROC_INT=5"}};
  int k = 0;
  for (const std::string quantity : {"W_?1", "W_?2", "VARS_?"})
    for (const char* detector : {"H_MAG", "L_MAG", "P_ROC", "N_ROC"}) {
      const size_t at = quantity.find('?');
      const std::string base = quantity.substr(0, at) + detector, digit = quantity.substr(at + 1);
      keys.push_back({base + "_T" + digit + "=" + std::to_string(k) + ".5"});
      keys.push_back({base + "_D" + digit + "=" + std::to_string(k + 1)});
      keys.push_back({base + "_A" + digit + "=" + std::to_string(65 + k++)});
    }
  auto cfg = testing::ReadBody(testing::IdSection(6) + testing::SectionText("WATTS/VARS1-3", keys));
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  auto* wv = dynamic_cast<CWattsVarsCfg*>(group->m_pWattsVars[2]);
  ASSERT_NE(wv, nullptr);
  EXPECT_EQ(wv->m_nLegacyRocInterval, 7);
  wv->m_orefVolts.m_pPhasor = &volts;  // analog channel 4 is phasor 3, as linking would find
  wv->m_orefAmps.m_pPhasor = &amps;
  testing::ExpectKeysFollowVersions(*cfg, "WATTS/VARS", keys);

  // State k acts through the block of the k-th detector key group; the arrays keep their own order.
  auto* section = dynamic_cast<cHelvoSection*>(group->GetSection(eWattsVarsCfg));
  for (k = 0; k < CWattsVarsCfg::kNumDetectors; ++k)
    EXPECT_EQ(section->FindStateChoice(k)->GetFirstAction(wv)->GetPacked(), 65u + k) << k;
  EXPECT_FLOAT_EQ(wv->m_fThresholds[CWattsVarsCfg::kWatts2Low], 5.5f);
  EXPECT_FLOAT_EQ(wv->m_oDelays[CWattsVarsCfg::kVarsPosRoc].m_fSeconds, 11.0f / 120);

  wv->SetTypesEntry(CHelvoCfgTables::LookupType(CWattsVarsCfg::kTypeFlags));
  std::string name;
  wv->GetStateName(name, 11);
  EXPECT_EQ(name, "Line1:W/V:feeder[Q-ROC]");
}

TEST_F(WattsVarsTest, PowerScaleMultipliesPrimariesAndScalesTheSecondarySide) {
  Input volts(eAnalogCfg, nullptr, 4), amps(eAnalogCfg, nullptr, 4);
  volts.SetScale(100.0f, 1.0f, "kV", 10.0f);
  amps.SetScale(2000.0f, 5.0f, "A", 10.0f);
  CWattsVarsCfg wv;
  wv.m_orefVolts.m_pPhasor = &volts;
  EXPECT_EQ(wv.GetpScale(), nullptr);
  wv.m_orefAmps.m_pPhasor = &amps;
  const cScale* p = wv.GetpScale();
  ASSERT_EQ(p, &wv.m_Scale);
  // Where the impedance crosses primaries with secondaries, divides full scales and scales the
  // primary for kV x A, power multiplies and scales the secondary.
  EXPECT_FLOAT_EQ(p->m_fPri1, 200000.0f);
  EXPECT_FLOAT_EQ(p->m_fSec1, 5000.0f);
  EXPECT_FLOAT_EQ(p->m_fFullScale, 100.0f);
  EXPECT_EQ(p->m_strPriUnit + "/" + p->m_strSecUnit, "MVA/VA");
  const struct {
    const char *v, *i;
    float sec1;
  } kUnits[] = {{"V", "mA", 5.0e9f}, {"MV", "kA", 0.005f}, {"kV", "kA", 5.0f}};
  for (const auto& u : kUnits) {
    volts.m_Scale.m_strPriUnit = u.v, amps.m_Scale.m_strPriUnit = u.i;
    EXPECT_FLOAT_EQ(wv.GetpScale()->m_fSec1, u.sec1) << u.v << " " << u.i;
  }
  amps.m_Scale.m_fSec1 = 0.0f;  // not valid
  EXPECT_EQ(wv.GetpScale(), nullptr);
  EXPECT_FLOAT_EQ(wv.m_Scale.m_fSec1, 5.0f);  // the last derived scale is kept
}

TEST_F(WattsVarsTest, LevelsDefinedInputsAndAssignment) {
  Input volts(eSequenceCfg, nullptr, 4), amps(eAnalogCfg, nullptr, 4);
  volts.SetScale(100.0f, 1.0f, "kV", 10.0f).m_fLevel = 2.0f;
  amps.SetScale(2000.0f, 0.0f, "kA", 10.0f).m_fLevel = 5.0f;  // no derived scale at first
  CWattsVarsCfg wv, copy;
  wv.m_orefVolts.m_pPhasor = &volts;
  EXPECT_EQ(wv.GetMaxMeasuredLevel(0), 0.0f);
  EXPECT_EQ(wv.AreInputsDefined(), 0);
  wv.m_orefAmps.m_pPhasor = &amps;
  EXPECT_EQ(wv.AreInputsDefined(), 1);
  amps.m_bDefined = 0;
  EXPECT_EQ(wv.AreInputsDefined(), 0);
  EXPECT_FLOAT_EQ(wv.GetMaxMeasuredLevel(0), 30.0f);  // three phases of a sequence voltage
  EXPECT_FLOAT_EQ(wv.GetMinMeasuredLevel(0), -30.0f);
  EXPECT_FLOAT_EQ(wv.GetMaxMeasuredLevel(1), 30.0f);  // no ratio without a derived scale
  amps.m_Scale.m_fSec1 = 5.0f;
  EXPECT_FLOAT_EQ(wv.GetMinMeasuredLevel(1), -30.0f * 200000.0f / 5.0f);

  wv.m_nLegacyRocInterval = 7;
  wv.m_oActions[11].SetPacked(3);
  copy = wv;
  EXPECT_EQ(copy.GetAmpsInputPhasor(), &amps);
  EXPECT_EQ(copy.m_nLegacyRocInterval, 0);
  EXPECT_EQ(copy.m_oActions[11].GetPacked(), 3u);
  EXPECT_EQ(copy.m_oActions[11].GetParent(), &copy);
}

}  // namespace
}  // namespace helvo
