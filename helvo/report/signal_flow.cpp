#include "helvo/report/signal_flow.h"

#include <map>
#include <utility>

#include "helvo/engine/converters.h"
#include "helvo/engine/field_access.h"
#include "helvo/engine/helvo_section.h"
#include "helvo/functions/logic.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/platform/format.h"
#include "helvo/platform/text_encoding.h"

namespace helvo {

namespace {

// Function classes in the order the report and the graph list them.
constexpr eHelvoCfgClass kFunctionClasses[] = {eAnalogCfg,    eDigitalCfg,   eSummationCfg, eSequenceCfg,
                                               eImpedanceCfg, eWattsVarsCfg, eFrequencyCfg, eFaultLocCfg,
                                               ePFDetCfg,     eLogicCfg};

eFlowColumn ColumnOf(int cls) {
  switch (cls) {
    case eAnalogCfg:
    case eDigitalCfg:
      return eFlowInput;
    case eLogicCfg:
      return eFlowOutput;
    default:
      return eFlowDerived;
  }
}

int BoardCount(const CHelvoCfg& cfg) {
  const int gen = cfg.m_State.m_iIedGen;
  int boards = gen >= 1 && gen <= kNumGenerations ? CHelvoCfgTables::NumDspsByGen[gen - 1] : 1;
  if (boards > 2) boards = 2;
  int present = 0;
  while (present < boards && cfg.m_pDspCfg[present]) ++present;
  return present;
}

cHelvoSection* SectionOf(CPhasor& p) {
  cHelvoDspCfg* group = p.GetDspCfg();
  return group ? dynamic_cast<cHelvoSection*>(group->GetSection(p.GetClass())) : nullptr;
}

std::string NameOf(const CPhasor& p) {
  std::string name;
  p.GetName(name);
  return Cp1252ToUtf8(name);
}

// The name on two lines, the description below the element and type, so that boxes stay narrow.
std::string LabelOf(const CPhasor& p) {
  std::string name = NameOf(p);
  const std::string desc = ":" + Cp1252ToUtf8(p.GetDescription());
  if (desc.size() > 1 && name.size() > desc.size() &&
      name.compare(name.size() - desc.size(), desc.size(), desc) == 0)
    name.replace(name.size() - desc.size(), 1, "\n");
  return name;
}

// The suffix of detector state number of p ("HiLev"); empty when p's section has no such state.
std::string StateSuffix(CPhasor& p, int number) {
  cHelvoSection* section = SectionOf(p);
  const sStateChoice* choice = section ? section->FindStateChoice(number) : nullptr;
  return choice ? Cp1252ToUtf8(choice->GetSuffix()) : std::string();
}

class FlowBuilder {
 public:
  int AddNode(std::string id, std::string label, eFlowColumn column, int cls, bool function) {
    flow_.m_Nodes.push_back({std::move(id), std::move(label), column, cls, function});
    return static_cast<int>(flow_.m_Nodes.size()) - 1;
  }
  void AddFunction(CPhasor* p, int board) {
    const int node = AddNode(Format("g%d_c%d_%d", board + 1, p->GetClass(), p->GetChannelNumber()),
                             LabelOf(*p), ColumnOf(p->GetClass()), p->GetClass(), true);
    nodeOf_[p] = node;
  }
  // An edge from the node of from (a function) to node to; nothing when from has no node (a function
  // of a board outside the generation, or a reference left dangling by an edit).
  void AddEdge(const CPhasor* from, int to, const std::string& label = {}) {
    auto it = nodeOf_.find(from);
    if (it == nodeOf_.end()) return;
    auto key = std::make_pair(std::make_pair(it->second, to), label);
    auto [pos, inserted] = edgeOf_.emplace(key, static_cast<int>(flow_.m_Edges.size()));
    if (inserted)
      flow_.m_Edges.push_back({it->second, to, 1, label});
    else
      ++flow_.m_Edges[pos->second].m_nCount;
  }
  int NodeOf(const CPhasor* p) const {
    auto it = nodeOf_.find(p);
    return it == nodeOf_.end() ? -1 : it->second;
  }
  // One edge per reference address of obj's section that names a function.
  void AddReferences(cHelvoSection* section, CFiler* obj, int to) {
    if (!section) return;
    for (const sReferenceAddress& ref : section->GetReferenceAddresses())
      if (auto* target = dynamic_cast<CPhasor*>(ref.Get(obj))) AddEdge(target, to);
  }
  sSignalFlow Take() { return std::move(flow_); }

