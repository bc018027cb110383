// Lint: what loading a settings file takes silently. One small check per rule id; the rules table
// fixes their ids and order.
#include <algorithm>
#include <cctype>
#include <functional>
#include <set>
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

struct LintContext {
  CHelvoCfg& cfg;
  const LineIndex& file;
  const ValueListing& listing;
  const char* rule = "";
  std::vector<Finding>& findings;

  // Reports at the key's line in the file, or at the section header's when the file lacks the key.
  void Add(std::string_view section, std::string_view key, std::string text) const {
    int line = 0;
    if (const LineIndex::Section* s = file.Find(section)) {
      const LineIndex::Key* k = key.empty() ? nullptr : s->Find(key);
      line = k ? k->line : s->line;
    }
    findings.push_back({rule, std::string(section), std::string(key), line, std::move(text)});
  }
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

void DanglingReferences(const LintContext& c) {
  ConverterKinds kinds;
  for (const SectionValues& s : c.listing.sections) {
    const LineIndex::Section* fs = c.file.Find(s.header);
    if (!fs || !s.object) continue;
    // Only phasor, state and meter references and the inputs of PMU phasors and CDR channels can name
    // nothing.
    const std::vector<const CFilerEntry*>& references = kinds.References(*s.definition, s.object);
    if (s.cls != ePMU && s.cls != eCDR && std::none_of(references.begin(), references.end(), [&](auto* e) {
          CFilerElement* converter = nullptr;
          return kinds.Of(*e, s.object, converter) != RefKind::kElement;
        }))
      continue;
    size_t next = 0;
    for (const LineIndex::Key& k : fs->keys) {
      const CFilerEntry* entry = s.definition->FindEntryByName(k.key, next);
      if (!entry || !IsIndexGiven(k.value)) continue;
      bool dangling = false;
      CFilerElement* converter = nullptr;
      const RefKind kind = kinds.Of(*entry, s.object, converter);
      if (kind == RefKind::kPhasor)
        dangling = !static_cast<CrefPhasor*>(converter)->m_pPhasor;
      else if (kind == RefKind::kState)
        dangling = !static_cast<crefState*>(converter)->m_pPhasor;
      else if (kind == RefKind::kMeter)
        dangling = !static_cast<CrefMeter*>(converter)->m_pPhasor;
      else if (entry->GetType() == CFilerEntry::eInt &&
               (entry->GetOffset() == FieldOf(&CPMU::m_nInputIndex) ||
                entry->GetOffset() == FieldOf(&CCDR::m_nInputIndex))) {
        const KeyValue* v = s.Find(k.key);
        dangling = !v || v->targetId.empty();
      }
      if (dangling) c.Add(s.header, k.key, Format("index %s names nothing", Trimmed(k.value).c_str()));
    }
  }
}

void UndefinedInputs(const LintContext& c) {
  for (const SectionValues& s : c.listing.sections) {
    auto* p = dynamic_cast<CPhasor*>(s.object);
    const int cls = p ? p->GetClass() : -1;
    if (!p || cls == eAnalogCfg || cls == eDigitalCfg || cls == eLogicCfg || p->AreInputsDefined()) continue;
    c.Add(s.header, {},
          Format("the inputs of %s are not defined: its meters and states are written as "
                 "undefined references",
                 ObjectName(s.object, s.cls).c_str()));
  }
}

void ImplicitElements(const LintContext& c) {
  // Names the file's ELEMENT sections give, per channel group (the reader matches them ignoring case).
  std::set<std::string> declared;
  for (const LineIndex::Section& fs : c.file.Sections()) {
    if (fs.header.rfind("ELEMENT", 0) != 0) continue;
    const int group = LeadingInt(std::string_view(fs.header).substr(7));
    if (const LineIndex::Key* name = fs.Find("NAME"))
      declared.insert(std::to_string(group) + "/" + Lower(name->value));
  }
  std::set<const CElementName*> reported;
  for (const SectionValues& s : c.listing.sections) {
    auto* p = dynamic_cast<CPhasor*>(s.object);
    const CElementName* e = p ? p->GetElement() : nullptr;
    const cHelvoDspCfg* group = p ? p->GetDspCfg() : nullptr;
    if (!e || !group || reported.count(e)) continue;
    if (declared.count(std::to_string(group->GetDspIndex() + 1) + "/" + Lower(e->GetName()))) continue;
    reported.insert(e);
    c.Add(s.header, "ELEMENT",
          Format("element \"%s\" is named by no ELEMENT section; this key creates it (a misspelling?)",
                 e->GetName().c_str()));
  }
}

void DroppedOnSave(const LintContext& c) {
  for (const LineIndex::Section& fs : c.file.Sections()) {
    const SectionValues* s = c.listing.Find(fs.header);
    if (!s) {
      c.Add(fs.header, {}, "the next save deletes this section");
      continue;
    }
    // A file a save wrote lists the keys in write order: look at the next written key first.
    size_t next = 0;
    for (const LineIndex::Key& k : fs.keys) {
      auto written = [&](size_t i) { return s->keys[i].key == k.key; };
      size_t i = next;
      while (i < s->keys.size() && !written(i)) ++i;
      if (i == s->keys.size())
        for (i = 0; i < next && !written(i); ++i) {
        }
      if (i < s->keys.size() && written(i)) {
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

void InputLoops(const LintContext& c) {
  // The phasor inputs of every function written.
  std::unordered_map<const CPhasor*, std::vector<const CPhasor*>> inputs;
  std::vector<const SectionValues*> functions;
  ConverterKinds kinds;
  for (const SectionValues& s : c.listing.sections) {
    auto* p = dynamic_cast<CPhasor*>(s.object);
    if (!p) continue;
    functions.push_back(&s);
    std::vector<const CPhasor*>& edges = inputs[p];
    for (const CFilerEntry* entry : kinds.References(*s.definition, s.object)) {
      CFilerElement* converter = nullptr;
      if (kinds.Of(*entry, s.object, converter) != RefKind::kPhasor) continue;
      if (CPhasor* input = static_cast<CrefPhasor*>(converter)->m_pPhasor) edges.push_back(input);
    }
  }
  for (const SectionValues* s : functions) {
    const auto* self = dynamic_cast<const CPhasor*>(s->object);
    std::set<const CPhasor*> seen;
    std::vector<const CPhasor*> stack(inputs[self].begin(), inputs[self].end());
    bool loop = false;
    while (!stack.empty() && !loop) {
      const CPhasor* p = stack.back();
      stack.pop_back();
      if (p == self) loop = true;
      if (!seen.insert(p).second) continue;
      auto it = inputs.find(p);
      if (it != inputs.end()) stack.insert(stack.end(), it->second.begin(), it->second.end());
    }
    if (loop)
      c.Add(s->header, {},
            Format("%s is, through its inputs, its own input", ObjectName(s->object, s->cls).c_str()));
  }
}

void InvalidLogic(const LintContext& c) {
  for (const SectionValues& s : c.listing.sections) {
    auto* logic = dynamic_cast<cLogicCfg*>(s.object);
    if (!logic) continue;
    bool operatorsValid = true;
    for (size_t k = 0; k < cLogicCfg::kNumOperators; ++k) {
      if (cLogicCfg::IsValidOperationEnum(logic->m_nOper[k])) continue;
      operatorsValid = false;
      std::string key;
      for (const CFilerEntry* entry : s.definition->GetFilerList())
        if (entry->GetOffset() == FieldOf(&cLogicCfg::m_nOper, k)) key = entry->GetKeyName();
      c.Add(s.header, key, Format("operator %d is out of range (0 to 9)", logic->m_nOper[k]));
    }
    if (operatorsValid && !logic->AreInputsDefined())
      c.Add(s.header, {}, "an input the operators use is not defined");
  }
}

bool IsItemKey(std::string_view key) {
  size_t digits = key.find_first_of("0123456789");
  if (digits == std::string_view::npos || digits == 0) return false;
  const std::string_view stem = key.substr(0, digits);
  return (stem == "INDEX" || stem == "IX") &&
         key.find_first_not_of("0123456789", digits) == std::string_view::npos;
}

void CountMismatches(const LintContext& c) {
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

void DuplicateNames(const LintContext& c) {
  std::unordered_map<std::string, const CElementName*> seen;
  for (const SectionValues& s : c.listing.sections) {
    auto* e = dynamic_cast<CElementName*>(s.object);
    if (!e) continue;
    auto* group = dynamic_cast<cHelvoDspCfg*>(e->GetParent());
    const std::string key =
        std::to_string(group ? group->GetDspIndex() : 0) + "/" + Lower(Trimmed(e->GetName()));
    auto [it, fresh] = seen.emplace(key, e);
    if (!fresh)
      c.Add(s.header, "NAME",
            Format("element \"%s\" differs from element \"%s\" only by letter case or surrounding blanks",
                   e->GetName().c_str(), it->second->GetName().c_str()));
  }
}

struct LintRule {
  const char* id;
  void (*check)(const LintContext&);
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
  // The keys are collected in one list first and then copied to their sections, one allocation each.
  std::vector<Key> keys;
  keys.reserve(text.size() / 20);
  std::vector<size_t> firstKey;  // of each section, in keys
  int number = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (++number == 1 || line.empty()) continue;  // the CRC line
    if (line.front() == '[') {
      const size_t close = line.find(']');
      sections_.push_back(
          {line.substr(1, close == std::string_view::npos ? line.npos : close - 1), number, {}});
      firstKey.push_back(keys.size());
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || sections_.empty()) continue;
    keys.push_back({line.substr(0, eq), line.substr(eq + 1), number});
  }
  byHeader_.reserve(sections_.size());
  for (size_t i = 0; i < sections_.size(); ++i) {
    const auto first = keys.begin() + static_cast<std::ptrdiff_t>(firstKey[i]);
    const auto last =
        i + 1 < sections_.size() ? keys.begin() + static_cast<std::ptrdiff_t>(firstKey[i + 1]) : keys.end();
    sections_[i].keys.assign(first, last);
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
  const ValueListing listing = ListWritten(cfg, ListingDetail::kKeys);
  std::vector<Finding> findings;
  LintContext context{cfg, file, listing, "", findings};
  for (const LintRule& rule : kRules) {
    context.rule = rule.id;
    rule.check(context);
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

}  // namespace helvo
