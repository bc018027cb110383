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

namespace helvo {
namespace {

// A function of a chosen class with one input reference; counts live instances.
class GroupFunction : public CPhasor {
 public:
  GroupFunction(int cls, cHelvoDspCfg* group, int channel, CElementName* element = nullptr,
                unsigned long flags = 0)
      : CPhasor(group, element, flags), m_nClass(cls) {
    SetChannelNumber(channel);
    ++s_nLive;
  }
  ~GroupFunction() override { --s_nLive; }
  int GetClass() const override { return m_nClass; }
  int m_nClass;
  CrefPhasor m_Input;
  static int s_nLive;
};
int GroupFunction::s_nLive = 0;

constexpr unsigned long kVa = 0x10, kIa = 0x100, kFreq = 0x4000000;

// The header statics name generation 1 unless a test says otherwise; all are restored afterwards.
class ChannelGroupTest : public ::testing::Test {
 protected:
  void SetUp() override { SetFile(6, 1, 18); }
  void TearDown() override {
    cFilerSections::m_nSettingVersion = saved_[0];
    cFilerSections::m_nDSPBanks = saved_[1];
    cFilerSections::m_nAChan = saved_[2];
    CHelvoCfgTables::m_iIedGen = saved_[3];
    CHelvoCfgTables::m_nSetVer = saved_[4];
  }
  static void SetFile(int version, int banks, int analogs) {
    cFilerSections::m_nSettingVersion = version;
    cFilerSections::m_nDSPBanks = banks;
    cFilerSections::m_nAChan = analogs;
    CHelvoCfgTables::m_nSetVer = version;
    CHelvoCfgTables::FunctionsPerDsp(eAnalogCfg);  // derives the generation
  }
  static CElementName* NewElement(cHelvoDspCfg& group, std::string name) {
    auto* e = new CElementName(name, &group);
    group.Add(e);
    return e;
  }

  int saved_[5] = {cFilerSections::m_nSettingVersion, cFilerSections::m_nDSPBanks, cFilerSections::m_nAChan,
                   CHelvoCfgTables::m_iIedGen, CHelvoCfgTables::m_nSetVer};
  int live_ = GroupFunction::s_nLive;
};

TEST_F(ChannelGroupTest, NewConfigurationHasSectionsPMUPhasorsAndCDRChannels) {
  CHelvoCfg cfg;
  cHelvoDspCfg& first = *cfg.m_pDspCfg[0];
  cHelvoDspCfg& second = *cfg.m_pDspCfg[1];
  std::string name;
  second.GetName(name);
  EXPECT_EQ(name, "Channel Group 2");

  std::vector<std::string> sections;
  for (CFilerSection* s : first.GetSections().GetSections()) sections.push_back(s->GetName());
  EXPECT_EQ(sections, (std::vector<std::string>{"CH_GRP", "ELEMENT", "ANALOG_INPUT", "SUMMATION", "SEQUENCE",
                                                "DIGITAL_INPUT", "IMPEDANCE", "WATTS/VARS", "FREQUENCY",
                                                "LOGIC", "FAULT_LOCATOR", "PFDET", "PHASOR", "CDR_CHAN"}));

  for (cHelvoDspCfg* group : {&first, &second}) {
    ASSERT_EQ(group->GetPMUList().GetCount(), 12u);
    int number = 1;
    for (CFiler* obj : group->GetPMUList()) {
      auto* pmu = dynamic_cast<CPMU*>(obj);
      ASSERT_NE(pmu, nullptr);
      EXPECT_EQ(pmu->m_strName, "PMU");
      EXPECT_EQ(pmu->m_nPhasorNumber, number++);
      EXPECT_EQ(pmu->m_nInputIndex, -1);
      EXPECT_EQ(pmu->GetParent(), group);
    }
    EXPECT_FALSE(group->IsPMUDefValid());
  }
  ASSERT_EQ(first.GetCDRList().GetCount(), 36u);
  EXPECT_EQ(second.GetCDRList().GetCount(), 0u);  // only the first board records continuously
  EXPECT_EQ(dynamic_cast<CCDR*>(first.GetCDRList().GetTail())->m_nChannel, 35);

  first.AddPMU(0);
  first.AddCDR(0);
  EXPECT_EQ(first.GetPMUList().GetCount(), 12u);
  EXPECT_EQ(first.GetCDRList().GetCount(), 36u);

  for (CFiler* obj : first.GetCDRList()) dynamic_cast<CCDR*>(obj)->m_nInputIndex = 7;
  first.MarkCDRChanDirty(18);
  EXPECT_EQ(first.GetActiveCDRChannels(), 18);
  EXPECT_TRUE(first.IsCDRValid());
  EXPECT_FALSE(dynamic_cast<CCDR*>(first.GetCDRList().GetTail())->IsUsed());

  first.AddPMU(3);
  ASSERT_EQ(first.GetPMUList().GetCount(), 3u);
  EXPECT_EQ(dynamic_cast<CPMU*>(first.GetPMUList().GetTail())->m_nPhasorNumber, 3);
  delete first.GetPMUList().GetHead();  // a deleted phasor leaves its list
  EXPECT_EQ(first.GetPMUList().GetCount(), 2u);

  cHelvoDspCfg loose;  // no configuration
  EXPECT_EQ(loose.GetDspFunctionCount(eAnalogCfg), -1);
  EXPECT_EQ(loose.GetDspIndex(), 1);
  EXPECT_EQ(first.GetDspFunctionCount(eAnalogCfg), 18);
}

TEST_F(ChannelGroupTest, FilingByChannelNumber) {
  {
    CHelvoCfg cfg;
    cHelvoDspCfg& group = *cfg.m_pDspCfg[0];
    auto* first = new GroupFunction(eAnalogCfg, &group, 5);
    auto* second = new GroupFunction(eAnalogCfg, &group, 5);
    group.Add(first);
    group.Add(second);  // replaces and deletes the first
    EXPECT_EQ(GroupFunction::s_nLive, live_ + 1);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 4), second);