 private:
  sSignalFlow flow_;
  std::map<const CPhasor*, int> nodeOf_;
  std::map<std::pair<std::pair<int, int>, std::string>, int> edgeOf_;
};

// Which inputs the operator chain of logic reads: walking back from the last operator, A (the chain
// so far) is followed only while an operator uses it, and input k + 2 counts when operator k uses B.
void UsedInputs(const cLogicCfg& logic, bool used[cLogicCfg::kNumInputs]) {
  for (int k = 0; k < cLogicCfg::kNumInputs; ++k) used[k] = false;
  for (int k = cLogicCfg::kNumOperators - 1; k >= 0; --k) {
    const int op = logic.m_nOper[k];
    const bool usesB = op != cLogicCfg::eA && op != cLogicCfg::eNOTA;
    const bool usesA = op != cLogicCfg::eB && op != cLogicCfg::eNOTB;
    used[k + 1] = usesB;
    if (!usesA) return;
  }
  used[0] = true;
}

std::string Paren(const std::string& text, bool compound) {
  return compound ? "(" + text + ")" : text;
}

std::string SecondsText(float seconds) {
  return Format("%.4g s", static_cast<double>(seconds));
}

std::string ActionText(const CActionBlock& block) {
  std::string text;
  for (int k = 0; k < 6; ++k) {
    if (!block.m_bAction[k]) continue;
    if (!text.empty()) text += ", ";
    text += k == CActionBlock::kNotifyAction ? std::string("Notify") : Format("Action %d", k + 1);
  }
  return text.empty() ? "none" : text;
}

// The key of the same detector with another suffix: "H_MAG_A" -> "H_MAG_T".
std::string SiblingKey(const std::string& actionKey, const char* suffix) {
  if (actionKey.size() < 2 || actionKey.compare(actionKey.size() - 2, 2, "_A") != 0) return {};
  return actionKey.substr(0, actionKey.size() - 2) + suffix;
}

}  // namespace

int sSignalFlow::GetFunctionCount() const {
  int n = 0;
  for (const sFlowNode& node : m_Nodes) n += node.m_bFunction ? 1 : 0;
  return n;
}

std::vector<CPhasor*> ListFunctions(CHelvoCfg& cfg) {
  std::vector<CPhasor*> functions;
  for (int b = 0; b < BoardCount(cfg); ++b) {
    cHelvoDspCfg* group = cfg.m_pDspCfg[b];
    for (eHelvoCfgClass cls : kFunctionClasses) {
      CPhasor** table = group->GetFunctionTableAddress(cls);
      const int capacity = cHelvoDspCfg::GetFunctionTableCapacity(cls);
      for (int i = 0; table && i < capacity; ++i)
        if (table[i]) functions.push_back(table[i]);
    }
  }
  return functions;
}

sSignalFlow BuildSignalFlow(CHelvoCfg& cfg) {
  FlowBuilder b;
  const std::vector<CPhasor*> functions = ListFunctions(cfg);
  for (CPhasor* p : functions) b.AddFunction(p, p->GetDspIndex());

  for (CPhasor* p : functions) {
    const int to = b.NodeOf(p);
    if (auto* logic = dynamic_cast<cLogicCfg*>(p)) {
      bool used[cLogicCfg::kNumInputs];
      UsedInputs(*logic, used);
      for (int k = 0; k < cLogicCfg::kNumInputs; ++k) {
        const crefState& in = logic->m_orefInputs[k];
        if (!in.m_pPhasor || !used[k]) continue;
        std::string label = StateSuffix(*in.m_pPhasor, in.m_nNumber);
        if (logic->m_bNotInput[k]) label = "NOT " + label;
        b.AddEdge(in.m_pPhasor, to, label);
      }
      continue;
    }
    b.AddReferences(SectionOf(*p), p, to);
  }

  auto* groups = dynamic_cast<cHelvoSection*>(cfg.GetSection(eMeterGroup));
  int number = 0;
  for (CFiler* obj : cfg.m_MeterGroupList) {
    auto* group = dynamic_cast<CMeterGroup*>(obj);
    if (!group) continue;
    ++number;
    const int node = b.AddNode(Format("mg%d", number),
                               Format("Meter group %d: %s", number, Cp1252ToUtf8(group->m_strName).c_str()),
                               eFlowOutput, eMeterGroup, false);
    b.AddReferences(groups, group, node);
  }
  if (cfg.m_pTrend) {
    const int node = b.AddNode("trend", "Trend", eFlowOutput, eTrend, false);
    b.AddReferences(dynamic_cast<cHelvoSection*>(cfg.GetSection(eTrend)), cfg.m_pTrend, node);
  }

  int pmuNode = -1;
  int cdrNode = -1;
  for (int board = 0; board < BoardCount(cfg); ++board) {
    cHelvoDspCfg& group = *cfg.m_pDspCfg[board];
    for (CFiler* obj : group.GetPMUList()) {
      auto* pmu = dynamic_cast<CPMU*>(obj);
      if (!pmu || !pmu->IsDefined()) continue;
      if (pmuNode < 0) pmuNode = b.AddNode("pmu", "PMU", eFlowOutput, ePMU, false);
      b.AddEdge(PmuInputOf(group, *pmu), pmuNode);
    }
    for (CFiler* obj : group.GetCDRList()) {
      auto* cdr = dynamic_cast<CCDR*>(obj);
      if (!cdr || !cdr->IsUsed()) continue;
      if (cdrNode < 0) cdrNode = b.AddNode("cdr", "Continuous recording", eFlowOutput, eCDR, false);
      b.AddEdge(group.GetIndexedPhasorAddress(eAnalogCfg, cdr->m_nInputIndex), cdrNode);
    }
  }
  return b.Take();
}

namespace {

// A DOT string literal: quotes and backslashes escaped, line breaks as centred line breaks.
std::string DotQuote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\')
      out += '\\', out += c;
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      continue;
    else
      out += c;
  }
  return out + "\"";
}

