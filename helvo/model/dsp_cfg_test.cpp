#include "helvo/model/dsp_cfg.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/testing/model_fixture.h"

namespace helvo {
namespace {

using testing::ModelFn;
constexpr unsigned long kVa = 0x10, kIa = 0x100, kFreq = 0x4000000;

// The header names generation 1 unless a test says otherwise.
class ChannelGroupTest : public testing::ModelTest {
 protected:
  ChannelGroupTest() { SetFile(6, 1, 18); }
  int live_ = ModelFn::s_nLive;
};

TEST_F(ChannelGroupTest, NewConfigurationHasPMUPhasorsAndCDRChannels) {
  CHelvoCfg cfg;
  cHelvoDspCfg& first = *cfg.m_pDspCfg[0];
  EXPECT_EQ(cfg.m_pDspCfg[1]->GetPMUList().GetCount(), 12u);
  ASSERT_EQ(first.GetCDRList().GetCount(), 36u);
  EXPECT_EQ(cfg.m_pDspCfg[1]->GetCDRList().GetCount(), 0u);  // only the first board records continuously

  for (CFiler* obj : first.GetCDRList()) dynamic_cast<CCDR*>(obj)->m_nInputIndex = 7;
  first.MarkCDRChanDirty(18);
  EXPECT_EQ(first.GetActiveCDRChannels(), 18);
  EXPECT_FALSE(dynamic_cast<CCDR*>(first.GetCDRList().GetTail())->IsUsed());

  first.AddPMU(3);
  ASSERT_EQ(first.GetPMUList().GetCount(), 3u);
  delete first.GetPMUList().GetHead();  // a deleted phasor leaves its list
  EXPECT_EQ(first.GetPMUList().GetCount(), 2u);
  EXPECT_EQ(cHelvoDspCfg().GetDspFunctionCount(eAnalogCfg), -1);  // no configuration
}

TEST_F(ChannelGroupTest, FilingByChannelNumber) {
  {
    CHelvoCfg cfg;
    cHelvoDspCfg& group = *cfg.m_pDspCfg[0];
    new ModelFn(eAnalogCfg, &group, 5, nullptr, 0, true);
    auto* second = new ModelFn(eAnalogCfg, &group, 5, nullptr, 0, true);  // replaces and deletes the first
    EXPECT_EQ(ModelFn::s_nLive, live_ + 1);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 4), second);

    new ModelFn(eAnalogCfg, &group, 0, nullptr, 0, true);
    auto* beyond = new ModelFn(eAnalogCfg, &group, 19, nullptr, 0, true);  // generation 1 holds 18
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 18), nullptr);
    EXPECT_EQ(group.GetUnfiledList().GetCount(), 2u);  // out of the table, still owned

    // Renumbering moves a function; the one it displaces stays alive so that two can swap.
    for (auto [f, channel] : {std::pair{second, 3}, {beyond, 3}, {second, 1}}) {
      f->SetChannelNumber(channel);
      group.ModifyChannelNumber(f);
      EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, channel - 1), f);
    }
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 4), nullptr);
    EXPECT_EQ(ModelFn::s_nLive, live_ + 3);
    EXPECT_EQ(group.GetUnfiledList().GetCount(), 1u);  // only channel 0 is left unfiled
  }
  EXPECT_EQ(ModelFn::s_nLive, live_);  // the configuration freed every function

  // The second board of an old two-board recorder has one frequency function.
  CHelvoCfg old;
  SetFile(old, 200, 2, 18);
  auto* freq = new ModelFn(eFrequencyCfg, old.m_pDspCfg[1], 2, nullptr, 0, true);
  EXPECT_EQ(freq->GetChannelNumber(), 1);
  EXPECT_EQ(old.m_pDspCfg[1]->GetIndexedPhasorAddress(eFrequencyCfg, 0), freq);
  SetFile(old, 201, 1, 18);
  auto* freq2 = new ModelFn(eFrequencyCfg, old.m_pDspCfg[1], 2, nullptr, 0, true);
  EXPECT_EQ(old.m_pDspCfg[1]->GetIndexedPhasorAddress(eFrequencyCfg, 1), freq2);
}

