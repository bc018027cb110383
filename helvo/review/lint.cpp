// Lint: what loading a settings file takes silently. One small check per rule id; the rules table
// fixes their ids and order.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"
#include "helvo/engine/value_text.h"
#include "helvo/functions/logic.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/platform/format.h"
#include "helvo/review/converter_kind.h"
#include "helvo/review/listing.h"
#include "helvo/review/review.h"

namespace helvo {

namespace {

// A reference of a section definition that can name nothing: a phasor, state or meter reference.
struct NamingReference {
  const CFilerEntry* entry;
  RefKind kind;
};

struct LintContext {
  CHelvoCfg& cfg;
  const LineIndex& file;
  const KeysWritten& written;
  std::vector<Finding>& findings;
  const char* rule = "";
  std::vector<const LineIndex::Section*> fileOf;   // per block: the file's first section of its header
  std::vector<const KeysWritten::Block*> blockOf;  // per file section: the first block of its header
  std::vector<CPhasor*> functions;                 // per block: the function it writes, if any

  LintContext(CHelvoCfg& c, const LineIndex& f, const KeysWritten& w, std::vector<Finding>& out)
      : cfg(c), file(f), written(w), findings(out) {
    const std::vector<LineIndex::Section>& sections = file.Sections();
    std::vector<const KeysWritten::Block*> firstBlock(sections.size());
    fileOf.reserve(written.blocks.size());
    functions.reserve(written.blocks.size());
    for (const KeysWritten::Block& block : written.blocks) {
      const LineIndex::Section* fs = file.Find(block.header);
      fileOf.push_back(fs);
      if (fs && !firstBlock[static_cast<size_t>(fs - sections.data())])
        firstBlock[static_cast<size_t>(fs - sections.data())] = &block;
      functions.push_back(block.object && block.cls != eElementName ? dynamic_cast<CPhasor*>(block.object)
                                                                    : nullptr);
    }
    blockOf.reserve(sections.size());
    for (const LineIndex::Section& fs : sections)
      blockOf.push_back(firstBlock[static_cast<size_t>(file.Find(fs.header) - sections.data())]);
  }

  // Reports at the key's line in the file, or at the section header's when the file lacks the key.
  void Add(std::string_view section, std::string_view key, std::string text) const {
    int line = 0;
    if (const LineIndex::Section* s = file.Find(section)) {
      const LineIndex::Key* k = key.empty() ? nullptr : s->Find(key);
      line = k ? k->line : s->line;
    }
    findings.push_back({rule, std::string(section), std::string(key), line, std::move(text)});
  }

  // The references of block's definition that can name nothing, worked out once per definition.
  const std::vector<NamingReference>& NamingReferences(const KeysWritten::Block& block) {
    auto [it, fresh] = naming_.try_emplace(block.definition);
    if (fresh)
      for (const CFilerEntry* entry : block.definition->GetFilerList()) {
        CFilerElement* converter = nullptr;
        const RefKind kind = kinds_.Of(*entry, block.object, converter);
        if (kind == RefKind::kPhasor || kind == RefKind::kState || kind == RefKind::kMeter)
          it->second.push_back({entry, kind});
      }
    return it->second;
  }

