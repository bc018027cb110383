#include "helvo/functions/analog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/records.h"
#include "helvo/platform/format.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using Lines = std::vector<std::string>;
using AnalogTest = testing::CfgTest;

constexpr unsigned long kVa = 0x10, kIb = 0x200, kDC = 0x400000, kEI = 0x2000000;

std::string Header(int version, int banks = 1) {
  return "[ID]\nSETTINGS_VERS=" + std::to_string(version) + "\nNUM_BANKS=" + std::to_string(banks) +
         "\nSYSTEM_FREQUENCY=60\n\n";
}

// Every key at a non-default value, in write order; from: the first version that writes the key (0:
// never written).
struct KeyLine {
  const char* line;
  int from;
};
constexpr KeyLine kAnalogKeys[] = {
    {"ELEMENT=Line7", 1},    {"TYPE=Ib", 1},       {"DESC=Feeder B", 1}, {"INPUT_MODULE=", 1},
    {"ANGLE_OFFSET=1.5", 1}, {"PHASE_ERR=3.1", 5}, {"PRI_1=600", 1},     {"SEC_1=4.5", 1},
    {"PRI_2=-600", 1},       {"SEC_2=-4.5", 1},    {"SCALE=600:5", 0},   {"PRI_UNIT=kA", 1},
    {"SEC_UNIT=mA", 5},      {"FULL_SCALE=90", 5}, {"ROC_INT=4", 1},     {"NOM_VALUE=4.75", 4},
    {"S_HARM_NUM=5", 1},     {"H_MAG_T=6.5", 1},   {"H_MAG_D=30", 1},    {"H_MAG_A=65", 1},
    {"L_MAG_T=0.5", 1},      {"L_MAG_D=12", 1},    {"L_MAG_A=66", 1},    {"N_ROC_T=2.25", 1},
    {"N_ROC_D=6", 1},        {"N_ROC_A=67", 1},    {"P_ROC_T=3.25", 1},  {"P_ROC_D=8", 1},
    {"P_ROC_A=68", 1},       {"S_HARM_T=12.5", 1}, {"S_HARM_D=240", 1},  {"S_HARM_A=69", 1},
    {"THD_T=8.5", 1},        {"THD_D=360", 1},     {"THD_A=321", 1},     {"SAG_T=80", 4},
    {"SAG_A=70", 4},         {"SWELL_T=120", 4},   {"SWELL_A=1863", 4},
};

// The section block of a file of version: every key (written false) or the keys the writer writes.
Lines AnalogBlock(int version, bool written) {
  Lines block{"[ANALOG_INPUT1-4]"};
  for (const KeyLine& k : kAnalogKeys) {
    if (written && (k.from == 0 || version < k.from)) continue;
    std::string line = k.line;
    // The module's catalogue number from version 5 on, its old name before.
    if (line == "INPUT_MODULE=") line += version < 5 ? "AC:5A:20x" : "815204";
    block.push_back(line);
  }
  block.push_back("");
  return block;
}

std::string Join(const Lines& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

TEST_F(AnalogTest, EveryKeyRoundTripsWithTheKeysEachVersionWrites) {
  for (int version : {3, 4, 5, 7, 201}) {
    SCOPED_TRACE(version);
    auto cfg = testing::ReadBody(Header(version) + Join(AnalogBlock(version, false)));
    const Lines written = testing::WrittenBlocks(*cfg, version, "ANALOG_INPUT");
    EXPECT_EQ(written, AnalogBlock(version, true));
    auto again = testing::ReadBody(Header(version) + Join(written));
    EXPECT_EQ(testing::WrittenBlocks(*again, version, "ANALOG_INPUT"), written);
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(AnalogTest, PhaseErrorAndScaleTextAreReadIntoLegacyFieldsOnly) {
  auto cfg = testing::ReadBody(Header(7) + Join(AnalogBlock(7, false)) +
                               "[ANALOG_INPUT1-5]\nPHASE_ERR=7.5\nINPUT_MODULE=815203\n\n");
  auto* channel = dynamic_cast<CAnalogCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eAnalogCfg, 4));
  ASSERT_NE(channel, nullptr);
  EXPECT_FLOAT_EQ(channel->m_fLegacyPhaseErr, 7.5f);
  EXPECT_FLOAT_EQ(channel->m_oModuleType.GetPhaseErr(), 0.4f);  // the module's, whatever the file says
  EXPECT_EQ(testing::WrittenKeys(*cfg, 5, "ANALOG_INPUT1-5")[5], "PHASE_ERR=0.4");
  auto* first = dynamic_cast<CAnalogCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eAnalogCfg, 3));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->m_strScale, "600:5");
}