    auto* zero = new GroupFunction(eAnalogCfg, &group, 0);
    auto* beyond = new GroupFunction(eAnalogCfg, &group, 19);  // generation 1 holds 18
    group.Add(zero);
    group.Add(beyond);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 18), nullptr);
    EXPECT_EQ(group.GetUnfiledList().GetCount(), 2u);  // out of the table, still owned

    // Renumbering moves a function; the one it displaces stays alive so that two can swap.
    second->SetChannelNumber(3);
    group.ModifyChannelNumber(second);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 4), nullptr);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 2), second);
    beyond->SetChannelNumber(3);
    group.ModifyChannelNumber(beyond);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 2), beyond);
    second->SetChannelNumber(1);
    group.ModifyChannelNumber(second);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 0), second);
    EXPECT_EQ(GroupFunction::s_nLive, live_ + 3);
    EXPECT_EQ(group.GetUnfiledList().GetCount(), 1u);  // only channel 0 is left unfiled
  }
  EXPECT_EQ(GroupFunction::s_nLive, live_);  // the configuration freed every function

  // The second board of an old two-board recorder has one frequency function.
  SetFile(200, 2, 18);
  CHelvoCfg old;
  auto* freq = new GroupFunction(eFrequencyCfg, old.m_pDspCfg[1], 2);
  old.m_pDspCfg[1]->Add(freq);
  EXPECT_EQ(freq->GetChannelNumber(), 1);
  EXPECT_EQ(old.m_pDspCfg[1]->GetIndexedPhasorAddress(eFrequencyCfg, 0), freq);
  SetFile(201, 1, 18);
  auto* freq2 = new GroupFunction(eFrequencyCfg, old.m_pDspCfg[1], 2);
  old.m_pDspCfg[1]->Add(freq2);
  EXPECT_EQ(old.m_pDspCfg[1]->GetIndexedPhasorAddress(eFrequencyCfg, 1), freq2);
}

