#include "helvo/functions/digital.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using Lines = std::vector<std::string>;
using DigitalTest = testing::CfgTest;

std::string Header(int version, int banks = 1) {
  return "[ID]\nSETTINGS_VERS=" + std::to_string(version) + "\nNUM_BANKS=" + std::to_string(banks) +
         "\nSYSTEM_FREQUENCY=60\n\n";
}

std::string Join(const Lines& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

TEST_F(DigitalTest, EveryKeyRoundTripsAndTheLegacyTypeKeyIsNotWritten) {
  // TYPE is an old spelling of the description: read (DESC, later, wins here), never written.
  const Lines written = {
      "[DIGITAL_INPUT1-7]", "ELEMENT=Bus2", "DESC=Breaker 52a", "DELAY=96",        "ACTIVE_STR=Closed",
      "INACTIVE_STR=Open",  "ACTIVE_A=73",  "INACTIVE_A=1930",  "EXT_DELAY=0.125", ""};
  Lines every = written;
  every.insert(every.begin() + 2, "TYPE=Old text");
  for (int version : {3, 4, 5, 7, 201}) {
    SCOPED_TRACE(version);
    auto cfg = testing::ReadBody(Header(version) + Join(every));
    EXPECT_EQ(testing::WrittenBlocks(*cfg, version, "DIGITAL_INPUT"), written);
    auto again = testing::ReadBody(Header(version) + Join(written));
    EXPECT_EQ(testing::WrittenBlocks(*again, version, "DIGITAL_INPUT"), written);
  }
  // DELAY counts eighths of a cycle: 96 at 60 Hz is 0.2 s.
  auto cfg = testing::ReadBody(Header(7) + Join(every) + "[DIGITAL_INPUT1-8]\nDESC=x\nTYPE=From type\n\n");
  auto* input = dynamic_cast<CDigitalCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eDigitalCfg, 6));
  ASSERT_NE(input, nullptr);
  EXPECT_FLOAT_EQ(input->m_oDelay.m_fSeconds, 0.2f);
  EXPECT_EQ(testing::WrittenKeys(*cfg, 7, "DIGITAL_INPUT1-8"),
            (Lines{"ELEMENT=", "DESC=From type", "DELAY=0", "ACTIVE_STR=Active", "INACTIVE_STR=Inactive",
                   "ACTIVE_A=64", "INACTIVE_A=64", "EXT_DELAY=0"}));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(DigitalTest, SecondGroupIsRenumberedWhenTheGroupsAreFolded) {
  auto cfg = testing::ReadBody(Header(6, 2) + "[DIGITAL_INPUT1-5]\n\n[DIGITAL_INPUT2-5]\nDESC=b\n\n");
  EXPECT_EQ(testing::WrittenBlocks(*cfg, 6, "DIGITAL_INPUT").at(10), "[DIGITAL_INPUT2-5]");
  const Lines written = testing::WrittenBlocks(*cfg, 201, "DIGITAL_INPUT");
  ASSERT_EQ(written.size(), 20u);
  EXPECT_EQ(written[0], "[DIGITAL_INPUT1-5]");
  EXPECT_EQ(written[10], "[DIGITAL_INPUT1-37]");
}

TEST_F(DigitalTest, HostInputsDefinitionsAndAssignment) {
  cFilerSections::m_nSettingVersion = 7;  // one board of 32 inputs
  cFilerSections::m_nDSPBanks = 1;
  CHelvoCfg cfg;
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  std::string name = "Bus";
  auto* bus = new CElementName(name, group);
  group->Add(bus);

  CDigitalCfg plain(group, bus, nullptr);
  EXPECT_EQ(plain.GetDescription(), "");
  EXPECT_STREQ(plain.GetTypeString(), "EI");
  EXPECT_EQ(plain.GetChannelNumber(), -1);
  EXPECT_EQ(plain.GetFunctionPhaseFlags(), 0x2000007ul);
  EXPECT_EQ(plain.GetpScale(), nullptr);
  EXPECT_EQ(plain.GetTypeMask(), 0x2000000ul);
  EXPECT_EQ(plain.m_strStateLabel + std::to_string(plain.m_nStateLabelFlag), "DigState1");

  CDigitalCfg trip(group, bus, "Trip");
  trip.SetChannelNumber(32);
  trip.m_oInactiveAct.SetPacked(5);
  trip.m_oDelay.m_fSeconds = 0.5f;
  trip.m_strActive = "On";
  trip.m_nStateLabelFlag = 0;
  EXPECT_TRUE(trip.AreInputsDefined());
  trip.GetMeterName(name, 0);
  EXPECT_EQ(name, "Bus:EI:Trip");
  trip.GetStateName(name, 0);
  EXPECT_EQ(name, "Bus:EI:Trip");

  plain = trip;
  EXPECT_EQ(plain.GetDescription(), "Trip");
  EXPECT_EQ(plain.m_oInactiveAct.GetPacked(), 5u);
  EXPECT_EQ(plain.m_oInactiveAct.GetParent(), &plain);  // the copy's blocks stay its own
  EXPECT_FLOAT_EQ(plain.m_oDelay.m_fSeconds, 0.5f);
  EXPECT_EQ(plain.m_strActive, "On");
  EXPECT_EQ(plain.m_nStateLabelFlag, 0);
  EXPECT_EQ(plain.GetChannelNumber(), 32);

  auto* section = dynamic_cast<cHelvoSection*>(group->GetSection(eDigitalCfg));
  const sStateChoice* state = section->FindStateChoice(0);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->m_nTypeMask, 0x2000000ul);
  EXPECT_EQ(state->GetFirstAction(&trip), &trip.m_oActiveAct);
  EXPECT_EQ(state->GetSecondAction(&trip), &trip.m_oInactiveAct);
  EXPECT_EQ(section->FindMeterChoice(0)->m_nTypeMask, 0x2000000ul);
  EXPECT_TRUE(section->GetReferenceAddresses().IsEmpty());
}

}  // namespace
}  // namespace helvo
