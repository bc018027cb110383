#include "helvo/model/dsp_cfg.h"

#include <gtest/gtest.h>

#include <string>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/element_name.h"
#include "helvo/model/phasor.h"

namespace helvo {
namespace {

class GroupFunction : public CPhasor {
 public:
  GroupFunction(int cls, cHelvoDspCfg* group, int channel, CElementName* element = nullptr) : m_nClass(cls) {
    SetParent(group);
    SetChannelNumber(channel);
    SetElementName(element);
    ++s_nLive;
  }
  ~GroupFunction() override { --s_nLive; }
  int GetClass() const override { return m_nClass; }
  int m_nClass;
  CrefPhasor m_Input;
  static int s_nLive;
};
int GroupFunction::s_nLive = 0;

// Generation 1 for the tests' function counts; the header statics are restored afterwards.
class ChannelGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    version_ = cFilerSections::m_nSettingVersion;
    banks_ = cFilerSections::m_nDSPBanks;
    gen_ = CHelvoCfgTables::m_iIedGen;
    cFilerSections::m_nSettingVersion = 6;
    cFilerSections::m_nDSPBanks = 1;
  }
  void TearDown() override {
    cFilerSections::m_nSettingVersion = version_;
    cFilerSections::m_nDSPBanks = banks_;
    CHelvoCfgTables::m_iIedGen = gen_;
  }
  int version_ = 0, banks_ = 0, gen_ = 0;
  cFilerContainer root_;
};

TEST_F(ChannelGroupTest, ElementNamesAreMadeUnique) {
  cHelvoDspCfg group(&root_, 1);
  std::string name;
  group.GetName(name);
  EXPECT_EQ(name, "Channel Group 2");

  for (const char* n : {"Line", "Element 2"}) {
    std::string text = n;
    group.Add(new CElementName(text, &group));
  }
  std::string wanted = "LINE";
  CElementName third(wanted, &group);
  EXPECT_EQ(wanted, "Element 3");  // written back to the caller
  EXPECT_EQ(third.GetName(), "Element 3");
  EXPECT_EQ(group.GetElementList().GetCount(), 2u);  // the constructor does not add itself
  EXPECT_EQ(group.VerifyElementNamed("element 2"), group.GetElementList().GetTail());
  EXPECT_EQ(group.VerifyElementNamed("Line", group.VerifyElementNamed("line")), nullptr);
}

TEST_F(ChannelGroupTest, RemovingAnElementOrFunctionLeavesNoDanglingPointer) {
  const int live = GroupFunction::s_nLive;
  {
    cHelvoDspCfg group(&root_, 0);
    auto* s = new cHelvoSection(0, eSummationCfg);
    s->LoadReferenceAddress(FieldOf(&GroupFunction::m_Input, &CrefPhasor::m_pPhasor));
    group.AddFilerSection(eSummationCfg, s);

    std::string text = "Line";
    auto* line = new CElementName(text, &group);
    group.Add(line);
    group.Add(line);  // listed once
    EXPECT_EQ(group.GetElementList().GetCount(), 1u);

    auto* analog = new GroupFunction(eAnalogCfg, &group, 1, line);
    auto* sum = new GroupFunction(eSummationCfg, &group, 1);
    auto* freq = new GroupFunction(eFrequencyCfg, &group, 1, line);
    for (CPhasor* f :
         {static_cast<CPhasor*>(analog), static_cast<CPhasor*>(sum), static_cast<CPhasor*>(freq)})
      group.Add(f);
    sum->m_Input.m_pPhasor = analog;

    delete line;  // deletes the analog input; the frequency function stays, without element
    EXPECT_EQ(GroupFunction::s_nLive, live + 2);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 0), nullptr);
    EXPECT_EQ(sum->m_Input.m_pPhasor, nullptr);  // the summation no longer refers to it
    EXPECT_EQ(group.GetIndexedPhasorAddress(eFrequencyCfg, 0), freq);
    EXPECT_EQ(freq->GetElement(), nullptr);
    EXPECT_TRUE(group.GetElementList().IsEmpty());

    EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 99), nullptr);
    EXPECT_EQ(group.GetIndexedPhasorAddress(eElementName, 0), nullptr);
  }
  EXPECT_EQ(GroupFunction::s_nLive, live);
}

}  // namespace
}  // namespace helvo