TEST_F(ChannelGroupTest, DeletingElementsAndFunctionsLeavesNoPointerBehind) {
  {
    CHelvoCfg cfg;
    cHelvoDspCfg& group = *cfg.m_pDspCfg[0];
    dynamic_cast<cHelvoSection*>(group.GetSection(eSummationCfg))
        ->LoadReferenceAddress(FieldOf(&GroupFunction::m_Input, &CrefPhasor::m_pPhasor));

    CElementName* line = NewElement(group, "Line");
    group.Add(line);  // listed once
    EXPECT_EQ(group.GetElementList().GetCount(), 1u);
    auto* analog = new GroupFunction(eAnalogCfg, &group, 1, line, kVa);
    auto* unlisted = new GroupFunction(eAnalogCfg, &group, 2);  // names the element as a read one does
    unlisted->SetElementName(line);
    auto* sum = new GroupFunction(eSummationCfg, &group, 1);
    auto* freq = new GroupFunction(eFrequencyCfg, &group, 1, line, kFreq);
    for (CPhasor* f : std::initializer_list<CPhasor*>{analog, unlisted, sum, freq}) group.Add(f);
    sum->m_Input.m_pPhasor = analog;
    group.SetRefChannel(analog);
    dynamic_cast<CPMU*>(group.GetPMUList().GetHead())->m_Meters[4].m_pPhasor = analog;

    delete line;  // deletes both analog inputs; the frequency function stays, without element
    EXPECT_EQ(GroupFunction::s_nLive, live_ + 2);
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
    auto* ia = new GroupFunction(eAnalogCfg, &group, 3, bus, kIa);
    group.Add(ia);
    delete ia;
    EXPECT_FALSE(bus->Contains(ia));
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 2), nullptr);
    new GroupFunction(eSummationCfg, &group, 7, bus, 0x1000);  // listed by the element only
  }
  EXPECT_EQ(GroupFunction::s_nLive, live_);

  // An element outside any group makes its functions forget it.
  auto* loose = new CElementName;
  GroupFunction f(eAnalogCfg, nullptr, 1, loose, kVa);
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
  EXPECT_EQ(third.GetListBaseAddress(ePFDetCfg)->GetClass(), ePFDetCfg);
  EXPECT_EQ(third.GetListBaseAddress(eFrequencyCfg), nullptr);
}

TEST_F(ChannelGroupTest, ReadingAndWritingTheBoardRecords) {
  cHelvoDspCfg group(nullptr, 0);
  CFiler* slot3 = *std::next(group.GetPMUList().begin(), 2);
  StringList lines;
  for (const char* l : {"[CH_GRP1-1]", "REF_ANA=4", "", "[ELEMENT1-1]", "NAME=Line1", "", "[PHASOR1-3]", ""})
    lines.AddTail(l);
  StringList::Position pos;
  group.GetSections().ReadCfgFile(lines, pos);

  ASSERT_EQ(group.GetChGrpList().GetCount(), 1u);
  auto* record = dynamic_cast<cCGMisc*>(group.GetChGrpList().GetHead());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->m_nRefAnaIndex, 4);
  ASSERT_EQ(group.GetElementList().GetCount(), 1u);
  EXPECT_EQ(dynamic_cast<CElementName*>(group.GetElementList().GetHead())->GetName(), "Line1");
  // The PHASOR section replaced the phasor of its slot.
  ASSERT_EQ(group.GetPMUList().GetCount(), 12u);
  CFiler* replaced = *std::next(group.GetPMUList().begin(), 2);
  EXPECT_NE(replaced, slot3);
  EXPECT_EQ(replaced->GetListIndex(), 3);

  // Written back from the model: the reference index of a channel, and CDR channels only when used
  // once the groups are folded.
  GroupFunction ref(eAnalogCfg, nullptr, 6);
  record->m_nRefAnaIndex = cCGMisc(&ref).m_nRefAnaIndex;
  EXPECT_EQ(cCGMisc(nullptr).m_nRefAnaIndex, 0);
  group.AddCDR(4);
  dynamic_cast<CCDR*>(group.GetCDRList().GetTail())->m_nInputIndex = 2;
  auto written = [&](int version) {
    StringList out;
    group.GetSections().BuildCfgLines(out, version, 60);
    std::vector<std::string> kept;
    bool phasor = false;
    for (const std::string& l : out) {
      if (!l.empty() && l[0] == '[') phasor = l.rfind("[PHASOR", 0) == 0;
      if (!phasor && !l.empty()) kept.push_back(l);
    }
    return kept;
  };
  EXPECT_EQ(written(203), (std::vector<std::string>{"[CH_GRP1]", "REF_ANA=5", "[ELEMENT1]", "NAME=Line1",
                                                    "[CDR_CHAN4]", "INP_INDEX=2"}));
  EXPECT_EQ(written(6).size(), 12u);  // all four CDR channels
}

}  // namespace
}  // namespace helvo
