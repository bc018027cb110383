// The value snapshot: the writer's walk at the configuration's own version, kept in the form a
// comparison reads cheaply.
#include <unordered_map>
#include <unordered_set>

#include "helvo/engine/filer.h"
#include "helvo/host/host_settings.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/format.h"
#include "helvo/review/listing.h"
#include "helvo/review/references.h"
#include "helvo/review/review.h"

namespace helvo {

namespace {

// True when group holds an element or a function: a walk that folds it (at a folded version) renames
// its elements and renumbers its functions, and with them the names of what refers to them.
bool HoldsFunctions(cHelvoDspCfg* group) {
  if (!group) return false;
  if (!group->GetElementList().IsEmpty() || !group->GetUnfiledList().IsEmpty()) return true;
  for (int cls = 0; cls < kNumClasses; ++cls)
    if (!group->GetClassList(cls).IsEmpty()) return true;
  return false;
}

class SnapshotSink final : public cFilerLineSink {
 public:
  // With only, the keys of the sections it names alone.
  SnapshotSink(CHelvoCfg& cfg, ValueSnapshot::Data& data, const std::unordered_set<std::string_view>* only)
      : data_(data), lookups_(cfg), only_(only) {}

  void Section(CFilerSection* section, CFiler* obj) override {
    section_ = section;
    object_ = obj;
  }

  void Header(std::string_view name, std::string_view instance) override {
    ValueSnapshot::Data::Block& block =
        StartBlock(data_.blocks, name, instance, section_, object_, data_.keys.size());
    wanted_ = !only_ || only_->count(block.header);
    if (!data_.namedDuringWalk) return;
    if (block.cls == eElementName) lookups_.ElementWritten();
    block.name = ObjectName(object_, block.cls);
  }

  // Numbers come unformatted; converters with their text.
  bool WantsPlainValues() const override { return false; }
  bool WantsConverterValues() const override { return true; }
  bool WantsKeys() const override { return wanted_; }

  void Key(const CFilerEntry& entry, std::string_view text) override {
    ValueSnapshot::Data::Block& block = data_.blocks.back();
    ValueSnapshot::Data::Key& key = data_.keys.emplace_back();
    ++block.keyCount;
    key.entry = &entry;
    const CFilerEntry::EFilerEntryType type = entry.GetType();
    NumberValue number;
    if (type != CFilerEntry::eElement && ReadNumberValue(entry, object_, number)) {
      key.isNumber = true;
      key.type = number.type;
      key.bits = number.bits;
    } else {
      // A string is not in the text the walk hands on.
      const std::string string =
          type == CFilerEntry::eElement ? std::string() : FormatValueText(entry, object_, 0, sysFreq_, false);
      const std::string_view value = type == CFilerEntry::eElement ? text : std::string_view(string);
      key.text = static_cast<std::uint32_t>(data_.texts.size());
      key.size = static_cast<std::uint32_t>(value.size());
      data_.texts.append(value);
    }
    // Only reference converters and the inputs of PMU phasors and CDR channels refer to anything.
    if (type == CFilerEntry::eElement) {
      CFilerElement* converter = nullptr;
      const RefKind kind = lookups_.kinds.Of(entry, object_, converter);
      if (kind == RefKind::kNone) return;
      if (kind == RefKind::kElement) {
        key.element = true;
        key.bits = reinterpret_cast<std::uintptr_t>(static_cast<CrefElementName*>(converter)->m_pElementName);
      }
    } else if (type != CFilerEntry::eInt || !object_ ||
               (object_->GetClass() != ePMU && object_->GetClass() != eCDR)) {
      return;
    }
    KeyValue value;
    value.value = text;
    const ReferenceTarget target = NameReference(entry, object_, value, lookups_, data_.namedDuringWalk);
    key.reference = value.reference;
    if (!value.target.empty()) {
      key.name = static_cast<int>(data_.names.size());
      data_.names.push_back(std::move(value.target));
    }
    if (target.object) {
      key.target = static_cast<int>(data_.targets.size());
      data_.targets.push_back({target, -1});
    }
  }