TEST_F(AnalogTest, SecondGroupIsRenumberedWhenTheGroupsAreFolded) {
  auto cfg = testing::ReadBody(Header(6, 2) + "[ANALOG_INPUT1-3]\nTYPE=Va\n\n[ANALOG_INPUT2-3]\nTYPE=Vb\n\n");
  auto headers = [&](int version) {
    Lines found;
    for (const std::string& l : testing::WrittenBlocks(*cfg, version, "ANALOG_INPUT"))
      if (!l.empty() && l[0] == '[') found.push_back(l);
    return found;
  };
  EXPECT_EQ(headers(6), (Lines{"[ANALOG_INPUT1-3]", "[ANALOG_INPUT2-3]"}));
  EXPECT_EQ(headers(201), (Lines{"[ANALOG_INPUT1-3]", "[ANALOG_INPUT1-21]"}));
}

TEST_F(AnalogTest, DefaultScaleAndModuleByType) {
  CHelvoCfg cfg;
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  std::string name = "Line1";
  auto* line = new CElementName(name, group);
  group->Add(line);

  // "pri1/sec1 pri2/sec2 full scale pri unit/sec unit | module"
  auto defaults = [](CAnalogCfg& c) {
    const cScale& s = c.m_Scale;
    return Format("%g/%g %g/%g %g %s/%s | %s", s.m_fPri1, s.m_fSec1, s.m_fPri2, s.m_fSec2, s.m_fFullScale,
                  s.GetPriUnit(), s.GetSecUnit(), c.m_oModuleType.GetModuleType());
  };
  CAnalogCfg va(group, line, kVa);
  CAnalogCfg ib(group, line, kIb);
  CAnalogCfg dc(group, line, kDC);
  EXPECT_EQ(defaults(va), "0.069/69 -0.069/-69 138 kV/V | 815201 69Vac Common Neutral");
  EXPECT_EQ(defaults(ib), "5/5 -5/-5 100 A/A | 815204 5Aac");
  EXPECT_EQ(defaults(dc), "4/4 20/20 25 mA/mA | 815208 DC");
  EXPECT_STREQ(va.GetTypeString(), "Va");
  EXPECT_STREQ(dc.GetPriUnit(), "mA");
  EXPECT_EQ(va.GetpScale(), &va.m_Scale);
  EXPECT_FLOAT_EQ(va.GetMaxMeasuredLevel(0), 138.0f);
  EXPECT_NEAR(va.GetMaxMeasuredLevel(1), 0.138f, 1e-6);  // kV

  // Flags of no analog type change no scale and leave the module empty, so no level is measured.
  dc.SetParent_Element_Flags(group, line, kEI);
  EXPECT_FLOAT_EQ(dc.m_Scale.m_fFullScale, 25.0f);
  EXPECT_FALSE(dc.m_oModuleType.IsValid());
  EXPECT_NE(dc.GetpScale(), nullptr);
  EXPECT_FLOAT_EQ(dc.GetMaxMeasuredLevel(1), 0.0f);

  // Names through the section's meter and state definitions.
  dc.SetParent_Element_Flags(group, line, kDC);
  dc.GetMeterName(name, 4);
  EXPECT_EQ(name, "Line1:DC");
  va.GetMeterName(name, 1);
  EXPECT_EQ(name, "Line1:VaAng");
  va.GetStateName(name, 6);
  EXPECT_EQ(name, "Line1:Va[Sag]");
}

