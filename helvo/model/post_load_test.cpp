#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "helvo/functions/fault_locator.h"
#include "helvo/functions/frequency.h"
#include "helvo/functions/logic.h"
#include "helvo/functions/pf_detector.h"
#include "helvo/functions/sequence.h"
#include "helvo/functions/summation.h"
#include "helvo/functions/watts_vars.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/platform/format.h"
#include "helvo/testing/model_fixture.h"

namespace helvo {
namespace {

using testing::SettingsFile;

// The functions of one board: a voltage-and-current element with a summation, a sequence, a
// watts/vars function, a frequency function, a logic function and a fault locator triggered by state
// 1 of Ia, a PF detector and an external input. Phasor index of analog n: n - 1.
std::string Board(int b, int seqBase, int iaState1) {
  const std::string g = std::to_string(b) + "-";
  return Format(
      "[ELEMENT%s1]\nNAME=Line%d\n\n"
      "[ANALOG_INPUT%s1]\nELEMENT=Line%d\nTYPE=Va\nPRI_UNIT=KV\n\n[ANALOG_INPUT%s2]\nELEMENT=Line%d\nTYPE="
      "Vb\n\n"
      "[ANALOG_INPUT%s3]\nELEMENT=Line%d\nTYPE=Vc\n\n[ANALOG_INPUT%s4]\nELEMENT=Line%d\nTYPE=Ia\n\n"
      "[SUMMATION%s1]\nELEMENT=Line%d\nTYPE=VaSum\nINPUT1_INDEX=0\nINPUT2_INDEX=1\n\n"
      "[SEQUENCE%s2]\nELEMENT=Line%d\nTYPE=Vseq\nPH_A_INDEX=0\nPH_B_INDEX=1\nPH_C_INDEX=2\n\n"
      "[WATTS/VARS%s1]\nELEMENT=Line%d\nV_INDEX=%d\nI_INDEX=3\nROC_INT=5\nWATTS1ROC_INT=9\n\n"
      "[FREQUENCY%s1]\nIN_INDEX=0\n\n[LOGIC%s1]\nELEMENT=Line%d\nINPUT1=%d\n\n"
      "[PFDET%s1]\nELEMENT=Line%d\nINPUT=0\n\n[DIGITAL_INPUT%s3]\nELEMENT=Line%d\n\n"
      "[FAULT_LOCATOR%s1]\nELEMENT=Line%d\nTRIG_INDEX=%d\nVA_INDEX=0\nIC_INDEX=3\n\n"
      "[CH_GRP%s1]\nREF_ANA=40\n\n[CH_GRP%s1]\nREF_ANA=3\n\n",
      g.c_str(), b, g.c_str(), b, g.c_str(), b, g.c_str(), b, g.c_str(), b, g.c_str(), b, g.c_str(), b,
      g.c_str(), b, seqBase + 3, g.c_str(), g.c_str(), b, iaState1, g.c_str(), b, g.c_str(), b, g.c_str(), b,
      iaState1, g.c_str(), g.c_str());
}

struct Generation {
  const char* header;
  int gen, boards, meterSize, seqPhasorBase, iaState1, seqMeter1OfFunction2;
};

class PostLoadTest : public testing::ModelTest {
 protected:
  std::unique_ptr<CHelvoCfg> Load(const std::string& body) {
    auto cfg = std::make_unique<CHelvoCfg>(dir_.Write("in.cfg", SettingsFile(body + "[END]\n")), 0);
    EXPECT_EQ(cfg->m_eReadResult, eFilerNoError);
    return cfg;
  }
};

TEST_F(PostLoadTest, EveryGenerationLinksItsFunctionsMetersAndTrend) {
  const Generation gens[] = {
      {"SETTINGS_VERS=3\nNUM_BANKS=1", 1, 1, 235, 33, 35, 124},
      {"SETTINGS_VERS=5\nNUM_BANKS=2", 2, 2, 244, 33, 35, 124},
      {"SETTINGS_VERS=7\nNUM_BANKS=1", 1, 1, 244, 33, 35, 124},
      {"SETTINGS_VERS=201\nNUM_A_CHANNELS=18", 3, 1, 488, 66, 35, 244},
      {"SETTINGS_VERS=203\nNUM_A_CHANNELS=36", 4, 1, 524, 66, 67, 248},  // sequence meters two apart
  };
  for (const Generation& g : gens) {
    SCOPED_TRACE(g.header);
    std::string body = std::string("[ID]\n") + g.header + "\n\n";
    for (int b = 1; b <= g.boards; ++b) body += Board(b, g.seqPhasorBase, g.iaState1);
    const int lastBoard = (g.boards - 1) * g.meterSize;  // the second board's table follows the first
    body += Format("[METERING_GROUP1]\nNAME=G\nINDEX1=6\nINDEX2=%d\nINDEX3=%d\nINDEX4=9999\nCOUNT=4\n\n",
                   g.seqMeter1OfFunction2, lastBoard + 6);
    body += Format("[EXTENDED_TREND]\nALMCONTACT=7\nIX1=%d\n\n[EXTENDED_TREND]\nALMCONTACT=8\n\n",
                   lastBoard + g.seqMeter1OfFunction2);
    auto cfg = Load(body);
    EXPECT_EQ(CHelvoCfg::m_iIedGen, g.gen);
    EXPECT_TRUE(ui_.messages.empty());
    for (int b = 0; b < g.boards; ++b) {
      cHelvoDspCfg& grp = *cfg->m_pDspCfg[b];
      auto* element = grp.VerifyElementNamed(Format("Line%d", b + 1));
      ASSERT_NE(element, nullptr);
      CPhasor* va = grp.m_pAnalog[0];
      EXPECT_EQ(element->GetKindList(0).GetCount(), 4u);  // Va, Vb, Vc, VaSum
      for (int kind = 1; kind <= 10; ++kind)
        EXPECT_EQ(element->GetKindList(kind).GetCount(), kind == 2 || kind == 4 || kind == 5 ? 0u : 1u)
            << kind;
      auto& locator = dynamic_cast<cFaultLocCfg&>(*grp.m_pFaultLoc[0]);
      EXPECT_EQ(locator.m_orefTrigger.m_pPhasor, grp.m_pAnalog[3]);
      EXPECT_EQ(locator.GetInputPhasor(cFaultLocCfg::eIC), grp.m_pAnalog[3]);
      EXPECT_STREQ(va->GetPriUnit(), "kV");
      EXPECT_EQ(grp.GetRefChannel(), grp.m_pAnalog[3]);  // the last CH_GRP decides
      auto& sum = dynamic_cast<CSummationCfg&>(*grp.m_pSummation[0]);
      EXPECT_EQ(sum.GetInputPhasor(0), va);
      auto& seq = dynamic_cast<CSequenceCfg&>(*grp.m_pSequence[1]);
      EXPECT_EQ(seq.m_orefInput[2].m_pPhasor, grp.m_pAnalog[2]);
      auto& wv = dynamic_cast<CWattsVarsCfg&>(*grp.m_pWattsVars[0]);
      EXPECT_EQ(wv.GetVoltsInputPhasor(), &seq);
      EXPECT_EQ(wv.GetAmpsInputPhasor(), grp.m_pAnalog[3]);
      EXPECT_EQ(wv.m_nWatts1RocInterval + wv.m_nWatts2RocInterval + wv.m_nVarsRocInterval, 15);
      EXPECT_EQ(dynamic_cast<CFrequencyCfg&>(*grp.m_pFrequency[0]).GetInputPhasor(), va);
      auto& logic = dynamic_cast<cLogicCfg&>(*grp.m_pLogic[0]);
      EXPECT_EQ(std::pair(logic.m_orefInputs[0].m_pPhasor, logic.m_orefInputs[0].m_nNumber),
                std::pair(grp.m_pAnalog[3], 1));
      EXPECT_EQ(dynamic_cast<cPFDetCfg&>(*grp.m_pPFDet[0]).GetInputPhasor(), &wv);
    }
    const auto& meters = dynamic_cast<CMeterGroup&>(*cfg->m_MeterGroupList.GetHead()).m_Meters;
    EXPECT_EQ(std::pair(meters[0].m_pPhasor, meters[0].m_nMeter),
              std::pair(cfg->m_pDspCfg[0]->m_pAnalog[1], 1));
    EXPECT_EQ(meters[1].m_pPhasor, cfg->m_pDspCfg[0]->m_pSequence[1]);
    EXPECT_EQ(meters[2].m_pPhasor, cfg->m_pDspCfg[g.boards - 1]->m_pAnalog[1]);
    // Beyond every block: left as read.
    EXPECT_EQ(std::pair(meters[3].m_pPhasor, meters[3].m_nMeter), (std::pair<CPhasor*, int>(nullptr, 9999)));
    auto& trend = dynamic_cast<cTrend&>(*cfg->m_pTrend);
    EXPECT_EQ(trend.m_Entries[0].m_pPhasor, cfg->m_pDspCfg[g.boards - 1]->m_pSequence[1]);
    EXPECT_EQ(cfg->m_pStorageAlarms->m_nTrendAlarm, 7);
    EXPECT_EQ(cfg->m_TrendList.GetCount(), 1u);  // a second trend stays listed
  }
}

TEST_F(PostLoadTest, BadDefinitionsAreRepairedWithOneMessage) {
  auto cfg = Load(
      "[ID]\nSETTINGS_VERS=7\nNUM_BANKS=1\n\n[ELEMENT1-1]\nNAME=Bus\n\n"
      "[ANALOG_INPUT1-2]\nELEMENT=Bus\nTYPE=Vx\nDESC=odd\n\n"
      "[ANALOG_INPUT1-3]\nELEMENT=Bus\nTYPE=Va\nDESC=first\n\n[ANALOG_INPUT1-3]\nELEMENT=Bus\nTYPE=Vb\n\n"
      "[ANALOG_INPUT1-4]\nELEMENT=Bus\nTYPE=Ia\nINPUT_MODULE=815204\nSEC_UNIT=\nFULL_SCALE=0\n\n"
      "[ANALOG_INPUT1-40]\nELEMENT=Bus\nTYPE=Ic\n\n[ANALOG_INPUT1-0]\nTYPE=Ib\n\n"
      "[SUMMATION1-1]\nELEMENT=Bus\nTYPE=VaSum\nINPUT1_INDEX=9\nINPUT2_INDEX=-1\n\n"
      "[SUMMATION1-99]\nTYPE=VaSum\n\n[SUMMATION]\nTYPE=VaSum\n\n"
      "[PFDET1-1]\nELEMENT=Bus\nINPUT=-1\n\n[CH_GRP1-1]\nREF_ANA=-1\n\n");
  EXPECT_EQ(ui_.Texts(),
            std::vector<std::string>{"Invalid Analog Type, the definition for Bus:???:odd will be removed."});
  EXPECT_EQ(ui_.messages.at(0).style, MB_OK | MB_ICONWARNING);
  cHelvoDspCfg& grp = *cfg->m_pDspCfg[0];
  EXPECT_EQ(grp.m_pAnalog[1], nullptr);
  EXPECT_STREQ(grp.m_pAnalog[2]->GetTypeString(), "Vb");  // a later definition replaces an earlier one
  const cScale& ia = grp.m_pAnalog[3]->m_Scale;
  EXPECT_FALSE(ia.m_strSecUnit.empty());  // from the module
  EXPECT_GT(ia.m_fFullScale, 0.0f);
  EXPECT_EQ(grp.GetRefChannel(), grp.m_pAnalog[0]);  // slot 0, empty here
  auto& sum = dynamic_cast<CSummationCfg&>(*grp.m_pSummation[0]);
  EXPECT_EQ(sum.GetInputPhasor(0) || sum.GetInputPhasor(1), false);  // no channel 10, index -1
  EXPECT_EQ(dynamic_cast<cPFDetCfg&>(*grp.m_pPFDet[0]).GetInputPhasor(), nullptr);
  // Functions outside every table are still owned by the group (the sanitizer build checks the rest).
  EXPECT_EQ(grp.GetUnfiledList().GetCount(), 4u);  // analog 40 and 0, summation 99 and one without number
  EXPECT_TRUE(grp.GetClassList(eAnalogCfg).IsEmpty());
  // Linking a list again (as after a save, whose written form empties the tables) keeps ownership.
  auto* waiting = new CSummationCfg;
  grp.GetClassList(eSummationCfg).AddTail(waiting);
  grp.PostLoadProcess(cfg.get());
  const auto& unfiled = grp.GetUnfiledList();
  EXPECT_NE(std::find(unfiled.begin(), unfiled.end(), waiting), unfiled.end());
}

TEST_F(PostLoadTest, InputLoopsAreKeptAsTheFileGivesThemAndLookUpsEnd) {
  // Summation 1 names itself as input 2; summation 2 and the sequence name each other as input 1.
  auto cfg = Load(
      "[ID]\nSETTINGS_VERS=7\nNUM_BANKS=1\n\n[ELEMENT1-1]\nNAME=Bus\n\n[ANALOG_INPUT1-1]\nELEMENT=Bus\nTYPE="
      "Va\n\n"
      "[SUMMATION1-1]\nELEMENT=Bus\nTYPE=VaSum\nINPUT1_INDEX=0\nINPUT2_INDEX=18\n\n"
      "[SUMMATION1-2]\nELEMENT=Bus\nTYPE=VaSum\nINPUT1_INDEX=33\n\n"
      "[SEQUENCE1-1]\nELEMENT=Bus\nTYPE=Vseq\nPH_A_INDEX=19\nPH_B_INDEX=0\n\n"
      "[FREQUENCY1-1]\nIN_INDEX=19\n\n");
  cHelvoDspCfg& grp = *cfg->m_pDspCfg[0];
  auto& self = dynamic_cast<CSummationCfg&>(*grp.m_pSummation[0]);
  auto& sum2 = dynamic_cast<CSummationCfg&>(*grp.m_pSummation[1]);
  auto& seq = dynamic_cast<CSequenceCfg&>(*grp.m_pSequence[0]);
  EXPECT_EQ(self.GetInputPhasor(1), &self);
  EXPECT_EQ(sum2.GetInputPhasor(0), &seq);
  EXPECT_EQ(seq.GetInputPhasor(0), &sum2);
  EXPECT_EQ(dynamic_cast<CFrequencyCfg&>(*grp.m_pFrequency[0]).GetInputPhasor(), &sum2);
  // Every look-up that follows inputs comes back.
  for (CPhasor* f : {grp.m_pSummation[0], grp.m_pSummation[1], grp.m_pSequence[0], grp.m_pFrequency[0]})
    (void)f->GetpScale(), (void)f->GetPriUnit(), (void)f->AreInputsDefined(), (void)f->GetMaxMeasuredLevel(1);
  // A save writes the references back as read.
  ASSERT_EQ(cfg->WriteCfgFile(dir_.File("out.cfg"), nullptr), 1);
  const auto lines = testing::BodyLines(dir_.Read("out.cfg"));
  for (const char* line : {"INPUT2_INDEX=18", "INPUT1_INDEX=33", "PH_A_INDEX=19"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

TEST_F(PostLoadTest, PmuDefinitionDropsTheLastNumberedMeterGroup) {
  for (bool pmu : {false, true}) {
    CHelvoCfg cfg;
    StringList lines =
        List({"[ID]", "SETTINGS_VERS=7", "", "[METERING_GROUP2]", "NAME=A", "", "[METERING_GROUP3]",
              "NAME=PMU", "", "[METERING_GROUP1]", "NAME=B", "", "[END]"});
    StringList::Position pos;
    cfg.ReadCfgFile(lines, pos);
    if (pmu) dynamic_cast<CPMU&>(*cfg.m_pDspCfg[0]->GetPMUList().GetHead()).m_nInputIndex = 0;
    cfg.PostLoadProcess();
    EXPECT_EQ(cfg.m_MeterGroupList.GetCount(), pmu ? 2u : 3u);
    EXPECT_EQ(cfg.VerifyMeterGroupNamed("PMU") == nullptr, pmu);
  }
}

}  // namespace
}  // namespace helvo
