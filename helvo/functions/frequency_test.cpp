#include "helvo/functions/frequency.h"

#include <gtest/gtest.h>

#include "helvo/functions/watts_vars.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/testing/model_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using testing::ModelFn;

using FrequencyTest = testing::HeaderTest<6>;

TEST_F(FrequencyTest, EveryKeyRoundTrips) {
  ModelFn channel(eAnalogCfg, nullptr, 3);
  const std::vector<testing::KeyAt> keys = {
      {"ROC_INT=5"},    {"IN_INDEX=2"},   {"H_MAG_T=60.5"}, {"H_MAG_D=1"},    {"H_MAG_A=65"},
      {"L_MAG_T=59.5"}, {"L_MAG_D=2"},    {"L_MAG_A=66"},   {"N_ROC_T=0.25"}, {"N_ROC_D=3"},
      {"N_ROC_A=67"},   {"P_ROC_T=0.75"}, {"P_ROC_D=6"},    {"P_ROC_A=68"}};
  auto cfg = testing::ReadBody(testing::IdSection(6) + testing::SectionText("FREQUENCY1-1", keys));
  auto* f = dynamic_cast<CFrequencyCfg*>(cfg->m_pDspCfg[0]->m_pFrequency[0]);
  ASSERT_NE(f, nullptr);
  f->m_orefInput.m_pPhasor = &channel;  // analog channel 3 is phasor 2, as linking would find
  testing::ExpectKeysFollowVersions(*cfg, "FREQUENCY", keys);
  EXPECT_FLOAT_EQ(f->m_oNegRocDelay.m_fSeconds, 3.0f / 120);

  std::string name;
  f->GetStateName(name, 2);
  EXPECT_EQ(name, "Group 1 Frequency 1[+ROC]");
}

TEST_F(FrequencyTest, InputAndAssignment) {
  CFrequencyCfg host, plain;
  EXPECT_EQ(plain.m_orefInput.GetTypesMask() & 0x400000ul, 0ul);  // no DC channels
  EXPECT_EQ(plain.AreInputsDefined(), 0);
  ModelFn channel(eAnalogCfg, nullptr, 1);
  plain.m_orefInput.m_pPhasor = &channel;
  EXPECT_EQ(plain.AreInputsDefined(), 1);
  channel.m_bDefined = 0;
  EXPECT_EQ(plain.AreInputsDefined(), 0);

  host = plain;
  EXPECT_EQ(host.GetInputPhasor(), &channel);
  EXPECT_EQ(host.m_oLowAction.GetParent(), &host);
}

TEST_F(FrequencyTest, ModifyFreqNumbersByPosition) {
  cHelvoDspCfg group(nullptr, 0);
  auto* first = new CFrequencyCfg(&group);
  auto* third = new CFrequencyCfg(&group);
  CWattsVarsCfg other;
  FilerList& list = group.GetClassList(eFrequencyCfg);
  group.ModifyFreq({first, nullptr, third, &other, first}, 201);
  EXPECT_EQ(std::vector<CFiler*>(list.begin(), list.end()), (std::vector<CFiler*>{first, third}));
  EXPECT_EQ(first->GetChannelNumber(), 1);
  EXPECT_EQ(third->GetChannelNumber(), 3);
  EXPECT_EQ(other.GetChannelNumber(), -1);

  // No frequency functions at this version: the list empties, and the group still deletes them.
  group.ModifyFreq({first, third}, 0);
  EXPECT_TRUE(list.IsEmpty());
  const PtrList<CPhasor>& unfiled = group.GetUnfiledList();
  EXPECT_EQ(std::vector<CPhasor*>(unfiled.begin(), unfiled.end()), (std::vector<CPhasor*>{first, third}));
}

}  // namespace
}  // namespace helvo