TEST_F(AnalogTest, DefaultsMasksAndAssignment) {
  cFilerSections::m_nSettingVersion = 7;  // one board of 18 channels
  cFilerSections::m_nDSPBanks = 1;
  CHelvoCfg cfg;
  auto* id = new CIdCfg(&cfg);
  cfg.m_IdList.AddTail(id);
  CAnalogCfg in(cfg.m_pDspCfg[0], nullptr, kVa);
  CAnalogCfg a;
  EXPECT_EQ(a.GetChannelNumber(), -1);
  EXPECT_EQ(a.GetFunctionPhaseFlags(), 0x8400FF0ul);
  const sAnalogDetectorParams& p = a.m_oDetParams;
  EXPECT_EQ(Format("%g %g %g %g %g %g %g %g %g %d %d", p.m_fLowLevel, p.m_fHighLevel, p.m_fPosROC,
                   p.m_fNegROC, p.m_fHarmonic, p.m_fTHD, p.m_fNominal, p.m_fSag, p.m_fSwell,
                   p.m_nHarmonicNumber, p.m_nROCInterval),
            "0 0 0 0 0 0 69 50 110 3 2");
  EXPECT_EQ(Format("%g %g %g %g %g %g", a.m_oLMagDelay.m_fSeconds, a.m_oHMagDelay.m_fSeconds,
                   a.m_oNRocDelay.m_fSeconds, a.m_oPRocDelay.m_fSeconds, a.m_oSHarmDelay.m_fSeconds,
                   a.m_oTHDDelay.m_fSeconds),
            "0 0 0 0 1 1");
  EXPECT_EQ(a.m_oSwellAct.GetParent(), &a);
  EXPECT_EQ(a.GetpScale(), nullptr);
  EXPECT_FALSE(a.AreInputsDefined());
  EXPECT_FLOAT_EQ(a.GetMaxMeasuredLevel(0), 0.0f);

  // The type mask follows the configuration's setting version (DC inputs from version 5).
  id->m_nSettingsVers = 4;
  EXPECT_EQ(in.GetTypeMask(), 0x8000FF0ul);
  id->m_nSettingsVers = 5;
  EXPECT_EQ(in.GetTypeMask(), 0x8400FF0ul);
  EXPECT_EQ(in.GetTypeMask(4u), 0x8000FF0ul);

  in.m_fAngleOffset = 2.5f;
  in.m_fLegacyPhaseErr = 9.0f;
  in.m_oSagAct.SetPacked(0x41);
  in.m_oDetParams.m_nROCInterval = 7;
  in.m_oTHDDelay.m_fSeconds = 4.0f;
  in.SetChannelNumber(9);
  a = in;
  EXPECT_FLOAT_EQ(a.m_fAngleOffset, 2.5f);
  EXPECT_FLOAT_EQ(a.m_fLegacyPhaseErr, 0.0f);  // not copied
  EXPECT_EQ(a.m_oSagAct.GetPacked(), 0x41u);
  EXPECT_EQ(a.m_oSagAct.GetParent(), &a);  // the copy's blocks stay its own
  EXPECT_EQ(a.m_oDetParams.m_nROCInterval, 7);
  EXPECT_FLOAT_EQ(a.m_oTHDDelay.m_fSeconds, 4.0f);
  EXPECT_STREQ(a.m_oModuleType.GetModuleType(), "815201 69Vac Common Neutral");
  EXPECT_FLOAT_EQ(a.m_Scale.m_fSec1, 69.0f);
  EXPECT_EQ(a.GetChannelNumber(), 9);
  EXPECT_TRUE(a.AreInputsDefined());
  a.m_bDirty = 1;
  EXPECT_FALSE(a.AreInputsDefined());
}

TEST_F(AnalogTest, SectionKeysMetersAndStates) {
  CHelvoCfg cfg;
  auto* section = dynamic_cast<cHelvoSection*>(cfg.m_pDspCfg[0]->GetSection(eAnalogCfg));
  ASSERT_NE(section, nullptr);
  // Every key in write order, with its flags when it has any; "#" is the instance field.
  std::string keys;
  for (const CFilerEntry* e : section->GetFilerList()) {
    keys += e->GetKeyName().empty() ? "#" : e->GetKeyName();
    keys += e->GetFlags() ? ":" + std::to_string(e->GetFlags()) + " " : " ";
  }
  EXPECT_EQ(
      keys,
      "ELEMENT TYPE DESC INPUT_MODULE # ANGLE_OFFSET PHASE_ERR:1 PHASE_ERR:4 PRI_1 SEC_1 PRI_2 SEC_2 "
      "SCALE:1 PRI_UNIT SEC_UNIT:4 FULL_SCALE:4 ROC_INT NOM_VALUE:2 S_HARM_NUM H_MAG_T H_MAG_D H_MAG_A "
      "L_MAG_T L_MAG_D L_MAG_A N_ROC_T N_ROC_D N_ROC_A P_ROC_T P_ROC_D P_ROC_A S_HARM_T S_HARM_D S_HARM_A "
      "THD_T THD_D THD_A SAG_T:2 SAG_A:2 SWELL_T:2 SWELL_A:2 ");

  using Choice = std::pair<std::string, unsigned long>;
  std::vector<Choice> meters, states;
  for (const sMeterChoice& m : section->GetMeterChoices()) meters.emplace_back(m.m_strName, m.m_nTypeMask);
  for (const sStateChoice& s : section->GetStateChoices()) states.emplace_back(s.m_strName, s.m_nTypeMask);
  EXPECT_EQ(
      meters,
      (std::vector<Choice>{
          {"Mag", 0x8000FF0}, {"Ang", 0x8000FF0}, {"THD", 0x8000FF0}, {"Har", 0x8000FF0}, {"\n", kDC}}));
  EXPECT_EQ(states, (std::vector<Choice>{{"HiLev", 0x8400FF0},
                                         {"LoLev", 0x8400FF0},
                                         {"+ROC", 0x8400FF0},
                                         {"-ROC", 0x8400FF0},
                                         {"THD", 0x8000FF0},
                                         {"Harm", 0x8000FF0},
                                         {"Sag", 0xF0},
                                         {"Swell", 0xF0}}));
  CAnalogCfg a;
  EXPECT_EQ(section->FindStateChoice(3)->GetFirstAction(&a), &a.m_oNRocAct);
  EXPECT_EQ(section->FindStateChoice(7)->GetSecondAction(&a), &a.m_oSwellAct);
  EXPECT_EQ(section->FindMeterChoice(4)->m_nIndex, 4);
  EXPECT_TRUE(section->GetReferenceAddresses().IsEmpty());
}

}  // namespace
}  // namespace helvo
