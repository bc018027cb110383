// Differences between two value listings, as a reviewer reads them: references by the name of what
// they refer to, so that a renumbering shows once, where it happened.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "helvo/engine/filer.h"
#include "helvo/model/class_tables.h"
#include "helvo/review/review.h"

namespace helvo {

namespace {

void DiffHeader(const HeaderValues& a, const HeaderValues& b, std::vector<Change>& changes) {
  const struct {
    const char* key;
    int a, b;
  } rows[] = {{"version", a.version, b.version},
              {"generation", a.generation, b.generation},
              {"boards", a.boards, b.boards},
              {"frequency", a.frequency, b.frequency}};
  for (const auto& row : rows)
    if (row.a != row.b)
      changes.push_back(
          {Change::Kind::kHeader, {}, {}, row.key, std::to_string(row.a), std::to_string(row.b)});
}

bool Same(const KeyValue& a, const KeyValue& b) {
  if (a.Shown() == b.Shown()) return true;
  return a.reference && b.reference && !a.targetId.empty() && a.targetId == b.targetId;
}

// The time of the last save, which every save at another version stamps anew: not a setting.
bool IsSaveStamp(const SectionValues& section, const KeyValue& value) {
  return section.cls == eIdCfg && value.key == "SET_DATE";
}

// True when no two keys of section's definition share a name: a listing of it then holds each key
// once.
bool KeysAreUnique(const CFilerSection* section) {
  if (!section) return false;
  std::unordered_set<std::string_view> names;
  for (const CFilerEntry* entry : section->GetFilerList())
    if (!names.insert(entry->GetKeyName()).second) return false;
  return true;
}

void DiffSection(const SectionValues& a, const SectionValues& b, std::vector<Change>& changes,
                 std::unordered_map<const CFilerSection*, bool>& unique) {
  const std::string& name = b.name.empty() ? a.name : b.name;
  // Listings of one definition nearly always hold the same keys in the same order: compared side by
  // side, unless a key could stand twice.
  auto same = [](const KeyValue& x, const KeyValue& y) { return x.key == y.key; };
  if (a.definition == b.definition && a.cls == b.cls && a.keys.size() == b.keys.size() &&
      std::equal(a.keys.begin(), a.keys.end(), b.keys.begin(), same)) {
    auto [known, fresh] = unique.try_emplace(a.definition);
    if (fresh) known->second = KeysAreUnique(a.definition);
    if (known->second) {
      for (size_t i = 0; i < a.keys.size(); ++i)
        if (!IsSaveStamp(a, a.keys[i]) && !Same(a.keys[i], b.keys[i]))
          changes.push_back(
              {Change::Kind::kKey, a.header, name, a.keys[i].key, a.keys[i].Shown(), b.keys[i].Shown()});
      return;
    }
  }
  std::unordered_map<std::string_view, const KeyValue*> inB;
  for (const KeyValue& value : b.keys)
    if (!IsSaveStamp(b, value)) inB.emplace(value.key, &value);
  for (const KeyValue& value : a.keys) {
    if (IsSaveStamp(a, value)) continue;
    auto it = inB.find(value.key);
    if (it == inB.end()) {
      changes.push_back({Change::Kind::kKey, a.header, name, value.key, value.Shown(), std::nullopt});
      continue;
    }
    if (!Same(value, *it->second))
      changes.push_back({Change::Kind::kKey, a.header, name, value.key, value.Shown(), it->second->Shown()});
    inB.erase(it);
  }
  for (const KeyValue& value : b.keys)
    if (inB.count(value.key))
      changes.push_back({Change::Kind::kKey, a.header, name, value.key, std::nullopt, value.Shown()});
}

}  // namespace

std::vector<Change> DiffListings(const ValueListing& a, const ValueListing& b) {
  std::vector<Change> changes;
  DiffHeader(a.header, b.header, changes);
  std::unordered_map<std::string_view, size_t> inB;
  for (size_t j = 0; j < b.sections.size(); ++j) inB.emplace(b.sections[j].header, j);
  std::vector<bool> matched(b.sections.size(), false);
  std::unordered_map<const CFilerSection*, bool> unique;  // KeysAreUnique of each definition
  size_t nextB = 0;                                       // B's sections before this one are reported
  auto onlyInB = [&](size_t upTo) {
    for (; nextB < upTo; ++nextB)
      if (!matched[nextB]) {
        const SectionValues& s = b.sections[nextB];
        changes.push_back({Change::Kind::kOnlyInB, s.header, s.name, {}, std::nullopt, std::nullopt});
      }
  };
  for (const SectionValues& s : a.sections) {
    auto it = inB.find(s.header);
    if (it == inB.end() || matched[it->second]) {
      changes.push_back({Change::Kind::kOnlyInA, s.header, s.name, {}, std::nullopt, std::nullopt});
      continue;
    }
    matched[it->second] = true;
    if (it->second >= nextB) onlyInB(it->second);
    DiffSection(s, b.sections[it->second], changes, unique);
  }
  onlyInB(b.sections.size());
  return changes;
}

}  // namespace helvo
