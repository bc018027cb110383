#include "helvo/functions/logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using LogicTest = testing::CfgTest;

using testing::ModelFn;

TEST_F(LogicTest, EveryKeyRoundTrips) {
  // Input k is analog channel k: state bit k - 1 of the board.
  std::vector<testing::KeyAt> keys = {{"ELEMENT=Trip"}, {"DESC=Breaker fail"}};
  const char* const opers[] = {"0", "2", "7", "9"};
  for (int k = 1; k <= cLogicCfg::kNumInputs; ++k) {
    keys.push_back({"NOTINP" + std::to_string(k) + "=1"});
    keys.push_back({"INPUT" + std::to_string(k) + "=" + std::to_string(k - 1)});
    if (k < 5) keys.push_back({"OPER" + std::to_string(k) + "=" + opers[k - 1]});
  }
  for (const char* line : {"ASSERT_DLY=30", "REMOVE_DLY=12", "ACTIVE_A=1234", "INACTIVE_A=5",
                           "ACTIVE_STR=Tripped", "INACTIVE_STR=Normal"})
    keys.push_back({line});
  auto cfg = testing::ReadBody(testing::IdSection(6) + testing::SectionText("LOGIC1-4", keys));
  cHelvoDspCfg* group = cfg->m_pDspCfg[0];
  auto* logic = dynamic_cast<cLogicCfg*>(group->GetIndexedPhasorAddress(eLogicCfg, 3));
  ASSERT_NE(logic, nullptr);
  EXPECT_FLOAT_EQ(logic->m_oAssertDelay.m_fSeconds, 0.25f);  // half cycles
  for (int k = 0; k < cLogicCfg::kNumInputs; ++k) {          // resolved as post-load processing will
    logic->m_orefInputs[k].m_pPhasor = new ModelFn(eAnalogCfg, group, k + 1, nullptr, 0, true);
    logic->m_orefInputs[k].m_nNumber = 0;
  }
  testing::ExpectKeysFollowVersions(*cfg, "LOGIC", keys);
}

TEST_F(LogicTest, ChainValidityUsesOnlyTheInputsItsOperatorsUse) {
  const struct {
    int oper[4];
    unsigned defined;  // bit k: input k + 1 is defined
    int valid;
  } cases[] = {
      {{6, 6, 6, 6}, 0b11110, 0},  {{6, 6, 6, 6}, 0b00001, 1},   // all "A": only input 1 counts
      {{0, 6, 6, 6}, 0b00010, 0},  {{0, 6, 6, 6}, 0b00011, 1},   // "AND" uses inputs 1 and 2
      {{6, 6, 6, 9}, 0b10000, 1},  {{6, 6, 6, 9}, 0b01111, 0},   // "NOTB" last: only input 5 counts
      {{6, 6, 6, 10}, 0b11111, 0}, {{-1, 6, 6, 6}, 0b11111, 0},  // no such operator
  };
  ModelFn defined(eAnalogCfg, nullptr, 1), undefined(eAnalogCfg, nullptr, 2);
  undefined.m_bDefined = 0;
  cLogicCfg logic;
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    for (int k = 0; k < cLogicCfg::kNumOperators; ++k) logic.m_nOper[k] = c.oper[k];
    for (int k = 0; k < cLogicCfg::kNumInputs; ++k)
      logic.m_orefInputs[k].m_pPhasor = (c.defined >> k) & 1 ? &defined : &undefined;
    EXPECT_EQ(logic.AreInputsDefined(), c.valid);
  }
  EXPECT_STREQ(logic.GetIndexedOperString(0), "INVALID");  // -1
  EXPECT_STREQ(logic.GetIndexedOperString(4), "INVALID");  // past the last operator
  EXPECT_STREQ(cLogicCfg::GetOperStringByEnum(10), "INVALID");
  EXPECT_FALSE(logic.IsValidOperation(4) || logic.IsValidInput(5) || logic.IsValidInput(-1));
  // Logic functions feeding each other in a ring with nothing outside are undefined rather than
  // recursing without end.
  cLogicCfg other;
  logic.m_nOper[0] = cLogicCfg::eA;
  logic.m_orefInputs[0].m_pPhasor = &other;
  other.m_orefInputs[0].m_pPhasor = &logic;
  EXPECT_EQ(logic.AreInputsDefined(), 0);
  EXPECT_EQ(other.AreInputsDefined(), 0);
}

TEST_F(LogicTest, ALatchIsDefinedExactlyWhenItsOutsideInputsAre) {
  // seal: outside OR seal; follower: seal; loop: seal OR follower (a latch through another function).
  ModelFn outside(eDigitalCfg, nullptr, 1);
  cLogicCfg seal, follower, loop;
  seal.m_nOper[0] = loop.m_nOper[0] = cLogicCfg::eOR;
  seal.m_orefInputs[0].m_pPhasor = &outside;
  seal.m_orefInputs[1].m_pPhasor = &seal;
  follower.m_orefInputs[0].m_pPhasor = &seal;
  loop.m_orefInputs[0].m_pPhasor = &seal;
  loop.m_orefInputs[1].m_pPhasor = &follower;
  for (int defined : {1, 0}) {
    outside.m_bDefined = defined;
    for (cLogicCfg* f : {&seal, &follower, &loop}) EXPECT_EQ(f->AreInputsDefined(), defined);
    EXPECT_EQ(seal.IsValidOperation(0), defined == 1);
  }
  // A function that only feeds itself has no outside input to define it.
  seal.m_orefInputs[0].m_pPhasor = &seal;
  EXPECT_EQ(seal.AreInputsDefined(), 0);
}

TEST_F(LogicTest, StateNameAndAssignment) {
  CHelvoCfg cfg;
  std::string name = "Trip";
  auto* trip = new CElementName(name, cfg.m_pDspCfg[0]);
  cfg.m_pDspCfg[0]->Add(trip);
  auto* logic = new cLogicCfg(cfg.m_pDspCfg[0], trip);  // owned through the element's list
  logic->GetStateName(name, 0);
  EXPECT_EQ(name, "Trip:Logic");

  logic->m_nOper[1] = cLogicCfg::eXOR;
  logic->m_bNotInput[4] = 1;
  cLogicCfg copy;
  copy = *logic;
  EXPECT_EQ(copy.m_nOper[1] + copy.m_bNotInput[4], 4 + 1);
  EXPECT_EQ(copy.m_oInactiveAct.GetParent(), &copy);  // the blocks stay the copy's own
}

}  // namespace
}  // namespace helvo
