#include "helvo/functions/watts_vars.h"

#include <gtest/gtest.h>

#include <sstream>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

// An input of a chosen class, scale, level and defined state.
class Input : public CPhasor {
 public:
  Input(int cls, float level = 0.0f, const char* unit = "kV", float pri = 100.0f, float sec = 1.0f)
      : m_nClass(cls), m_fLevel(level) {
    SetChannelNumber(4);
    m_Scale.m_fPri1 = pri, m_Scale.m_fSec1 = sec, m_Scale.m_fFullScale = 10.0f;
    m_Scale.m_strPriUnit = unit, m_Scale.m_strSecUnit = "V";
  }
  int GetClass() const override { return m_nClass; }
  int AreInputsDefined() override { return m_bDefined; }
  cScale* GetpScale() override { return &m_Scale; }
  float GetMaxMeasuredLevel(int primary) override { return primary ? -1.0f : m_fLevel; }
  int m_nClass, m_bDefined = 1;
  float m_fLevel;
};

class WattsVarsTest : public testing::CfgTest {
 protected:
  WattsVarsTest() {
    cFilerSections::m_nSettingVersion = 6;
    CHelvoCfgTables::FunctionsPerDsp(eAnalogCfg);  // generation 1, as the [ID] below says
  }
};

TEST_F(WattsVarsTest, EveryKeyRoundTripsAndDetectorsKeepTheirOwnSlots) {
  Input volts(eAnalogCfg), amps(eAnalogCfg);
  const std::string keys =
      "ELEMENT=Line1\nDESC=feeder\nV_INDEX=3\nI_INDEX=3\nWATTS1ROC_INT=3\nWATTS2ROC_INT=4\nVARSROC_INT=5\n"
      "W_H_MAG_T1=0.5\nW_H_MAG_D1=1\nW_H_MAG_A1=65\nW_L_MAG_T1=1.5\nW_L_MAG_D1=2\nW_L_MAG_A1=66\n"
      "W_P_ROC_T1=2.5\nW_P_ROC_D1=3\nW_P_ROC_A1=67\nW_N_ROC_T1=3.5\nW_N_ROC_D1=4\nW_N_ROC_A1=68\n"
      "W_H_MAG_T2=4.5\nW_H_MAG_D2=5\nW_H_MAG_A2=69\nW_L_MAG_T2=5.5\nW_L_MAG_D2=6\nW_L_MAG_A2=70\n"
      "W_P_ROC_T2=6.5\nW_P_ROC_D2=7\nW_P_ROC_A2=71\nW_N_ROC_T2=7.5\nW_N_ROC_D2=8\nW_N_ROC_A2=72\n"
      "VARS_H_MAG_T=8.5\nVARS_H_MAG_D=9\nVARS_H_MAG_A=73\nVARS_L_MAG_T=9.5\nVARS_L_MAG_D=10\nVARS_L_MAG_A="
      "74\n"
      "VARS_P_ROC_T=10.5\nVARS_P_ROC_D=11\nVARS_P_ROC_A=75\nVARS_N_ROC_T=11.5\nVARS_N_ROC_D=12\nVARS_N_ROC_A="
      "76";
  auto cfg = testing::ReadBody(
      "[ID]\nSETTINGS_VERS=6\nNUM_BANKS=1\nSYSTEM_FREQUENCY=60\n\n[WATTS/VARS1-3]\nROC_INT=7\n" + keys +
      "\n\n");
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  auto* wv = dynamic_cast<CWattsVarsCfg*>(group->m_pWattsVars[2]);
  ASSERT_NE(wv, nullptr);
  EXPECT_EQ(wv->m_nLegacyRocInterval, 7);  // read, never written
  wv->m_orefVolts.m_pPhasor = &volts;      // analog channel 4 is phasor 3, as linking would find
  wv->m_orefAmps.m_pPhasor = &amps;
  std::vector<std::string> expected;
  std::istringstream in(keys);
  for (std::string line; std::getline(in, line);) expected.push_back(line);
  for (int version : {3, 4, 5, 6, 7, 201})
    EXPECT_EQ(testing::WrittenKeys(*cfg, version, "WATTS/VARS"), expected) << version;

  // State k acts through the block of the k-th detector key group; the arrays keep their own order.
  auto* section = dynamic_cast<cHelvoSection*>(group->GetSection(eWattsVarsCfg));
  for (int k = 0; k < CWattsVarsCfg::kNumDetectors; ++k)
    EXPECT_EQ(section->FindStateChoice(k)->GetFirstAction(wv)->GetPacked(), 65u + k) << k;
  EXPECT_EQ(wv->m_oActions[CWattsVarsCfg::kWatts1High].GetPacked(), 65u);
  EXPECT_FLOAT_EQ(wv->m_fThresholds[CWattsVarsCfg::kWatts2Low], 5.5f);
  EXPECT_FLOAT_EQ(wv->m_oDelays[CWattsVarsCfg::kVarsPosRoc].m_fSeconds, 11.0f / 120);

  wv->SetTypesEntry(CHelvoCfgTables::LookupType(CWattsVarsCfg::kTypeFlags));
  std::string name;
  wv->GetMeterName(name, 2);
  EXPECT_EQ(name, "Line1:VA:feeder");
  wv->GetStateName(name, 11);
  EXPECT_EQ(name, "Line1:W/V:feeder[Q-ROC]");
}

