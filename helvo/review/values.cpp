// The value listing (the writer's walk at the configuration's own version, with the names of what
// references refer to), the keys written, selectors and get from a listing.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"
#include "helvo/engine/value_text.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/platform/format.h"
#include "helvo/review/listing.h"
#include "helvo/review/references.h"
#include "helvo/review/review.h"

namespace helvo {

namespace {

// What a reference refers to, to be named by its section once the walk is done.
struct PendingTarget {
  size_t section, key;
  ReferenceTarget target;
};

}  // namespace

std::string ObjectName(CFiler* obj, int cls) {
  std::string name;
  if (cls == eIdCfg || cls == eLimitsCfg || cls == eTrend) return name;
  if (auto* p = dynamic_cast<CPhasor*>(obj))
    p->GetName(name);
  else if (auto* e = dynamic_cast<CElementName*>(obj))
    name = e->GetName();
  else if (auto* r = dynamic_cast<cNamedRecord*>(obj))
    r->GetName(name);
  else if (auto* pmu = dynamic_cast<CPMU*>(obj))
    name = pmu->m_strName;
  else if (auto* cdr = dynamic_cast<CCDR*>(obj))
    name = cdr->m_strName;
  else if (auto* group = dynamic_cast<cHelvoDspCfg*>(obj ? obj->GetParent() : nullptr))
    group->GetName(name);
  return name;
}

namespace {

// Collects the listing from the writer's walk: one section per block written, each key with the
// definition that wrote it.
class ListingSink final : public cFilerLineSink {
 public:
  ListingSink(CHelvoCfg& cfg, ValueListing& listing, bool names)
      : listing_(listing), names_(names), lookups_(cfg) {}

  void Section(CFilerSection* section, CFiler* obj) override {
    section_ = section;
    object_ = obj;
  }

  void Header(std::string_view name, std::string_view instance) override {
    SectionValues& values = listing_.sections.emplace_back();
    values.header.reserve(name.size() + instance.size());
    values.header.append(name).append(instance);
    values.cls = section_->GetClass();
    if (values.cls == eElementName) lookups_.ElementWritten();
    values.object = object_;
    values.definition = section_;
    values.name = ObjectName(object_, values.cls);
    if (object_) values.keys.reserve(section_->GetFilerList().GetCount());
  }

  void Key(const CFilerEntry& entry, std::string_view text) override {
    SectionValues& values = listing_.sections.back();
    KeyValue& value = values.keys.emplace_back();
    value.key = entry.GetKeyName();
    value.value = text;
    const ReferenceTarget target = NameReference(entry, object_, value, lookups_, names_);
    if (target.object) targets_.push_back({listing_.sections.size() - 1, values.keys.size() - 1, target});
  }

  // Identifies the functions references refer to by their section headers, once every section is
  // listed.
  void IdentifyTargets() {
    std::unordered_map<const CFiler*, const std::string*> headers;
    for (const SectionValues& section : listing_.sections) headers.emplace(section.object, &section.header);
    for (const PendingTarget& t : targets_) {
      auto it = headers.find(t.target.object);
      if (it == headers.end()) continue;
      listing_.sections[t.section].keys[t.key].targetId = TargetId(*it->second, t.target);
    }
  }

 private:
  ValueListing& listing_;
  const bool names_;
  CFilerSection* section_ = nullptr;
  CFiler* object_ = nullptr;
  Lookups lookups_;
  std::vector<PendingTarget> targets_;
};

// Collects the keys written, and which inputs of PMU phasors and CDR channels name a function written.
class KeysSink final : public cFilerLineSink {
 public:
  KeysSink(CHelvoCfg& cfg, KeysWritten& written) : written_(written), lookups_(cfg) {}

  void Section(CFilerSection* section, CFiler* obj) override {
    section_ = section;
    object_ = obj;
  }

  void Header(std::string_view name, std::string_view instance) override {
    StartBlock(written_.blocks, name, instance, section_, object_, written_.keys.size());
  }

  bool WantsPlainValues() const override { return false; }

