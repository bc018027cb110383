#include "helvo/functions/pf_detector.h"

#include <gtest/gtest.h>

#include "helvo/functions/watts_vars.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using PFDetectorTest = testing::HeaderTest<6>;

TEST_F(PFDetectorTest, EveryKeyRoundTrips) {
  CWattsVarsCfg power;
  power.SetChannelNumber(5);
  const std::vector<testing::KeyAt> keys = {{"ELEMENT=Line1"}, {"DESC=bus"},  {"INPUT=4"},  {"MIN_VA=2.5"},
                                            {"IND_THR=0.8"},   {"IND_DLY=7"}, {"IND_A=65"}, {"CAP_THR=0.9"},
                                            {"CAP_DLY=9"},     {"CAP_A=130"}};
  auto cfg = testing::ReadBody(testing::IdSection(6) + testing::SectionText("PFDET1-4", keys));
  auto* pf = dynamic_cast<cPFDetCfg*>(cfg->m_pDspCfg[0]->m_pPFDet[3]);
  ASSERT_NE(pf, nullptr);
  pf->m_orefInput.m_pPhasor = &power;  // watts/vars 5 is phasor 4, as linking would find
  testing::ExpectKeysFollowVersions(*cfg, "PFDET", keys);

  pf->SetTypesEntry(CHelvoCfgTables::LookupType(cPFDetCfg::kTypeFlags));
  std::string name;
  pf->GetStateName(name, 1);
  EXPECT_EQ(name, "Line1:PF:bus[Cap]");
}

TEST_F(PFDetectorTest, InputAndAssignment) {
  cHelvoDspCfg group(nullptr, 0);
  auto* line = new CElementName;
  group.Add(line);
  cPFDetCfg host(&group, line), plain;
  EXPECT_EQ(plain.GetpScale(), nullptr);
  EXPECT_STREQ(plain.GetPriUnit(), "");
  CWattsVarsCfg power;
  power.SetChannelNumber(2);
  plain.m_orefInput.m_pPhasor = &power;
  EXPECT_EQ(plain.AreInputsDefined(), 1);
  EXPECT_STREQ(plain.GetPriUnit(), "");  // watts/vars functions have no unit text of their own
  power.m_bDirty = 1;
  EXPECT_EQ(plain.AreInputsDefined(), 0);
  testing::ModelFn unit(eAnalogCfg, nullptr, 1);
  unit.m_Scale.m_strPriUnit = "kV";
  plain.m_orefInput.m_pPhasor = &unit;
  EXPECT_STREQ(plain.GetPriUnit(), "kV");
  EXPECT_EQ(plain.GetpScale(), &unit.m_Scale);

  host.m_oUnit.m_strUnit = "MVA";
  plain = host;
  EXPECT_EQ(plain.GetInputPhasor(), nullptr);
  EXPECT_EQ(plain.GetElement(), line);
  EXPECT_EQ(plain.m_oCapAction.GetParent(), &plain);
  EXPECT_EQ(plain.m_oUnit.m_strUnit, "MVA");
}

}  // namespace
}  // namespace helvo
