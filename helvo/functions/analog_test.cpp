#include "helvo/functions/analog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/records.h"
#include "helvo/platform/format.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/round_trip.h"
#include "helvo/testing/section_io.h"

namespace helvo {
namespace {

using testing::KeyAt;
using testing::Lines;
using AnalogTest = testing::CfgTest;

constexpr unsigned long kVa = 0x10, kIb = 0x200, kDC = 0x400000, kEI = 0x2000000;

// Every key at a non-default value, in write order; the module is named by catalogue number from
// version 5 on, by its old name before.
std::vector<KeyAt> AnalogKeys(int version) {
  std::vector<KeyAt> keys = {
      {"ELEMENT=Line7"},    {"TYPE=Ib"},
      {"DESC=Feeder B"},    {"INPUT_MODULE=" + std::string(version < 5 ? "AC:5A:20x" : "815204")},
      {"ANGLE_OFFSET=1.5"}, {"PHASE_ERR=3.1", 5},
      {"PRI_1=600"},        {"SEC_1=4.5"},
      {"PRI_2=-600"},       {"SEC_2=-4.5"},
      {"SCALE=600:5", 0},   {"PRI_UNIT=kA"},
      {"SEC_UNIT=mA", 5},   {"FULL_SCALE=90", 5},
      {"ROC_INT=4"},        {"NOM_VALUE=4.75", 4}};
  for (const char* detector : {"H_MAG", "L_MAG", "N_ROC", "P_ROC", "S_HARM", "THD"})
    for (const char* suffix : {"_T=12.5", "_D=240", "_A=69"})
      keys.push_back({detector + std::string(suffix)});
  keys.insert(keys.begin() + 16, {"S_HARM_NUM=5"});
  for (const char* line : {"SAG_T=80", "SAG_A=70", "SWELL_T=120", "SWELL_A=1863"}) keys.push_back({line, 4});
  return keys;
}

TEST_F(AnalogTest, EveryKeyRoundTripsWithTheKeysEachVersionWrites) {
  // Each file holds every key; loading names each key that its own version does not hold (and the
  // save then leaves out), once, with its line.
  std::vector<std::string> expected;
  for (int version : testing::kAllVersions) {
    testing::ExpectRoundTrip(testing::SectionText("ANALOG_INPUT1-4", AnalogKeys(version)), "ANALOG_INPUT",
                             AnalogKeys(version), {version});
    for (const KeyAt& key : AnalogKeys(version))
      if (key.from > version && !key.line.starts_with("PHASE_ERR"))  // a legacy field, never written
        expected.push_back("The parameter \"" + key.line.substr(0, key.line.find('=')) +
                           "\" is not held by Setting Files of version " + std::to_string(version) +
                           " and will not be saved at that version.");
  }
  std::vector<std::string> texts;
  for (const auto& m : ui_.messages) texts.push_back(m.text);
  EXPECT_EQ(texts, expected);
}

TEST_F(AnalogTest, PhaseErrorAndScaleTextAreReadIntoLegacyFieldsOnly) {
  auto cfg =
      testing::ReadBody(testing::IdSection(7) + testing::SectionText("ANALOG_INPUT1-4", AnalogKeys(7)) +
                        "[ANALOG_INPUT1-5]\nPHASE_ERR=7.5\nINPUT_MODULE=815203\n\n");
  auto* channel = dynamic_cast<CAnalogCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eAnalogCfg, 4));
  auto* first = dynamic_cast<CAnalogCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eAnalogCfg, 3));
  ASSERT_TRUE(channel && first);
  EXPECT_FLOAT_EQ(channel->m_fLegacyPhaseErr, 7.5f);
  EXPECT_FLOAT_EQ(channel->m_oModuleType.GetPhaseErr(), 0.4f);  // the module's, whatever the file says
  EXPECT_EQ(testing::WrittenKeys(*cfg, 5, "ANALOG_INPUT1-5")[4], "PHASE_ERR=0.4");  // no element, no ELEMENT
  EXPECT_EQ(first->m_strScale, "600:5");
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
  EXPECT_FLOAT_EQ(va.GetMaxMeasuredLevel(0), 138.0f);
  EXPECT_NEAR(va.GetMaxMeasuredLevel(1), 0.138f, 1e-6);  // kV

  // Flags of no analog type change no scale and leave the module empty, so no level is measured.
  dc.SetParent_Element_Flags(group, line, kEI);
  EXPECT_FLOAT_EQ(dc.m_Scale.m_fFullScale, 25.0f);
  EXPECT_FALSE(dc.m_oModuleType.IsValid());
  EXPECT_FLOAT_EQ(dc.GetMaxMeasuredLevel(1), 0.0f);

  // Names through the section's meter and state definitions.
  dc.SetParent_Element_Flags(group, line, kDC);
  dc.GetMeterName(name, 4);
  EXPECT_EQ(name, "Line1:DC");
  va.GetStateName(name, 6);
  EXPECT_EQ(name, "Line1:Va[Sag]");
}

