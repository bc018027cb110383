// Differences between two value listings, as a reviewer reads them: references by the name of what
// they refer to, so that a renumbering shows once, where it happened.
#include <unordered_map>

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

void DiffSection(const SectionValues& a, const SectionValues& b, std::vector<Change>& changes) {
  const std::string& name = b.name.empty() ? a.name : b.name;
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
  size_t nextB = 0;  // B's sections before this one are reported
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
    DiffSection(s, b.sections[it->second], changes);
  }
  onlyInB(b.sections.size());
  return changes;
}

}  // namespace helvo