  void Key(const CFilerEntry& entry, std::string_view) override {
    KeysWritten::Block& block = written_.blocks.back();
    written_.keys.push_back(&entry);
    ++block.keyCount;
    if (entry.GetType() != CFilerEntry::eInt || (block.cls != ePMU && block.cls != eCDR)) return;
    KeyValue value;
    const ReferenceTarget target = NameReference(entry, object_, value, lookups_, false);
    if (value.reference) inputs_.push_back({written_.blocks.size() - 1, &entry, target.object});
  }

  // An input names a function only when the save writes that function.
  void JudgeInputs() {
    std::unordered_set<const CFiler*> objects;
    for (const KeysWritten::Block& block : written_.blocks) objects.insert(block.object);
    for (const Input& input : inputs_)
      if (!input.target || !objects.count(input.target))
        written_.blocks[input.block].unnamedInputs.push_back(input.entry);
  }

 private:
  struct Input {
    size_t block;
    const CFilerEntry* entry;
    const CFiler* target;
  };
  KeysWritten& written_;
  CFilerSection* section_ = nullptr;
  CFiler* object_ = nullptr;
  Lookups lookups_;
  std::vector<Input> inputs_;
};

}  // namespace

bool ParseSelector(std::string_view text, Selector& selector) {
  const size_t slash = text.rfind('/');
  if (slash == std::string_view::npos || slash == 0 || slash + 1 == text.size()) return false;
  selector.section = std::string(text.substr(0, slash));
  selector.key = std::string(text.substr(slash + 1));
  return true;
}

const KeyValue* SectionValues::Find(std::string_view key) const {
  for (const KeyValue& value : keys)
    if (value.key == key) return &value;
  return nullptr;
}

void ValueListing::Index() {
  byHeader_.clear();
  for (size_t i = 0; i < sections.size(); ++i) byHeader_.emplace(sections[i].header, i);
}

const SectionValues* ValueListing::Find(std::string_view text) const {
  if (byHeader_.size() > 0 || sections.empty()) {
    auto it = byHeader_.find(std::string(text));
    if (it != byHeader_.end() && it->second < sections.size() && sections[it->second].header == text)
      return &sections[it->second];
    if (byHeader_.size() == sections.size()) return nullptr;
  }
  for (const SectionValues& section : sections)
    if (section.header == text) return &section;
  return nullptr;
}

std::vector<std::string> ValueListing::Lines() const {
  std::vector<std::string> lines;
  for (const SectionValues& section : sections) {
    lines.push_back("[" + section.header + "]");
    if (!section.object) continue;  // [END] stands alone
    for (const KeyValue& value : section.keys) lines.push_back(value.key + "=" + value.value);
    lines.emplace_back();
  }
  return lines;
}

ValueListing ListValues(CHelvoCfg& cfg, bool names) {
  ValueListing listing;
  ListingSink sink(cfg, listing, names);
  const int version = cfg.WriteOwnVersionTo(sink);
  CIdCfg* id = cfg.GetIdCfg();
  if (!version || !id) return listing;  // only a configuration never linked lacks the record
  listing.header = {version, cfg.m_State.m_iIedGen, CHelvoCfg::DspsByGen(cfg.m_State.m_iIedGen),
                    id->m_nSystemFrequency};
  sink.IdentifyTargets();
  listing.Index();
  // A save at the own version keeps the set date the file gave.
  for (SectionValues& section : listing.sections)
    if (section.object == id)
      for (KeyValue& value : section.keys)
        if (value.key == "SET_DATE") value.value = id->m_strSetDate;
  return listing;
}

KeysWritten ListKeysWritten(CHelvoCfg& cfg) {
  KeysWritten written;
  written.keys.reserve(4096);
  KeysSink sink(cfg, written);
  cfg.WriteOwnVersionTo(sink);
  sink.JudgeInputs();
  return written;
}

ReviewStatus GetValue(const ValueListing& listing, const Selector& selector, const KeyValue*& value,
                      std::string& error) {
  value = nullptr;
  const SectionValues* section = listing.Find(selector.section);
  if (!section) {
    error = Format("no section [%s]", selector.section.c_str());
    return ReviewStatus::kUnknownSection;
  }
  value = section->Find(selector.key);
  if (value) return ReviewStatus::kOk;
  error = Format("no key %s in [%s]", selector.key.c_str(), selector.section.c_str());
  return ReviewStatus::kUnknownKey;
}

}  // namespace helvo