 private:
  ConverterKinds kinds_;
  std::unordered_map<const CFilerSection*, std::vector<NamingReference>> naming_;
};

// A value the file gives as an index: digits, possibly signed, and not negative.
bool IsIndexGiven(std::string_view value) {
  const size_t first = value.find_first_not_of(' ');
  return first != std::string::npos && std::isdigit(static_cast<unsigned char>(value[first]));
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool IsInputIndex(const CFilerEntry& entry) {
  return entry.GetType() == CFilerEntry::eInt && (entry.GetOffset() == FieldOf(&CPMU::m_nInputIndex) ||
                                                  entry.GetOffset() == FieldOf(&CCDR::m_nInputIndex));
}

void DanglingReferences(LintContext& c) {
  const std::vector<KeysWritten::Block>& blocks = c.written.blocks;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const KeysWritten::Block& b = blocks[i];
    const LineIndex::Section* fs = c.fileOf[i];
    if (!fs || !b.object) continue;
    auto report = [&](const LineIndex::Key& k) {
      c.Add(b.header, k.key, Format("index %s names nothing", Trimmed(k.value).c_str()));
    };
    // The inputs of PMU phasors and CDR channels name nothing when the save writes no function for them.
    if (b.cls == ePMU || b.cls == eCDR)
      for (const LineIndex::Key& k : fs->keys) {
        const CFilerEntry* entry = b.definition->FindEntryByName(k.key);
        if (!entry || !IsInputIndex(*entry) || !IsIndexGiven(k.value)) continue;
        const auto keys = c.written.KeysOf(b);
        const bool named =
            std::find(keys.begin(), keys.end(), entry) != keys.end() &&
            std::find(b.unnamedInputs.begin(), b.unnamedInputs.end(), entry) == b.unnamedInputs.end();
        if (!named) report(k);
      }
    // A phasor, state or meter reference whose target is none, where the file gave an index.
    for (const NamingReference& r : c.NamingReferences(b)) {
      auto* converter = static_cast<CFilerElement*>(r.entry->GetOffset().Resolve(b.object));
      if (!converter) continue;
      const bool dangling = r.kind == RefKind::kPhasor  ? !static_cast<CrefPhasor*>(converter)->m_pPhasor
                            : r.kind == RefKind::kState ? !static_cast<crefState*>(converter)->m_pPhasor
                                                        : !static_cast<CrefMeter*>(converter)->m_pPhasor;
      // A key the definition names twice is read into its first entry.
      if (!dangling || b.definition->FindEntryByName(r.entry->GetKeyName()) != r.entry) continue;
      for (const LineIndex::Key& k : fs->keys)
        if (k.key == r.entry->GetKeyName() && IsIndexGiven(k.value)) report(k);
    }
  }
}

void UndefinedInputs(LintContext& c) {
  for (size_t i = 0; i < c.written.blocks.size(); ++i) {
    CPhasor* p = c.functions[i];
    const int cls = p ? p->GetClass() : -1;
    if (!p || cls == eAnalogCfg || cls == eDigitalCfg || cls == eLogicCfg || p->AreInputsDefined()) continue;
    const KeysWritten::Block& b = c.written.blocks[i];
    c.Add(b.header, {},
          Format("the inputs of %s are not defined: its meters and states are written as "
                 "undefined references",
                 ObjectName(b.object, b.cls).c_str()));
  }
}

void ImplicitElements(LintContext& c) {
  // Names the file's ELEMENT sections give, per channel group (the reader matches them ignoring case).
  std::unordered_set<std::string> declared;
  for (const LineIndex::Section& fs : c.file.Sections()) {
    if (fs.header.rfind("ELEMENT", 0) != 0) continue;
    const int group = LeadingInt(std::string_view(fs.header).substr(7));
    if (const LineIndex::Key* name = fs.Find("NAME"))
      declared.insert(std::to_string(group) + "/" + Lower(name->value));
  }
  std::unordered_set<const CElementName*> checked;
  for (size_t i = 0; i < c.written.blocks.size(); ++i) {
    const CPhasor* p = c.functions[i];
    const CElementName* e = p ? p->GetElement() : nullptr;
    if (!e || !checked.insert(e).second) continue;
    const cHelvoDspCfg* group = p->GetDspCfg();
    if (!group || declared.count(std::to_string(group->GetDspIndex() + 1) + "/" + Lower(e->GetName())))
      continue;
    c.Add(c.written.blocks[i].header, "ELEMENT",
          Format("element \"%s\" is named by no ELEMENT section; this key creates it (a misspelling?)",
                 e->GetName().c_str()));
  }
}

void DroppedOnSave(LintContext& c) {
  const std::vector<LineIndex::Section>& sections = c.file.Sections();
  for (size_t j = 0; j < sections.size(); ++j) {
    const LineIndex::Section& fs = sections[j];
    const KeysWritten::Block* block = c.blockOf[j];
    if (!block) {
      c.Add(fs.header, {}, "the next save deletes this section");
      continue;
    }
    const auto keys = c.written.KeysOf(*block);
    // A file a save wrote lists the keys in write order: look at the next written key first.
    size_t next = 0;
    for (const LineIndex::Key& k : fs.keys) {
      auto written = [&](size_t i) { return keys[i]->GetKeyName() == k.key; };
      size_t i = next;
      while (i < keys.size() && !written(i)) ++i;
      bool found = i < keys.size();
      for (size_t w = 0; !found && w < next; ++w)
        if (written(w)) {
          found = true;
          i = w;
        }
      if (found) {
        next = i + 1;
        continue;
      }
      // A reference that names nothing is reported as such; that a save drops it follows.
      const bool reported = std::any_of(c.findings.begin(), c.findings.end(), [&](const Finding& f) {
        return f.section == fs.header && f.key == k.key;
      });
      if (!reported) c.Add(fs.header, k.key, "the next save deletes this line");
    }
  }
}

void InputLoops(LintContext& c) {
  // The input graph of the functions written: one node per function, an edge to each phasor input
  // (the nodes sorted by function, the edges grouped by the node they leave).
  std::vector<const CPhasor*> nodes;
  for (const CPhasor* p : c.functions)
    if (p) nodes.push_back(p);
  std::sort(nodes.begin(), nodes.end());
  nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
  auto nodeOf = [&](const CPhasor* p) {
    const auto it = std::lower_bound(nodes.begin(), nodes.end(), p);
    return it != nodes.end() && *it == p ? static_cast<int>(it - nodes.begin()) : -1;
  };
  std::vector<std::pair<int, int>> arcs;
  for (size_t i = 0; i < c.written.blocks.size(); ++i) {
    if (!c.functions[i]) continue;
    const KeysWritten::Block& b = c.written.blocks[i];
    const int from = nodeOf(c.functions[i]);
    for (const NamingReference& r : c.NamingReferences(b)) {
      if (r.kind != RefKind::kPhasor) continue;
      auto* converter = static_cast<CrefPhasor*>(r.entry->GetOffset().Resolve(b.object));
      const int to = converter && converter->m_pPhasor ? nodeOf(converter->m_pPhasor) : -1;
      if (to >= 0) arcs.emplace_back(from, to);
    }
  }
  std::sort(arcs.begin(), arcs.end());
  std::vector<size_t> firstArc(nodes.size() + 1, 0);  // of each node, in arcs
  for (const auto& arc : arcs) ++firstArc[static_cast<size_t>(arc.first) + 1];
  for (size_t v = 0; v < nodes.size(); ++v) firstArc[v + 1] += firstArc[v];
  // A function is its own input when it has an edge to itself or shares a strongly connected
  // component with another (Tarjan's algorithm, with an explicit stack: chains may be long).
  const size_t n = nodes.size();
  std::vector<int> order(n, -1), low(n, 0);
  std::vector<char> onStack(n, 0), inLoop(n, 0);
  std::vector<int> stack;
  struct Frame {
    int node;
    size_t edge;
  };
  std::vector<Frame> calls;
  int counter = 0;
  auto enter = [&](int v) {
    order[static_cast<size_t>(v)] = low[static_cast<size_t>(v)] = counter++;
    stack.push_back(v);
    onStack[static_cast<size_t>(v)] = 1;
    calls.push_back({v, 0});
  };
  for (size_t root = 0; root < n; ++root) {
    if (order[root] >= 0) continue;
    enter(static_cast<int>(root));
    while (!calls.empty()) {
      const auto v = static_cast<size_t>(calls.back().node);
      if (firstArc[v] + calls.back().edge < firstArc[v + 1]) {
        const auto w = static_cast<size_t>(arcs[firstArc[v] + calls.back().edge++].second);
        if (w == v) inLoop[v] = 1;
        if (order[w] < 0)
          enter(static_cast<int>(w));
        else if (onStack[w])
          low[v] = std::min(low[v], order[w]);
        continue;
      }
      if (low[v] == order[v]) {
        size_t size = 0;
        const auto first = std::find(stack.begin(), stack.end(), static_cast<int>(v));
        for (auto it = first; it != stack.end(); ++it, ++size) onStack[static_cast<size_t>(*it)] = 0;
        if (size > 1)
          for (auto it = first; it != stack.end(); ++it) inLoop[static_cast<size_t>(*it)] = 1;
        stack.erase(first, stack.end());
      }
      calls.pop_back();
      if (!calls.empty()) {
        const auto u = static_cast<size_t>(calls.back().node);
        low[u] = std::min(low[u], low[v]);
      }
    }
  }
  for (size_t i = 0; i < c.written.blocks.size(); ++i) {
    if (!c.functions[i] || !inLoop[static_cast<size_t>(nodeOf(c.functions[i]))]) continue;
    const KeysWritten::Block& b = c.written.blocks[i];
    c.Add(b.header, {},
          Format("%s is, through its inputs, its own input", ObjectName(b.object, b.cls).c_str()));
  }
}

void InvalidLogic(LintContext& c) {
  for (const KeysWritten::Block& b : c.written.blocks) {
    auto* logic = b.cls == eLogicCfg ? dynamic_cast<cLogicCfg*>(b.object) : nullptr;
    if (!logic) continue;
    bool operatorsValid = true;
    for (size_t k = 0; k < cLogicCfg::kNumOperators; ++k) {
      if (cLogicCfg::IsValidOperationEnum(logic->m_nOper[k])) continue;
      operatorsValid = false;
      std::string key;
      for (const CFilerEntry* entry : b.definition->GetFilerList())
        if (entry->GetOffset() == FieldOf(&cLogicCfg::m_nOper, k)) key = entry->GetKeyName();
      c.Add(b.header, key, Format("operator %d is out of range (0 to 9)", logic->m_nOper[k]));
    }
    if (operatorsValid && !logic->AreInputsDefined())
      c.Add(b.header, {}, "an input the operators use is not defined");
  }
}

bool IsItemKey(std::string_view key) {
  size_t digits = key.find_first_of("0123456789");
  if (digits == std::string_view::npos || digits == 0) return false;
  const std::string_view stem = key.substr(0, digits);
  return (stem == "INDEX" || stem == "IX") &&
         key.find_first_not_of("0123456789", digits) == std::string_view::npos;
}

void CountMismatches(LintContext& c) {
  for (const LineIndex::Section& fs : c.file.Sections()) {
    const LineIndex::Key* count = fs.Find("COUNT");
    if (!count) continue;
    const auto items = std::count_if(fs.keys.begin(), fs.keys.end(), [](const LineIndex::Key& k) {
      return IsItemKey(k.key) && LeadingInt(k.value) >= 0 && IsIndexGiven(k.value);
    });
    if (LeadingInt(count->value) != items)
      c.Add(fs.header, "COUNT",
            Format("COUNT is %d but the section holds %d items", LeadingInt(count->value),
                   static_cast<int>(items)));
  }
}

void DuplicateNames(LintContext& c) {
  std::unordered_map<std::string, const CElementName*> seen;
  for (const KeysWritten::Block& b : c.written.blocks) {
    auto* e = b.cls == eElementName ? dynamic_cast<CElementName*>(b.object) : nullptr;
    if (!e) continue;
    auto* group = dynamic_cast<cHelvoDspCfg*>(e->GetParent());
    const std::string key =
        std::to_string(group ? group->GetDspIndex() : 0) + "/" + Lower(Trimmed(e->GetName()));
    auto [it, fresh] = seen.emplace(key, e);
    if (!fresh)
      c.Add(b.header, "NAME",
            Format("element \"%s\" differs from element \"%s\" only by letter case or surrounding blanks",
                   e->GetName().c_str(), it->second->GetName().c_str()));
  }
}

struct LintRule {
  const char* id;
  void (*check)(LintContext&);
};

// Stable ids: scripts and CI filter findings by them.
constexpr LintRule kRules[] = {
    {"dangling-reference", DanglingReferences},
    {"undefined-inputs", UndefinedInputs},
    {"implicit-element", ImplicitElements},
    {"dropped-on-save", DroppedOnSave},
    {"input-loop", InputLoops},
    {"invalid-logic", InvalidLogic},
    {"count-mismatch", CountMismatches},
    {"duplicate-name", DuplicateNames},
};

}  // namespace

LineIndex::LineIndex(std::string_view text) {
  // The keys of every section stand in one list; each section views its part once the list is full.
  keys_.reserve(text.size() / 12);
  std::vector<size_t> firstKey;  // of each section, in keys_
  int number = 0;
  const char* pos = text.data();
  const char* const end = pos + text.size();
  while (pos < end) {
    const char* lineEnd = static_cast<const char*>(std::memchr(pos, '\n', static_cast<size_t>(end - pos)));
    if (!lineEnd) lineEnd = end;
    std::string_view line(pos, static_cast<size_t>(lineEnd - pos));
    pos = lineEnd + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (++number == 1 || line.empty()) continue;  // the CRC line
    if (line.front() == '[') {
      const size_t close = line.find(']');
      sections_.push_back(
          {line.substr(1, close == std::string_view::npos ? line.npos : close - 1), number, {}});
      firstKey.push_back(keys_.size());
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || sections_.empty()) continue;
    keys_.push_back({line.substr(0, eq), line.substr(eq + 1), number});
  }
  byHeader_.reserve(sections_.size());
  for (size_t i = 0; i < sections_.size(); ++i) {
    const size_t last = i + 1 < sections_.size() ? firstKey[i + 1] : keys_.size();
    sections_[i].keys = std::span<const Key>(keys_.data() + firstKey[i], last - firstKey[i]);
    byHeader_.emplace(sections_[i].header, i);
  }
}

const LineIndex::Key* LineIndex::Section::Find(std::string_view key) const {
  for (const Key& k : keys)
    if (k.key == key) return &k;
  return nullptr;
}

const LineIndex::Section* LineIndex::Find(std::string_view header) const {
  auto it = byHeader_.find(header);
  return it == byHeader_.end() ? nullptr : &sections_[it->second];
}

std::vector<std::string> LintRuleIds() {
  std::vector<std::string> ids;
  for (const LintRule& rule : kRules) ids.emplace_back(rule.id);
  return ids;
}

std::vector<Finding> Lint(CHelvoCfg& cfg, std::string_view text) {
  const LineIndex file(text);
  const KeysWritten written = ListKeysWritten(cfg);
  std::vector<Finding> findings;
  LintContext context(cfg, file, written, findings);
  for (const LintRule& rule : kRules) {
    context.rule = rule.id;
    rule.check(context);
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

}  // namespace helvo
