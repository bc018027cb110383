// Each configuration keeps its own header and generation: what it read, what a save at a version
// made it, what the host switched it to; other configurations loaded or saved meanwhile play no part.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "helvo/functions/analog.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

const char* const kExamples[] = {"recorder.cfg", "recorder-two-board-v6.cfg", "recorder-v7.cfg",
                                 "recorder-v203.cfg"};
constexpr int kVersions[] = {1, 2, 3, 4, 5, 6, 7, 201, 202, 203};

class CfgStateTest : public testing::CfgTest {
 protected:
  static std::string Example(const char* name) { return std::string(HELVO_EXAMPLES_DIR) + "/" + name; }
  std::unique_ptr<CHelvoCfg> Load(const std::string& path) {
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    EXPECT_EQ(cfg->m_eReadResult, eFilerNoError) << path;
    return cfg;
  }
  // The lines cfg writes at version (0: its own), without the CRC line and the set date.
  std::vector<std::string> Saved(CHelvoCfg& cfg, int version) {
    const std::string path = dir_.File("out.cfg");
    EXPECT_EQ(version ? cfg.WriteCfgFile(path, version, nullptr) : cfg.WriteCfgFile(path, nullptr), 1);
    std::istringstream in(dir_.Read("out.cfg"));
    std::vector<std::string> lines;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line))
      if (line.rfind("SET_DATE=", 0) != 0) lines.push_back(line);
    return lines;
  }
};

TEST_F(CfgStateTest, ASaveAtAVersionMakesAConfigurationOfThatVersion) {
  for (const char* example : kExamples) {
    for (int version : kVersions) {
      SCOPED_TRACE(::testing::Message() << example << " at " << version);
      auto cfg = Load(Example(example));
      const auto atVersion = Saved(*cfg, version);
      EXPECT_EQ(Saved(*cfg, 0), atVersion);
    }
  }
}

TEST_F(CfgStateTest, SavesDoNotDependOnOtherConfigurations) {
  constexpr int kTargets[] = {0, 3, 201};
  std::vector<std::vector<std::string>> alone;
  for (const char* example : kExamples) {
    auto cfg = Load(Example(example));
    for (int version : kTargets) alone.push_back(Saved(*cfg, version));
  }
  std::vector<std::unique_ptr<CHelvoCfg>> all;
  for (const char* example : kExamples) all.push_back(Load(Example(example)));
  for (size_t t = 0; t < std::size(kTargets); ++t)
    for (size_t k = 0; k < all.size(); ++k)
      EXPECT_EQ(Saved(*all[k], kTargets[t]), alone[k * std::size(kTargets) + t]) << kExamples[k] << " " << t;
}

TEST_F(CfgStateTest, AGenerationSwitchSticksThroughASaveAndAReload) {
  for (int version : {6, 201}) {
    SCOPED_TRACE(version);
    auto cfg = Load(Example("recorder.cfg"));
    auto other = Load(Example("recorder-v203.cfg"));  // reads another header meanwhile
    ASSERT_EQ(cfg->UpdateIedGen(2), 1);
    cHelvoDspCfg* board2 = cfg->m_pDspCfg[1];
    std::string name = "Board 2";
    auto* element = new CElementName(name, board2);
    board2->Add(element);
    auto* analog = new CAnalogCfg(board2, element, CHelvoCfgTables::LookupType("Va")->m_nFlags);
    analog->SetChannelNumber(1);
    board2->Add(analog);
    element->Add(analog);
    ASSERT_EQ(cfg->WriteCfgFile(dir_.File("out.cfg"), version, nullptr), 1);
    auto back = Load(dir_.File("out.cfg"));
    const CPhasor* kept =
        version < 201 ? back->m_pDspCfg[1]->m_pAnalog[0] : back->m_pDspCfg[0]->m_pAnalog[18];
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(back->m_State.m_iIedGen, version < 201 ? 2 : 4);
  }
}

TEST_F(CfgStateTest, ANewerRecorderSavedAtAnOlderVersionIsAOneBoardRecorderWithItsWholeTrend) {
  // The save counts the trend entries at the generation of the file it writes; at the configuration's
  // own generation it counted two of the four it wrote, and the file named three banks.
  auto cfg = Load(Example("recorder-v203.cfg"));
  ASSERT_EQ(cfg->WriteCfgFile(dir_.File("out.cfg"), 5, nullptr), 1);
  auto back = Load(dir_.File("out.cfg"));
  ASSERT_NE(back->m_pTrend, nullptr);
  EXPECT_EQ(dynamic_cast<cTrend&>(*back->m_pTrend).m_nCount, 4);
  EXPECT_EQ(std::tuple(back->m_pIdCfg->m_nNumBanks, back->m_State.m_iIedGen), std::tuple(1, 1));
}

}  // namespace
}  // namespace helvo