struct sColumnStyle {
  const char* rank;
  const char* fill;
  const char* shape;
};
constexpr sColumnStyle kColumnStyles[] = {
    {"min", "#dce8f4", "box"},
    {"", "#f2f2f2", "box"},
    {"max", "#f9e3c4", "box"},
};

}  // namespace

std::string SignalFlowToDot(const sSignalFlow& flow) {
  std::string dot =
      "digraph signal_flow {\n"
      "  graph [rankdir=LR, ranksep=0.9, nodesep=0.12, fontname=\"Helvetica\", fontsize=10];\n"
      "  node [shape=box, style=\"rounded,filled\", color=\"#555555\", fontname=\"Helvetica\", fontsize=9, "
      "height=0.3];\n"
      "  edge [color=\"#4a4a4a\", arrowsize=0.6, fontname=\"Helvetica\", fontsize=8];\n";
  // Boxes without an arrow (inputs nothing uses, mostly) would stretch their column to the height of
  // a page each; they go into a box of their own below, kUnusedPerRow to a row.
  std::vector<bool> linked(flow.m_Nodes.size(), false);
  for (const sFlowEdge& edge : flow.m_Edges) linked[edge.m_nFrom] = linked[edge.m_nTo] = true;
  auto nodeLine = [&flow](size_t i) {
    const sFlowNode& node = flow.m_Nodes[i];
    return "    " + DotQuote(node.m_strId) + " [label=" + DotQuote(node.m_strLabel) + ", fillcolor=\"" +
           kColumnStyles[node.m_eColumn].fill + "\", class=\"" + (node.m_bFunction ? "function" : "record") +
           "\"];\n";
  };
  for (int column = eFlowInput; column <= eFlowOutput; ++column) {
    const sColumnStyle& style = kColumnStyles[column];
    std::string members;
    for (size_t i = 0; i < flow.m_Nodes.size(); ++i)
      if (flow.m_Nodes[i].m_eColumn == column && linked[i]) members += nodeLine(i);
    if (members.empty()) continue;
    dot += "  {\n";
    if (*style.rank) dot += std::string("    rank=") + style.rank + ";\n";
    dot += members + "  }\n";
  }
  constexpr int kUnusedPerRow = 4;
  std::string unused, rows;
  int inRow = 0;
  std::string previous;
  for (size_t i = 0; i < flow.m_Nodes.size(); ++i) {
    if (linked[i]) continue;
    unused += nodeLine(i);
    const std::string id = DotQuote(flow.m_Nodes[i].m_strId);
    if (inRow++ % kUnusedPerRow != 0) rows += "    " + previous + " -> " + id + " [style=invis];\n";
    previous = id;
  }
  if (!unused.empty())
    dot +=
        "  subgraph cluster_unused {\n    label=\"Used by no function or record\"; style=dashed; "
        "color=\"#999999\";\n" +
        unused + rows + "  }\n";
  for (const sFlowEdge& edge : flow.m_Edges) {
    std::string label = edge.m_strLabel;
    if (edge.m_nCount > 1) label += (label.empty() ? "" : " ") + Format("\xC3\x97%d", edge.m_nCount);  // "×n"
    dot += "  " + DotQuote(flow.m_Nodes[edge.m_nFrom].m_strId) + " -> " +
           DotQuote(flow.m_Nodes[edge.m_nTo].m_strId);
    if (!label.empty()) dot += " [label=" + DotQuote(label) + "]";
    dot += ";\n";
  }
  return dot + "}\n";
}

