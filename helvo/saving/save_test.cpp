#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "helvo/functions/analog.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/platform/format.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

class SaveTest : public testing::CfgTest {
 protected:
  SaveTest() {
    setenv("TZ", "UTC", 1);
    setenv("SOURCE_DATE_EPOCH", "1709543103", 1);  // 2024-03-04 09:05:03 UTC
    tzset();
  }
  ~SaveTest() override {
    unsetenv("SOURCE_DATE_EPOCH");
    unsetenv("TZ");
    tzset();
  }

  // A settings file of version with one analog voltage and current channel, a summation and an
  // element per board, two meter groups, a trend and limits. extra goes before [END].
  std::string Write(const std::string& name, int version, int boards, const std::string& extra = "",
                    const std::string& setDate = "04 Jan 15 13:45:10") {
    std::string s = Format(
        "[ID]\nLOAD_DATE=86400\nSET_DATE=%s\nSETTINGS_VERS=%d\nSERIAL_NUM=7\nCOMMENTS=None\nNUM_BANKS=%d\n"
        "SYSTEM_FREQUENCY=60\n",
        setDate.c_str(), version, boards);
    if (version >= 201) s += "NUM_A_CHANNELS=18\nSAMPLE_RATE=96\n";
    const char* v = version < 5 ? "AC:69V:2x" : "815201";
    const char* i = version < 5 ? "AC:5A:20x" : "815204";
    // Each key only in the versions that hold it (a file holding more is warned about on loading).
    const char* units = version < 5 ? "" : "SEC_UNIT=V\nFULL_SCALE=100\n";
    const char* unitsI = version < 5 ? "" : "SEC_UNIT=A\nFULL_SCALE=100\n";
    for (int g = 1; g <= boards; ++g)
      s += Format(
          "\n[ELEMENT%d-1]\nNAME=Line\n\n[ANALOG_INPUT%d-1]\nELEMENT=Line\nTYPE=Va\nINPUT_MODULE=%s\nPRI_1="
          "69\n"
          "SEC_1=69\nPRI_2=-69\nSEC_2=-69\nPRI_UNIT=kV\n%s\n[ANALOG_INPUT%d-2]\n"
          "ELEMENT=Line\nTYPE=Ia\nINPUT_MODULE=%s\nPRI_1=600\nSEC_1=5\nPRI_2=-600\nSEC_2=-5\nPRI_UNIT=A\n"
          "%s\n[SUMMATION%d-1]\nELEMENT=Line\nTYPE=VaSum\nINPUT1_INDEX=0\n",
          g, g, v, units, g, i, unitsI, g);
    s += "\n[METERING_GROUP1]\nNAME=Main\nINDEX1=0\n\n[METERING_GROUP2]\nNAME=Aux\nINDEX1=1\n\n"
         "[EXTENDED_TREND1]\nIX1=0\nOP01=2\nIX2=1\nOP02=0\n\n[LIMITS]\n" +
         std::string(version < 6 ? "" : "REC_ALARM=3\n") + "\n" + extra + "[END]\n";
    return dir_.Write(name, testing::SettingsFile(s));
  }

