#include "helvo/report/signal_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "helvo/functions/logic.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

// The one-board example: line 1 with voltages, currents, a residual summation, sequence, impedance,
// watts/vars, frequency, fault locator, PF detector, one logic function ORing the three voltages'
// HiLev states, three meter groups and a trend.
class SignalFlowTest : public testing::CfgTest {
 protected:
  SignalFlowTest() : cfg_(HELVO_EXAMPLES_DIR "/recorder-v7.cfg", 0) {}

  CPhasor* Fn(eHelvoCfgClass cls, int channel) {
    return cfg_.m_pDspCfg[0]->GetIndexedPhasorAddress(cls, channel - 1);
  }
  int Node(const sSignalFlow& flow, const std::string& label) {
    for (size_t i = 0; i < flow.m_Nodes.size(); ++i)
      if (flow.m_Nodes[i].m_strLabel == label) return static_cast<int>(i);
    ADD_FAILURE() << "no node " << label;
    return -1;
  }
  // "from -> to [label]" for each edge, sorted.
  std::multiset<std::string> EdgesInto(const sSignalFlow& flow, int to) {
    std::multiset<std::string> edges;
    for (const sFlowEdge& e : flow.m_Edges)
      if (e.m_nTo == to)
        edges.insert(flow.m_Nodes[e.m_nFrom].m_strLabel + " " + e.m_strLabel +
                     (e.m_nCount > 1 ? " x" + std::to_string(e.m_nCount) : ""));
    return edges;
  }

  CHelvoCfg cfg_;
};

TEST_F(SignalFlowTest, NodesPerFunctionAndEdgesFromWhatIsUsed) {
  ASSERT_EQ(cfg_.m_eReadResult, eFilerNoError);
  const sSignalFlow flow = BuildSignalFlow(cfg_);
  EXPECT_EQ(flow.GetFunctionCount(), static_cast<int>(ListFunctions(cfg_).size()));
  EXPECT_EQ(flow.GetFunctionCount(), 19);
  std::set<std::string> ids;
  for (const sFlowNode& n : flow.m_Nodes) EXPECT_TRUE(ids.insert(n.m_strId).second) << n.m_strId;

  EXPECT_EQ(flow.m_Nodes[Node(flow, "Line 1:Va\nBus side")].m_eColumn, eFlowInput);
  EXPECT_EQ(flow.m_Nodes[Node(flow, "Line 1:Z1")].m_eColumn, eFlowDerived);
  EXPECT_EQ(flow.m_Nodes[Node(flow, "Line 1:Logic\nAny phase high")].m_eColumn, eFlowOutput);
  EXPECT_EQ(flow.m_Nodes[Node(flow, "Trend")].m_eColumn, eFlowOutput);

  EXPECT_EQ(EdgesInto(flow, Node(flow, "Line 1:InSum\nResidual")),
            (std::multiset<std::string>{"Line 1:Ia ", "Line 1:Ib ", "Line 1:Ic "}));
  EXPECT_EQ(EdgesInto(flow, Node(flow, "Line 1:PF")), (std::multiset<std::string>{"Line 1:W/V "}));
  // Inputs 4 and 5 name a state too, but no operator of the chain reads them.
  EXPECT_EQ(EdgesInto(flow, Node(flow, "Line 1:Logic\nAny phase high")),
            (std::multiset<std::string>{"Line 1:Va\nBus side HiLev", "Line 1:Vb\nBus side HiLev",
                                        "Line 1:Vc\nBus side HiLev"}));
  // The fault locator takes Ia as an input and a state of Ia as its trigger: one edge, counted twice.
  EXPECT_EQ(EdgesInto(flow, Node(flow, "Line 1:FLoc")).count("Line 1:Ia  x2"), 1u);
  EXPECT_FALSE(EdgesInto(flow, Node(flow, "Trend")).empty());
}

TEST_F(SignalFlowTest, LogicReadsLeftToRight) {
  auto* logic = dynamic_cast<cLogicCfg*>(Fn(eLogicCfg, 1));
  ASSERT_NE(logic, nullptr);
  const std::string va = "Line 1:Va:Bus side[HiLev]", vb = "Line 1:Vb:Bus side[HiLev]",
                    vc = "Line 1:Vc:Bus side[HiLev]";
  using L = cLogicCfg;
  const struct {
    int oper[4];
    unsigned char notInput[5];
    std::string expected;
  } cases[] = {
      {{L::eOR, L::eOR, L::eA, L::eA}, {0, 0, 0, 0, 0}, va + " OR " + vb + " OR " + vc},
      {{L::eOR, L::eAND, L::eA, L::eA}, {0, 1, 0, 0, 0}, "(" + va + " OR NOT " + vb + ") AND " + vc},
      {{L::eAND, L::eNOR, L::eA, L::eA}, {0, 0, 0, 0, 0}, "NOT (" + va + " AND " + vb + " OR " + vc + ")"},
      {{L::eXOR, L::eNOTA, L::eAND, L::eA}, {0, 0, 0, 0, 0}, "NOT (" + va + " XOR " + vb + ") AND " + va},
      {{L::eAND, L::eB, L::eA, L::eNOTB}, {0, 0, 1, 0, 1}, "NOT (NOT " + va + ")"},
      {{L::eA, L::eA, L::eA, L::eA}, {1, 0, 0, 0, 0}, "NOT " + va},
      {{42, L::eA, L::eA, L::eA}, {0, 0, 0, 0, 0}, va + " INVALID " + vb},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    std::copy(std::begin(c.oper), std::end(c.oper), logic->m_nOper);
    std::copy(std::begin(c.notInput), std::end(c.notInput), logic->m_bNotInput);
    EXPECT_EQ(LogicExpression(*logic), c.expected);
  }
  logic->m_orefInputs[1].m_pPhasor = nullptr;
  logic->m_nOper[0] = L::eAND;
  EXPECT_EQ(LogicExpression(*logic), va + " AND (none)");
}