TEST_F(AnalogTest, TypeMaskFollowsTheVersionAndAssignmentKeepsOwnership) {
  cFilerSections::m_nSettingVersion = 7;  // one board of 18 channels
  cFilerSections::m_nDSPBanks = 1;
  CHelvoCfg cfg;
  auto* id = new CIdCfg(&cfg);
  cfg.m_IdList.AddTail(id);
  CAnalogCfg in(cfg.m_pDspCfg[0], nullptr, kVa);
  CAnalogCfg a;
  EXPECT_EQ(a.GetpScale(), nullptr);

  // DC inputs from version 5.
  id->m_nSettingsVers = 4;
  EXPECT_EQ(in.GetTypeMask(), 0x8000FF0ul);
  id->m_nSettingsVers = 5;
  EXPECT_EQ(in.GetTypeMask(), 0x8400FF0ul);
  EXPECT_EQ(in.GetTypeMask(4u), 0x8000FF0ul);

  in.m_fLegacyPhaseErr = 9.0f;
  in.m_oTHDDelay.m_fSeconds = 4.0f;
  in.SetChannelNumber(9);
  EXPECT_FALSE(a.AreInputsDefined());
  a = in;
  EXPECT_FLOAT_EQ(a.m_fLegacyPhaseErr, 0.0f);  // not copied
  EXPECT_EQ(a.m_oSagAct.GetParent(), &a);      // the copy's blocks stay its own
  EXPECT_FLOAT_EQ(a.m_oTHDDelay.m_fSeconds + a.m_Scale.m_fSec1, 4.0f + 69.0f);
  EXPECT_TRUE(a.AreInputsDefined());
  a.m_bDirty = 1;
  EXPECT_FALSE(a.AreInputsDefined());
}

TEST_F(AnalogTest, MetersAndStatesByType) {
  CHelvoCfg cfg;
  auto* section = dynamic_cast<cHelvoSection*>(cfg.m_pDspCfg[0]->GetSection(eAnalogCfg));
  ASSERT_NE(section, nullptr);
  std::string meters, states;
  for (const sMeterChoice& m : section->GetMeterChoices())
    meters += Format("%s:%lx ", m.m_strName.c_str(), m.m_nTypeMask);
  for (const sStateChoice& s : section->GetStateChoices())
    states += Format("%s:%lx ", s.m_strName.c_str(), s.m_nTypeMask);
  EXPECT_EQ(meters, "Mag:8000ff0 Ang:8000ff0 THD:8000ff0 Har:8000ff0 \n:400000 ");
  EXPECT_EQ(
      states,
      "HiLev:8400ff0 LoLev:8400ff0 +ROC:8400ff0 -ROC:8400ff0 THD:8000ff0 Harm:8000ff0 Sag:f0 Swell:f0 ");
  CAnalogCfg a;
  EXPECT_EQ(section->FindStateChoice(3)->GetFirstAction(&a), &a.m_oNRocAct);
  EXPECT_EQ(section->FindStateChoice(7)->GetSecondAction(&a), &a.m_oSwellAct);
}

// Writing at version 201 folds the channel groups: the second group's functions are numbered after
// the first group's, class by class (one write: folding renumbers the model itself).
TEST_F(AnalogTest, EveryFunctionOfTheSecondGroupIsRenumberedWhenTheGroupsAreFolded) {
  const Lines read = {"[ANALOG_INPUT1-3]", "[ANALOG_INPUT2-3]", "[DIGITAL_INPUT2-5]", "[SUMMATION2-3]",
                      "[SEQUENCE2-2]",     "[IMPEDANCE2-1]",    "[WATTS/VARS2-3]",    "[PFDET2-2]",
                      "[FREQUENCY2-1]",    "[LOGIC2-3]",        "[FAULT_LOCATOR2-2]"};
  const Lines folded = {"[ANALOG_INPUT1-3]", "[ANALOG_INPUT1-21]", "[DIGITAL_INPUT1-37]", "[SUMMATION1-18]",
                        "[SEQUENCE1-8]",     "[IMPEDANCE1-10]",    "[WATTS/VARS1-12]",    "[PFDET1-11]",
                        "[FREQUENCY1-1]",    "[LOGIC1-18]",        "[FAULT_LOCATOR1-7]"};
  std::string body = testing::IdSection(6, 2);
  for (const std::string& header : read) body += header + "\n\n";
  auto cfg = testing::ReadBody(body);
  auto only = [&](const Lines& headers) {  // the sections read, in the order of `read`
    Lines kept;
    for (const std::string& r : read)
      for (const std::string& h : headers)
        if (h.compare(0, h.find('-') - 1, r, 0, r.find('-') - 1) == 0 &&
            std::find(kept.begin(), kept.end(), h) == kept.end())
          kept.push_back(h);
    return kept;
  };
  EXPECT_EQ(only(testing::WrittenHeaders(*cfg, 6)), read);
  EXPECT_EQ(only(testing::WrittenHeaders(*cfg, 201)), folded);
  EXPECT_EQ(cfg->m_pDspCfg[1]->m_pSummation[2]->GetChannelNumber(), 18);
}

}  // namespace
}  // namespace helvo