std::string LogicExpression(const cLogicCfg& logic) {
  auto input = [&logic](int k) -> std::string {
    const crefState& in = logic.m_orefInputs[k];
    if (!in.m_pPhasor) return "(none)";
    std::string name;
    in.m_pPhasor->GetStateName(name, in.m_nNumber);
    if (name.empty()) in.m_pPhasor->GetName(name);
    name = Cp1252ToUtf8(name);
    return logic.m_bNotInput[k] ? "NOT " + name : name;
  };
  std::string expr = input(0);
  bool compound = false;  // expr ends in a binary operator of its own
  int last = -1;          // that operator
  for (int k = 0; k < cLogicCfg::kNumOperators; ++k) {
    const int op = logic.m_nOper[k];
    switch (op) {
      case cLogicCfg::eA:
        break;
      case cLogicCfg::eB:
        expr = input(k + 1), compound = false;
        break;
      case cLogicCfg::eNOTA:
        expr = "NOT " + Paren(expr, compound || expr.rfind("NOT ", 0) == 0), compound = false;
        break;
      case cLogicCfg::eNOTB:
        expr = "NOT " + Paren(input(k + 1), logic.m_bNotInput[k + 1] != 0), compound = false;
        break;
      case cLogicCfg::eAND:
      case cLogicCfg::eOR:
      case cLogicCfg::eXOR:
        // A run of one associative operator needs no parentheses: "a OR b OR c".
        expr = Paren(expr, compound && last != op) + " " + cLogicCfg::GetOperStringByEnum(op) + " " +
               input(k + 1);
        compound = true, last = op;
        break;
      case cLogicCfg::eNAND:
      case cLogicCfg::eNOR:
      case cLogicCfg::eXNOR: {
        static const char* const kPlain[] = {"AND", "OR", "XOR"};
        const char* plain = kPlain[op == cLogicCfg::eNAND ? 0 : op == cLogicCfg::eNOR ? 1 : 2];
        expr = "NOT (" + expr + " " + plain + " " + input(k + 1) + ")", compound = false;
        break;
      }
      default:
        expr = Paren(expr, compound) + " INVALID " + input(k + 1), compound = true, last = op;
        break;
    }
  }
  return expr;
}