TEST_F(SignalFlowTest, DetectorsShowThresholdDelayAndActions) {
  CPhasor* ia = Fn(eAnalogCfg, 4);
  ASSERT_NE(ia, nullptr);
  const std::vector<sDetectorRow> rows = DescribeDetectors(*ia, 7, 60);
  auto row = [&rows](const std::string& state) {
    for (const sDetectorRow& r : rows)
      if (r.m_strState == state) return r;
    ADD_FAILURE() << "no detector " << state;
    return sDetectorRow{};
  };
  const sDetectorRow high = row("HiLev");
  EXPECT_EQ(high.m_strThreshold, "2400");
  EXPECT_EQ(high.m_strDelay, "0 s");
  EXPECT_EQ(high.m_strActions, "Action 1, Notify");
  EXPECT_EQ(row("LoLev").m_strActions, "none");
  EXPECT_EQ(DescribeModule(*ia, 7, 60), "815204");
  EXPECT_EQ(DescribeInputs(*Fn(eSummationCfg, 1)),
            (std::vector<std::string>{"Line 1:Ia", "Line 1:Ib", "Line 1:Ic"}));
}

TEST_F(SignalFlowTest, DotQuotesNamesAndDecodesTheFileEncoding) {
  CElementName* line = Fn(eAnalogCfg, 4)->GetElement();
  line->SetName("Bay \"7\" \\ caf\xE9");
  const std::string dot = SignalFlowToDot(BuildSignalFlow(cfg_));
  EXPECT_NE(dot.find("label=\"Bay \\\"7\\\" \\\\ caf\xC3\xA9:Ia\""), std::string::npos) << dot;
  EXPECT_NE(dot.find("\"g1_c1_4\" -> \"g1_c3_1\";"), std::string::npos);
  EXPECT_NE(dot.find("\"g1_c1_4\" -> \"g1_c12_1\" [label=\"\xC3\x97"
                     "2\"];"),
            std::string::npos);
  EXPECT_NE(dot.find("caf\xC3\xA9:Va\\nBus side\""), std::string::npos);
  EXPECT_EQ(dot.find('\xE9'), std::string::npos);
  // The transformer's currents feed nothing: kept apart, chained invisibly into a row.
  const size_t unused = dot.find("subgraph cluster_unused");
  ASSERT_NE(unused, std::string::npos);
  EXPECT_GT(dot.find("\"g1_c1_7\" [label="), unused);
  EXPECT_LT(dot.find("\"g1_c1_1\" [label="), unused);
  EXPECT_NE(dot.find("\"g1_c1_7\" -> \"g1_c1_8\" [style=invis];"), std::string::npos);
}

using SignalFlowFilesTest = testing::CfgTest;

// Both boards of a two-board file, and the PMU and continuous-recording inputs of a newer one.
TEST_F(SignalFlowFilesTest, EveryBoardAndStreamIsDrawn) {
  const struct {
    const char* file;
    int functions;
    const char* into;  // node id
    std::multiset<std::string> from;
  } cases[] = {
      {"recorder-two-board-v6.cfg", 14, "mg2", {"g2_c1_1", "g2_c1_2", "g2_c1_3", "g2_c6_1"}},
      {"recorder-two-board-v6.cfg", 14, "g2_c6_1", {"g2_c1_1", "g2_c1_4"}},
      {"recorder-v203.cfg",
       19,
       "pmu",
       {"g1_c1_1", "g1_c1_2", "g1_c1_3", "g1_c1_4", "g1_c1_5", "g1_c1_6", "g1_c4_1"}},
      {"recorder-v203.cfg", 19, "cdr", {"g1_c1_1", "g1_c1_2", "g1_c1_3", "g1_c1_4", "g1_c1_5", "g1_c1_6"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.into);
    CHelvoCfg cfg(std::string(HELVO_EXAMPLES_DIR "/") + c.file, 0);
    const sSignalFlow flow = BuildSignalFlow(cfg);
    EXPECT_EQ(flow.GetFunctionCount(), c.functions);
    std::multiset<std::string> from;
    for (const sFlowEdge& e : flow.m_Edges)
      if (flow.m_Nodes[e.m_nTo].m_strId == c.into) from.insert(flow.m_Nodes[e.m_nFrom].m_strId);
    EXPECT_EQ(from, c.from);
  }
}

}  // namespace
}  // namespace helvo