TEST_F(WattsVarsTest, SecondChannelGroupFoldsIntoTheFirstAt201) {
  auto cfg = testing::ReadBody(
      "[ID]\nSETTINGS_VERS=6\nNUM_BANKS=2\nSYSTEM_FREQUENCY=60\n\n[WATTS/VARS2-3]\nELEMENT=Line2\n\n"
      "[PFDET2-2]\nELEMENT=Line2\n\n[FREQUENCY2-1]\nROC_INT=9\n\n");
  EXPECT_EQ(testing::WrittenBlocks(*cfg, 6, "WATTS/VARS").at(0), "[WATTS/VARS2-3]");
  StringList lines;  // one write only: folding renumbers the model as it writes
  cfg->GetSections().BuildCfgLines(lines, 201, 60);
  for (const char* header : {"[WATTS/VARS1-12]", "[PFDET1-11]", "[FREQUENCY1-1]"})
    EXPECT_TRUE(lines.Find(header)) << header;
}

TEST_F(WattsVarsTest, PowerScaleMultipliesPrimariesAndScalesTheSecondarySide) {
  Input volts(eAnalogCfg, 0.0f, "kV", 100.0f, 1.0f), amps(eAnalogCfg, 0.0f, "A", 2000.0f, 5.0f);
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
  } kUnits[] = {
      {"V", "A", 5.0e6f}, {"V", "mA", 5.0e9f}, {"MV", "kA", 0.005f}, {"MV", "A", 5.0f}, {"kV", "kA", 5.0f}};
  for (const auto& u : kUnits) {
    volts.m_Scale.m_strPriUnit = u.v, amps.m_Scale.m_strPriUnit = u.i;
    EXPECT_FLOAT_EQ(wv.GetpScale()->m_fSec1, u.sec1) << u.v << " " << u.i;
  }
  amps.m_Scale.m_fSec1 = 0.0f;  // not valid
  EXPECT_EQ(wv.GetpScale(), nullptr);
  EXPECT_FLOAT_EQ(wv.m_Scale.m_fSec1, 5.0f);  // the last derived scale is kept
}

TEST_F(WattsVarsTest, LevelsDefinedInputsAndAssignment) {
  Input volts(eSequenceCfg, 2.0f), amps(eAnalogCfg, 5.0f, "kA", 2000.0f, 5.0f);
  amps.m_Scale.m_fSec1 = 0.0f;  // no derived scale at first
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
  wv.m_nVarsRocInterval = 9;
  wv.m_fThresholds[11] = 3.0f;
  wv.m_oDelays[11].m_fSeconds = 0.5f;
  wv.m_oActions[11].SetPacked(3);
  copy = wv;
  EXPECT_EQ(copy.GetAmpsInputPhasor(), &amps);
  EXPECT_EQ(copy.m_nLegacyRocInterval, 0);
  EXPECT_EQ(copy.m_nVarsRocInterval, 9);
  EXPECT_FLOAT_EQ(copy.m_fThresholds[11], 3.0f);
  EXPECT_FLOAT_EQ(copy.m_oDelays[11].m_fSeconds, 0.5f);
  EXPECT_EQ(copy.m_oActions[11].GetPacked(), 3u);
  EXPECT_EQ(copy.m_oActions[11].GetParent(), &copy);
}

TEST_F(WattsVarsTest, HostConstructorGivesTheTypeAndListsOnce) {
  cHelvoDspCfg group(nullptr, 0);
  std::string name = "Line1";
  auto* line = new CElementName(name, &group);
  group.Add(line);
  CWattsVarsCfg wv(&group, line);
  EXPECT_STREQ(wv.GetTypeString(), "W/V");
  EXPECT_EQ(line->GetKindList(6).GetCount(), 1u);
  EXPECT_EQ(wv.m_orefAmps.GetTypesMask(), CWattsVarsCfg::kAmpsInputMask);
}

}  // namespace
}  // namespace helvo
