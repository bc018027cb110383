#include "helvo/functions/digital.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using testing::Lines;
using DigitalTest = testing::CfgTest;

TEST_F(DigitalTest, EveryKeyRoundTripsAndTheLegacyTypeKeyIsNotWritten) {
  // TYPE is an old spelling of the description: read (DESC, later, wins here), never written.
  const std::vector<testing::KeyAt> keys = {{"ELEMENT=Bus2"}, {"TYPE=Old text", 0},  {"DESC=Breaker 52a"},
                                            {"DELAY=96"},     {"ACTIVE_STR=Closed"}, {"INACTIVE_STR=Open"},
                                            {"ACTIVE_A=73"},  {"INACTIVE_A=1930"},   {"EXT_DELAY=0.125"}};
  testing::ExpectRoundTrip(testing::SectionText("DIGITAL_INPUT1-7", keys), "DIGITAL_INPUT", keys);

  // DELAY counts eighths of a cycle: 96 at 60 Hz is 0.2 s.
  auto cfg = testing::ReadBody(testing::IdSection(7) + testing::SectionText("DIGITAL_INPUT1-7", keys) +
                               "[DIGITAL_INPUT1-8]\nDESC=x\nTYPE=From type\n\n");
  auto* input = dynamic_cast<CDigitalCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eDigitalCfg, 6));
  ASSERT_NE(input, nullptr);
  EXPECT_FLOAT_EQ(input->m_oDelay.m_fSeconds, 0.2f);
  EXPECT_EQ(testing::WrittenKeys(*cfg, 7, "DIGITAL_INPUT1-8"),
            (Lines{"DESC=From type", "DELAY=0", "ACTIVE_STR=Active", "INACTIVE_STR=Inactive", "ACTIVE_A=64",
                   "INACTIVE_A=64", "EXT_DELAY=0"}));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(DigitalTest, HostInputsNamesAndAssignment) {
  cFilerSections::m_nSettingVersion = 7;  // one board of 32 inputs
  cFilerSections::m_nDSPBanks = 1;
  CHelvoCfg cfg;
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  std::string name = "Bus";
  auto* bus = new CElementName(name, group);
  group->Add(bus);

  CDigitalCfg plain(group, bus, nullptr);
  EXPECT_EQ(plain.m_strStateLabel + std::to_string(plain.m_nStateLabelFlag), "DigState1");

  CDigitalCfg trip(group, bus, "Trip");
  trip.SetChannelNumber(32);
  trip.m_nStateLabelFlag = 0;
  EXPECT_TRUE(trip.AreInputsDefined());
  trip.GetMeterName(name, 0);
  EXPECT_EQ(name, "Bus:EI:Trip");

  plain = trip;
  EXPECT_EQ(plain.GetDescription() + std::to_string(plain.m_nStateLabelFlag), "Trip0");
  EXPECT_EQ(plain.m_oInactiveAct.GetParent(), &plain);  // the copy's blocks stay its own

  auto* section = dynamic_cast<cHelvoSection*>(group->GetSection(eDigitalCfg));
  const sStateChoice* state = section->FindStateChoice(0);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->GetFirstAction(&trip), &trip.m_oActiveAct);
  EXPECT_EQ(state->GetSecondAction(&trip), &trip.m_oInactiveAct);
}

}  // namespace
}  // namespace helvo