  std::unique_ptr<CHelvoCfg> Load(const std::string& path) {
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    EXPECT_EQ(cfg->m_eReadResult, eFilerNoError) << path;
    return cfg;
  }
  std::vector<std::string> Body(const std::string& path) {
    return testing::BodyLines(dir_.Read(path.substr(dir_.path().size() + 1)));
  }
  static bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

TEST_F(SaveTest, LoadSaveLoadSaveIsByteIdenticalAndASecondSaveOfTheSameObjectToo) {
  struct Case {
    int version, boards;
    const char* extra;
  };
  // The PMU phasor makes every save at 202 or later append the hidden PMU meter group (loading takes
  // the last group of the file for it).
  const char* pmu = "[PHASOR1-1]\nNAME=P1\nINP_INDEX=0\nINP_TYPE=0\n\n";
  for (Case c : {Case{5, 1, ""}, Case{201, 1, ""}, Case{203, 1, pmu}, Case{7, 2, ""}}) {
    SCOPED_TRACE(Format("version %d, %d boards", c.version, c.boards));
    auto cfg = Load(Write("in.set", c.version, c.boards, c.extra));
    ASSERT_EQ(cfg->WriteCfgFile(dir_.File("a.set"), nullptr), 1);
    ASSERT_EQ(cfg->WriteCfgFile(dir_.File("b.set"), nullptr), 1);
    auto again = Load(dir_.File("a.set"));
    ASSERT_EQ(again->WriteCfgFile(dir_.File("c.set"), nullptr), 1);
    EXPECT_EQ(dir_.Read("b.set"), dir_.Read("a.set"));
    EXPECT_EQ(dir_.Read("c.set"), dir_.Read("a.set"));
    const auto lines = Body(dir_.File("a.set"));
    EXPECT_TRUE(Has(lines, "SET_DATE=04 Jan 15 13:45:10"));
    EXPECT_EQ(Has(lines, "NAME=PMU"), *c.extra != '\0');
  }
  EXPECT_TRUE(ui_.messages.empty()) << ui_.messages[0].text;
}

TEST_F(SaveTest, ALatchIsDefinedByItsOutsideInputs) {
  // A seal-in (digital input 1 OR its own state, state 1056) and a function fed by it; without the
  // digital input nothing outside defines the latch.
  const std::string latch =
      "[LOGIC1-1]\nELEMENT=Line\nINPUT1=1024\nOPER1=2\nINPUT2=1056\n\n[LOGIC1-2]\nELEMENT=Line\nINPUT1="
      "1056\n\n";
  for (bool input : {true, false}) {
    SCOPED_TRACE(input);
    auto cfg = Load(Write("in.set", 6, 1, (input ? "[DIGITAL_INPUT1-1]\nELEMENT=Line\n\n" : "") + latch));
    ASSERT_EQ(cfg->WriteCfgFile(dir_.File("a.set"), nullptr), 1);
    const auto lines = Body(dir_.File("a.set"));
    EXPECT_EQ(Has(lines, "INPUT2=1056"), input);
    EXPECT_EQ(Has(lines, "INPUT1=1056"), input);
    EXPECT_EQ(Has(lines, "INPUT1=1024"), input);
  }
}

TEST_F(SaveTest, SummationFactorsFollowInputOneInOneSave) {
  // Summation 2 takes its factors from summation 3, which follows the current channel (600 : 5).
  auto cfg =
      Load(Write("in.set", 6, 1,
                 "[SUMMATION1-2]\nELEMENT=Line\nTYPE=IaSum\nINPUT1_INDEX=20\n\n[SUMMATION1-3]\nELEMENT="
                 "Line\nTYPE=IaSum\nINPUT1_INDEX=1\n\n"));
  ASSERT_EQ(cfg->WriteCfgFile(dir_.File("a.set"), nullptr), 1);
  const auto lines = Body(dir_.File("a.set"));
  const auto sum2 = std::find(lines.begin(), lines.end(), "[SUMMATION1-2]");
  ASSERT_NE(sum2, lines.end());
  EXPECT_EQ(std::find(sum2, lines.end(), "PRI_FACTOR=600"), sum2 + 6);
  ASSERT_EQ(Load(dir_.File("a.set"))->WriteCfgFile(dir_.File("b.set"), nullptr), 1);
  EXPECT_EQ(dir_.Read("b.set"), dir_.Read("a.set"));
}

TEST_F(SaveTest, ConversionsDropWhatTheTargetCannotHold) {
  std::string groups;
  for (int n = 3; n <= 11; ++n) groups += Format("[METERING_GROUP%d]\nNAME=G%d\n\n", n, n);
  auto cfg = Load(Write("in.set", 7, 1, groups));
  // A channel whose module has no old name cannot be described to a version-4 recorder.
  auto* current = dynamic_cast<CAnalogCfg*>(cfg->m_pDspCfg[0]->m_pAnalog[1]);
  ASSERT_NE(current, nullptr);
  current->m_oModuleType.SetModuleType("815207");
  ASSERT_EQ(cfg->WriteCfgFile(dir_.File("v4.set"), 4, nullptr), 1);
  const auto lines = Body(dir_.File("v4.set"));
  for (const char* line : {"SET_DATE=24 Mar 04 09:05:03", "PRI_UNIT=KV", "[METERING_GROUP10]"})
    EXPECT_TRUE(Has(lines, line)) << line;
  for (const char* line : {"[ANALOG_INPUT1-2]", "[CH_GRP1-1]", "REC_ALARM=3", "[METERING_GROUP11]"})
    EXPECT_FALSE(Has(lines, line)) << line;
  EXPECT_EQ(cfg->m_MeterGroupList.GetCount(), 10u);
  EXPECT_EQ(cfg->GetIdCfg()->m_nSettingsVers, 4);
  ASSERT_EQ(cfg->WriteCfgFile(dir_.File("v3.set"), 3, nullptr), 1);
  EXPECT_EQ(cfg->m_MeterGroupList.GetCount(), 8u);
  EXPECT_FALSE(Has(Body(dir_.File("v3.set")), "[EXTENDED_TREND1]"));

  // Version 201 keeps everything above but neither PMU phasors nor CDR channels.
  auto newer = Load(Write("in.set", 7, 1));
  ASSERT_EQ(newer->WriteCfgFile(dir_.File("v201.set"), 201, nullptr), 1);
  const auto v201 = Body(dir_.File("v201.set"));
  for (const char* line : {"NUM_A_CHANNELS=18", "REC_ALARM=3", "PRI_UNIT=kV", "[ANALOG_INPUT1-2]"})
    EXPECT_TRUE(Has(v201, line)) << line;
  EXPECT_TRUE(newer->m_pDspCfg[0]->GetPMUList().IsEmpty() && newer->m_pDspCfg[0]->GetCDRList().IsEmpty());
}

TEST_F(SaveTest, TwoBoardsFoldIntoOneGroupOnceHoweverOftenSaved) {
  auto cfg = Load(Write("in.set", 6, 2, "[FREQUENCY1-1]\nIN_INDEX=0\n\n[FREQUENCY2-1]\nIN_INDEX=0\n\n"));
  ASSERT_EQ(cfg->WriteCfgFile(dir_.File("a.set"), 201, nullptr), 1);
  ASSERT_EQ(cfg->WriteCfgFile(dir_.File("b.set"), 201, nullptr), 1);
  EXPECT_EQ(dir_.Read("b.set"), dir_.Read("a.set"));
  const auto lines = Body(dir_.File("a.set"));
  for (const char* line : {"[ELEMENT1-2]", "NAME=Line:2", "[ANALOG_INPUT1-19]", "[SUMMATION1-16]",
                           "NUM_BANKS=1", "NUM_A_CHANNELS=36"})
    EXPECT_TRUE(Has(lines, line)) << line;
  EXPECT_FALSE(Has(lines, "[CH_GRP2-1]"));
  // Each board's frequency function once, numbered in board order.
  for (const char* once : {"[CH_GRP1-1]", "[FREQUENCY1-1]", "[FREQUENCY1-2]"})
    EXPECT_EQ(std::count(lines.begin(), lines.end(), once), 1) << once;
  EXPECT_EQ(dynamic_cast<CElementName&>(*cfg->m_pDspCfg[1]->GetElementList().GetHead()).GetName(), "Line:2");
  // The file reads back as one group with both boards' channels.
  auto folded = Load(dir_.File("a.set"));
  EXPECT_NE(folded->m_pDspCfg[0]->m_pAnalog[18], nullptr);
  EXPECT_EQ(folded->m_pDspCfg[0]->GetElementList().GetCount(), 2u);

  // With no channel on the first board fit to be the angle reference, the folded file names the
  // second board's (its second channel here), as a reload of that file chooses it.
  const std::string secondBoard = testing::SettingsFile(
      "[ID]\nSETTINGS_VERS=7\nNUM_BANKS=2\nSYSTEM_FREQUENCY=60\n\n[ELEMENT2-1]\nNAME=Line\n\n"
      "[ANALOG_INPUT2-2]\nELEMENT=Line\nTYPE=Va\nINPUT_MODULE=815201\nPRI_1=69\nSEC_1=69\nPRI_2=-69\n"
      "SEC_2=-69\nPRI_UNIT=kV\nSEC_UNIT=V\n\n[FREQUENCY2-1]\nIN_INDEX=1\n\n");
  auto second = Load(dir_.Write("second.set", secondBoard));
  ASSERT_EQ(second->WriteCfgFile(dir_.File("c.set"), 201, nullptr), 1);
  EXPECT_TRUE(Has(Body(dir_.File("c.set")), "REF_ANA=19"));
  ASSERT_EQ(Load(dir_.File("c.set"))->WriteCfgFile(dir_.File("d.set"), nullptr), 1);
  EXPECT_TRUE(Has(Body(dir_.File("d.set")), "REF_ANA=19"));

  // Switched to one board, the second board's functions are not written, and neither is its
  // frequency function, whose input would otherwise be written as the first board's channel.
  auto one = Load(dir_.Write("one.set", secondBoard));
  one->UpdateIedGen(1);
  ASSERT_EQ(one->WriteCfgFile(dir_.File("e.set"), 201, nullptr), 1);
  const auto oneBoard = Body(dir_.File("e.set"));
  EXPECT_FALSE(Has(oneBoard, "[FREQUENCY1-1]"));
  EXPECT_FALSE(Has(oneBoard, "[ANALOG_INPUT1-20]"));
}

TEST_F(SaveTest, DuplicateTrendEntriesAreRemovedOnlyBelowVersion201) {
  // Entry 2 names the same meter with the same option as entry 1 (options compare modulo 32).
  for (int version : {4, 201}) {
    SCOPED_TRACE(version);
    ui_.Clear();
    auto cfg = Load(Write("in.set", 7, 1));
    auto* trend = dynamic_cast<cTrend*>(cfg->m_pTrend);
    ASSERT_NE(trend, nullptr);
    trend->m_Entries[1] = trend->m_Entries[0];
    trend->m_Entries[1].m_nOption = 34;
    ASSERT_EQ(cfg->WriteCfgFile(dir_.File("out.set"), version, nullptr), 1);
    EXPECT_EQ(trend->m_nCount, version < 201 ? 1 : 2);
    ASSERT_EQ(ui_.messages.size(), version < 201 ? 1u : 0u);
    if (version < 201) {
      EXPECT_EQ(ui_.messages[0].text.rfind("Removing duplicate entry in Trend List:\n Line:", 0), 0u);
      EXPECT_EQ(ui_.messages[0].title, "Writing Setting file");
    }
  }
}

TEST_F(SaveTest, SetDateTextsThatDoNotParseGiveTheLoadDate) {
  for (const char* text : {"99 dec 31 23:59:58", "04 Jam 15 13:45:10", "04 Jan 15", ""}) {
    SCOPED_TRACE(text);
    auto cfg = Load(Write("in.set", 7, 1, "", text));
    ASSERT_EQ(cfg->WriteCfgFile(dir_.File("out.set"), nullptr), 1);
    const bool good = text[0] == '9';
    EXPECT_TRUE(Has(Body(dir_.File("out.set")),
                    good ? "SET_DATE=99 Dec 31 23:59:58" : "SET_DATE=70 Jan 02 00:00:00"));
  }
}

TEST_F(SaveTest, AFailedSaveReturns0AndKeepsTheOldFile) {
  auto cfg = Load(Write("in.set", 7, 1));
  const std::string path = Write("old.set", 5, 1);
  const std::string before = dir_.Read("old.set");
  {
    testing::ScopedFileSizeLimit limit(100);
    EXPECT_EQ(cfg->WriteCfgFile(path, nullptr), 0);
    EXPECT_TRUE(ui_.Texts().size() == 1u);  // only the writer's own report
    EXPECT_EQ(cfg->WriteCfgFile(path, 7, nullptr), 0);
  }
  EXPECT_EQ(ui_.messages.back().text, "Unable to open the file - no permission to open the file for writing");
  EXPECT_EQ(dir_.Read("old.set"), before);
  // The object is in written form and still saves.
  EXPECT_EQ(cfg->m_pIdCfg, nullptr);
  EXPECT_EQ(cfg->WriteCfgFile(path, 7, nullptr), 1);
}

}  // namespace
}  // namespace helvo