 private:
  ValueSnapshot::Data& data_;
  CFilerSection* section_ = nullptr;
  CFiler* object_ = nullptr;
  Lookups lookups_;
  const std::unordered_set<std::string_view>* only_;
  bool wanted_ = true;
  int sysFreq_ = 0;  // strings do not read it
};

// Fills data from the writer's walk at cfg's own version; with only, the keys of the sections it
// names alone.
void Walk(CHelvoCfg& cfg, ValueSnapshot::Data& data, const std::unordered_set<std::string_view>* only) {
  using Data = ValueSnapshot::Data;
  const CIdCfg* own = cfg.GetIdCfg();
  data.namedDuringWalk = IsFoldedVersion(own ? own->m_nSettingsVers : GetSettingVersionLimit()) &&
                         HoldsFunctions(cfg.m_pDspCfg[1]);
  data.keys.reserve(8192);
  data.texts.reserve(32768);
  SnapshotSink sink(cfg, data, only);
  const int version = cfg.WriteOwnVersionTo(sink);
  CIdCfg* id = cfg.GetIdCfg();
  if (!version || !id) return;  // only a configuration never linked lacks the record
  data.header = {version, cfg.m_State.m_iIedGen, CHelvoCfg::DspsByGen(cfg.m_State.m_iIedGen),
                 id->m_nSystemFrequency};
  std::unordered_map<const CFiler*, int> blockOf;
  for (size_t i = 0; i < data.blocks.size(); ++i) blockOf.emplace(data.blocks[i].object, static_cast<int>(i));
  for (Data::Target& target : data.targets)
    if (auto it = blockOf.find(target.target.object); it != blockOf.end()) target.block = it->second;
}

ReviewStatus FindValue(const ValueSnapshot::Data& data, const Selector& selector, KeyValue& value,
                       std::string& error) {
  for (const ValueSnapshot::Data::Block& block : data.blocks) {
    if (block.header != selector.section) continue;
    for (size_t k = 0; k < block.keyCount; ++k) {
      const ValueSnapshot::Data::Key& key = data.keys[block.firstKey + k];
      if (key.entry->GetKeyName() != selector.key) continue;
      value = data.Materialize(block, key);
      return ReviewStatus::kOk;
    }
    error = Format("no key %s in [%s]", selector.key.c_str(), selector.section.c_str());
    return ReviewStatus::kUnknownKey;
  }
  error = Format("no section [%s]", selector.section.c_str());
  return ReviewStatus::kUnknownSection;
}

}  // namespace

ValueSnapshot::Data::Data(CHelvoCfg& c) : cfg(c) {}
ValueSnapshot::Data::~Data() = default;

ValueSnapshot::ValueSnapshot(CHelvoCfg& cfg) : data_(std::make_unique<Data>(cfg)) {
  Walk(cfg, *data_, nullptr);
}

ValueSnapshot::~ValueSnapshot() = default;
ValueSnapshot::ValueSnapshot(ValueSnapshot&&) noexcept = default;
ValueSnapshot& ValueSnapshot::operator=(ValueSnapshot&&) noexcept = default;

std::string ValueSnapshot::Data::NameOf(const Block& block) const {
  return namedDuringWalk ? block.name : ObjectName(block.object, block.cls);
}

KeyValue ValueSnapshot::Data::Materialize(const Block& block, const Key& key) const {
  KeyValue value;
  value.key = key.entry->GetKeyName();
  value.value = ValueText(key);
  if (namedDuringWalk) {
    value.reference = key.reference;
    if (key.name >= 0) value.target = names[static_cast<size_t>(key.name)];
  } else if (key.reference) {
    if (!lookups_) lookups_ = std::make_unique<Lookups>(cfg);
    NameReference(*key.entry, block.object, value, *lookups_, true);
  }
  if (key.target >= 0) {
    const Target& target = targets[static_cast<size_t>(key.target)];
    if (target.block >= 0)
      value.targetId = TargetId(blocks[static_cast<size_t>(target.block)].header, target.target);
  }
  // A save at the own version keeps the set date the file gave.
  if (const CIdCfg* id = cfg.GetIdCfg(); id && block.object == id && value.key == "SET_DATE")
    value.value = id->m_strSetDate;
  return value;
}

std::string_view ValueSnapshot::Data::ElementShown(const Key& key) const {
  const auto* element = reinterpret_cast<const CElementName*>(static_cast<std::uintptr_t>(key.bits));
  return element && !element->GetName().empty() ? std::string_view(element->GetName()) : Text(key);
}

bool ValueSnapshot::Data::SameTarget(const Key& key, const Data& other, const Key& otherKey) const {
  if (key.target < 0 || otherKey.target < 0) return false;
  const Target& a = targets[static_cast<size_t>(key.target)];
  const Target& b = other.targets[static_cast<size_t>(otherKey.target)];
  return a.block >= 0 && b.block >= 0 && a.target.SameItem(b.target) &&
         blocks[static_cast<size_t>(a.block)].header == other.blocks[static_cast<size_t>(b.block)].header;
}

ReviewStatus GetValue(const ValueSnapshot& snapshot, const Selector& selector, KeyValue& value,
                      std::string& error) {
  return FindValue(snapshot.data(), selector, value, error);
}

ReviewStatus GetValues(CHelvoCfg& cfg, const std::vector<Selector>& selectors, std::vector<KeyValue>& values,
                       std::string& error) {
  values.clear();
  std::unordered_set<std::string_view> only;
  for (const Selector& selector : selectors) only.insert(selector.section);
  ValueSnapshot::Data data(cfg);
  Walk(cfg, data, &only);
  for (const Selector& selector : selectors)
    if (const ReviewStatus status = FindValue(data, selector, values.emplace_back(), error);
        status != ReviewStatus::kOk) {
      values.pop_back();
      return status;
    }
  return ReviewStatus::kOk;
}

}  // namespace helvo