TEST_F(ChannelGroupTest, DeletingElementsAndFunctionsLeavesNoPointerBehind) {
  {
    CHelvoCfg cfg;
    cHelvoDspCfg& group = *cfg.m_pDspCfg[0];
    dynamic_cast<cHelvoSection*>(group.GetSection(eSummationCfg))
        ->LoadReferenceAddress(FieldOf(&ModelFn::m_Input, &CrefPhasor::m_pPhasor));

    CElementName* line = NewElement(group, "Line");
    group.Add(line);  // listed once
    EXPECT_EQ(group.GetElementList().GetCount(), 1u);
    auto* analog = new ModelFn(eAnalogCfg, &group, 1, line, kVa, true);
    auto* unlisted = new ModelFn(eAnalogCfg, &group, 2, nullptr, 0, true);  // names the element as a read one
    unlisted->SetElementName(line);
    auto* sum = new ModelFn(eSummationCfg, &group, 1, nullptr, 0, true);
    auto* freq = new ModelFn(eFrequencyCfg, &group, 1, line, kFreq, true);
    sum->m_Input.m_pPhasor = analog;
    group.SetRefChannel(analog);
    dynamic_cast<CPMU*>(group.GetPMUList().GetHead())->m_Meters[4].m_pPhasor = analog;

    delete line;  // deletes both analog inputs; the frequency function stays, without element
    EXPECT_EQ(ModelFn::s_nLive, live_ + 2);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 0), nullptr);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 1), nullptr);
    EXPECT_EQ(sum->m_Input.m_pPhasor, nullptr);
    EXPECT_EQ(group.GetRefChannel(), nullptr);
    EXPECT_EQ(dynamic_cast<CPMU*>(group.GetPMUList().GetHead())->m_Meters[4].m_pPhasor, nullptr);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eFrequencyCfg, 0), freq);
    EXPECT_EQ(freq->GetElement(), nullptr);
    EXPECT_TRUE(group.GetElementList().IsEmpty());

    // A function deleted directly leaves its element's lists as well.
    CElementName* bus = NewElement(group, "Bus");
    auto* ia = new ModelFn(eAnalogCfg, &group, 3, bus, kIa, true);
    delete ia;
    EXPECT_FALSE(bus->Contains(ia));
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 2), nullptr);
    new ModelFn(eSummationCfg, &group, 7, bus, 0x1000);  // listed by the element only
  }
  EXPECT_EQ(ModelFn::s_nLive, live_);

  // An element outside any group makes its functions forget it.
  auto* loose = new CElementName;
  ModelFn f(eAnalogCfg, nullptr, 1, loose, kVa);
  EXPECT_TRUE(loose->Contains(&f));
  delete loose;
  EXPECT_EQ(f.GetElement(), nullptr);
}

TEST_F(ChannelGroupTest, ElementNamesAndHandles) {
  cHelvoDspCfg group;
  NewElement(group, "Line");
  NewElement(group, "Element 2");
  std::string wanted = "LINE";
  CElementName third(wanted, &group);
  EXPECT_EQ(wanted, "Element 3");                    // written back to the caller
  EXPECT_EQ(group.GetElementList().GetCount(), 2u);  // the constructor does not add itself
  EXPECT_EQ(group.VerifyElementNamed("element 2"), group.GetElementList().GetTail());
  EXPECT_EQ(group.VerifyElementNamed("Line", group.VerifyElementNamed("line")), nullptr);
  for (int i = 3; i <= 99; ++i) NewElement(group, "Line");
  wanted = "line";
  EXPECT_EQ(CElementName(wanted, &group).GetName(), "Element100");

  EXPECT_EQ(third.GetListBaseAddress(eSummationCfg)->GetElement(), &third);
  EXPECT_EQ(third.GetListBaseAddress(eFrequencyCfg), nullptr);
}

TEST_F(ChannelGroupTest, TheReferenceChannelIsReadAndWrittenAsAnIndex) {
  cHelvoDspCfg group(nullptr, 0);
  StringList lines = List({"[CH_GRP1-1]", "REF_ANA=4", "", "[ELEMENT1-1]", "NAME=Line1", ""});
  StringList::Position pos;
  group.GetSections().ReadCfgFile(lines, pos);
  auto* record = dynamic_cast<cCGMisc*>(group.GetChGrpList().GetHead());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->m_nRefAnaIndex, 4);
  EXPECT_EQ(dynamic_cast<CElementName&>(*group.GetElementList().GetHead()).GetName(), "Line1");

  ModelFn ref(eAnalogCfg, nullptr, 6);
  record->m_nRefAnaIndex = cCGMisc(&ref).m_nRefAnaIndex;
  EXPECT_EQ(cCGMisc(nullptr).m_nRefAnaIndex, 0);
  StringList out;
  group.GetSections().BuildCfgLines(out, 203, 60);
  EXPECT_EQ(std::vector<std::string>(out.begin(), std::next(out.begin(), 2)),
            (std::vector<std::string>{"[CH_GRP1]", "REF_ANA=5"}));
}

}  // namespace
}  // namespace helvo