std::vector<sDetectorRow> DescribeDetectors(CPhasor& function, int version, int sysFreq) {
  std::vector<sDetectorRow> rows;
  cHelvoSection* section = SectionOf(function);
  if (!section) return rows;
  const unsigned long flags = function.GetPhaseFlags();
  for (const sStateChoice& state : section->GetStateChoices()) {
    if (!(state.m_nTypeMask & flags)) continue;
    const CActionBlock* first = state.GetFirstAction(&function);
    if (!first) continue;
    sDetectorRow row;
    row.m_strState = Cp1252ToUtf8(state.GetSuffix());
    row.m_strActions = ActionText(*first);
    if (!state.HasSingleAction())
      if (const CActionBlock* second = state.GetSecondAction(&function))
        row.m_strActions = "on assert: " + row.m_strActions + "; on removal: " + ActionText(*second);
    if (const CFilerEntry* action = section->FindEntryByOffset(state.m_First)) {
      if (const CFilerEntry* t = section->FindEntryByName(SiblingKey(action->GetKeyName(), "_T"))) {
        int freq = sysFreq;
        row.m_strThreshold = Cp1252ToUtf8(FormatValueText(*t, &function, version, freq, false));
      }
      if (const CFilerEntry* d = section->FindEntryByName(SiblingKey(action->GetKeyName(), "_D"))) {
        auto* element = d->GetType() == CFilerEntry::eElement
                            ? static_cast<CFilerElement*>(d->GetOffset().Resolve(&function))
                            : nullptr;
        if (auto* delay = dynamic_cast<cfSecondsDelay*>(element))
          row.m_strDelay = SecondsText(delay->m_fSeconds);
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<std::string> DescribeInputs(CPhasor& p) {
  std::vector<std::string> names;
  if (auto* logic = dynamic_cast<cLogicCfg*>(&p)) {
    bool used[cLogicCfg::kNumInputs];
    UsedInputs(*logic, used);
    for (int k = 0; k < cLogicCfg::kNumInputs; ++k) {
      const crefState& in = logic->m_orefInputs[k];
      if (!in.m_pPhasor || !used[k]) continue;
      std::string name;
      in.m_pPhasor->GetStateName(name, in.m_nNumber);
      names.push_back(Cp1252ToUtf8(name));
    }
    return names;
  }
  cHelvoSection* section = SectionOf(p);
  if (!section) return names;
  for (const sReferenceAddress& ref : section->GetReferenceAddresses())
    if (auto* target = dynamic_cast<CPhasor*>(ref.Get(&p))) names.push_back(NameOf(*target));
  return names;
}

std::string DescribeModule(CPhasor& p, int version, int sysFreq) {
  cHelvoSection* section = SectionOf(p);
  const CFilerEntry* entry = section ? section->FindEntryByName("INPUT_MODULE") : nullptr;
  if (!entry) return {};
  return Cp1252ToUtf8(FormatValueText(*entry, &p, version, sysFreq, false));
}

CPhasor* PmuInputOf(cHelvoDspCfg& group, const CPMU& pmu) {
  switch (pmu.m_nInputType) {
    case 0:
      return group.GetIndexedPhasorAddress(eAnalogCfg, pmu.m_nInputIndex);
    case 1:
    case 2:
    case 3:
      return group.GetIndexedPhasorAddress(eSequenceCfg, pmu.m_nInputIndex);
    case 4:
      return group.GetIndexedPhasorAddress(eSummationCfg, pmu.m_nInputIndex);
    default:
      return nullptr;
  }
}

}  // namespace helvo
