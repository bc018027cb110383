// Differences between two value listings, as a reviewer reads them: references by the name of what
// they refer to, so that a renumbering shows once, where it happened.
#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "helvo/engine/filer.h"
#include "helvo/model/class_tables.h"
#include "helvo/review/listing.h"
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

// The key names that section's definition gives more than one key; a listed section holds each of
// its other names at most once.
std::vector<std::string_view> RepeatedNames(const CFilerSection* section) {
  std::vector<std::string_view> repeated;
  std::unordered_set<std::string_view> names;
  for (const CFilerEntry* entry : section->GetFilerList())
    if (!names.insert(entry->GetKeyName()).second) repeated.push_back(entry->GetKeyName());
  return repeated;
}

// What the comparison reads of a listing (section s, key k of it).
class ListingSide {
 public:
  explicit ListingSide(const ValueListing& listing) : l_(listing) {}
  const HeaderValues& Header() const { return l_.header; }
  size_t Sections() const { return l_.sections.size(); }
  const std::string& HeaderOf(size_t s) const { return l_.sections[s].header; }
  std::string NameOf(size_t s) const { return l_.sections[s].name; }
  int ClassOf(size_t s) const { return l_.sections[s].cls; }
  const CFilerSection* DefinitionOf(size_t s) const { return l_.sections[s].definition; }
  size_t KeyCount(size_t s) const { return l_.sections[s].keys.size(); }
  std::string_view KeyOf(size_t s, size_t k) const { return l_.sections[s].keys[k].key; }
  bool SameKey(size_t s, size_t k, const ListingSide& b, size_t t, size_t l) const {
    return KeyOf(s, k) == b.KeyOf(t, l);
  }
  std::string Shown(size_t s, size_t k) const { return l_.sections[s].keys[k].Shown(); }
  static bool Same(const ListingSide& a, size_t s, size_t k, const ListingSide& b, size_t t, size_t l) {
    return helvo::Same(a.l_.sections[s].keys[k], b.l_.sections[t].keys[l]);
  }

 private:
  const ValueListing& l_;
};

// The same of a snapshot: values are compared before they are formatted, and references by their
// targets before they are named; what is left is compared as the listing would hold it.
class SnapshotSide {
 public:
  explicit SnapshotSide(const ValueSnapshot& snapshot) : d_(snapshot.data()) {}
  const HeaderValues& Header() const { return d_.header; }
  size_t Sections() const { return d_.blocks.size(); }
  const std::string& HeaderOf(size_t s) const { return d_.blocks[s].header; }
  std::string NameOf(size_t s) const { return d_.NameOf(d_.blocks[s]); }
  int ClassOf(size_t s) const { return d_.blocks[s].cls; }
  const CFilerSection* DefinitionOf(size_t s) const { return d_.blocks[s].definition; }
  size_t KeyCount(size_t s) const { return d_.blocks[s].keyCount; }
  std::string_view KeyOf(size_t s, size_t k) const { return Key(s, k).entry->GetKeyName(); }
  bool SameKey(size_t s, size_t k, const SnapshotSide& b, size_t t, size_t l) const {
    return Key(s, k).entry == b.Key(t, l).entry || KeyOf(s, k) == b.KeyOf(t, l);
  }
  std::string Shown(size_t s, size_t k) const { return d_.Materialize(d_.blocks[s], Key(s, k)).Shown(); }
  static bool Same(const SnapshotSide& a, size_t s, size_t k, const SnapshotSide& b, size_t t, size_t l) {
    const ValueSnapshot::Data::Key& x = a.Key(s, k);
    const ValueSnapshot::Data::Key& y = b.Key(t, l);
    if (!x.reference && !y.reference) {
      if (x.isNumber && y.isNumber && x.type == y.type && x.bits == y.bits) return true;
      if (!x.isNumber && !y.isNumber) return a.d_.Text(x) == b.d_.Text(y);
      return a.d_.ValueText(x) == b.d_.ValueText(y);
    }
    if (x.reference && y.reference && a.d_.SameTarget(x, b.d_, y)) return true;
    if (x.element && y.element && !a.d_.namedDuringWalk && !b.d_.namedDuringWalk)
      return a.d_.ElementShown(x) == b.d_.ElementShown(y);
    return helvo::Same(a.d_.Materialize(a.d_.blocks[s], x), b.d_.Materialize(b.d_.blocks[t], y));
  }

 private:
  const ValueSnapshot::Data::Key& Key(size_t s, size_t k) const { return d_.keys[d_.blocks[s].firstKey + k]; }
  const ValueSnapshot::Data& d_;
};

// The time of the last save, which every save at another version stamps anew: not a setting.
template <class Side>
bool IsSaveStamp(const Side& side, size_t s, size_t k) {
  return side.ClassOf(s) == eIdCfg && side.KeyOf(s, k) == "SET_DATE";
}

using RepeatedNamesOf = std::unordered_map<const CFilerSection*, std::vector<std::string_view>>;

template <class Side>
void DiffSection(const Side& a, size_t s, const Side& b, size_t t, std::vector<Change>& changes,
                 RepeatedNamesOf& repeatedNames) {
  // The section's name, made only when a change needs it.
  std::optional<std::string> name;
  auto add = [&](std::string_view key, std::optional<std::string> old, std::optional<std::string> now) {
    if (!name) {
      name = b.NameOf(t);
      if (name->empty()) name = a.NameOf(s);
    }
    changes.push_back(
        {Change::Kind::kKey, a.HeaderOf(s), *name, std::string(key), std::move(old), std::move(now)});
  };
  const size_t count = a.KeyCount(s);
  // Listings of one definition nearly always hold the same keys in the same order: compared side by
  // side, unless a key could stand twice.
  bool sideBySide = a.DefinitionOf(s) && a.DefinitionOf(s) == b.DefinitionOf(t) &&
                    a.ClassOf(s) == b.ClassOf(t) && count == b.KeyCount(t);
  for (size_t k = 0; sideBySide && k < count; ++k) sideBySide = a.SameKey(s, k, b, t, k);
  if (sideBySide) {
    auto [known, fresh] = repeatedNames.try_emplace(a.DefinitionOf(s));
    if (fresh) known->second = RepeatedNames(a.DefinitionOf(s));
    // A name the definition repeats may still be listed once (the keys are of different versions).
    for (std::string_view repeated : known->second) {
      size_t listed = 0;
      for (size_t k = 0; k < count; ++k) listed += a.KeyOf(s, k) == repeated;
      sideBySide = sideBySide && listed <= 1;
    }
  }
  if (sideBySide) {
    for (size_t k = 0; k < count; ++k)
      if (!IsSaveStamp(a, s, k) && !Side::Same(a, s, k, b, t, k))
        add(a.KeyOf(s, k), a.Shown(s, k), b.Shown(t, k));
    return;
  }
  std::unordered_map<std::string_view, size_t> inB;
  for (size_t l = 0; l < b.KeyCount(t); ++l)
    if (!IsSaveStamp(b, t, l)) inB.emplace(b.KeyOf(t, l), l);
  for (size_t k = 0; k < count; ++k) {
    if (IsSaveStamp(a, s, k)) continue;
    auto it = inB.find(a.KeyOf(s, k));
    if (it == inB.end()) {
      add(a.KeyOf(s, k), a.Shown(s, k), std::nullopt);
      continue;
    }
    if (!Side::Same(a, s, k, b, t, it->second)) add(a.KeyOf(s, k), a.Shown(s, k), b.Shown(t, it->second));
    inB.erase(it);
  }
  for (size_t l = 0; l < b.KeyCount(t); ++l)
    if (inB.count(b.KeyOf(t, l))) add(b.KeyOf(t, l), std::nullopt, b.Shown(t, l));
}

template <class Side>
std::vector<Change> DiffSides(const Side& a, const Side& b) {
  std::vector<Change> changes;
  DiffHeader(a.Header(), b.Header(), changes);
  std::unordered_map<std::string_view, size_t> inB;
  for (size_t j = 0; j < b.Sections(); ++j) inB.emplace(b.HeaderOf(j), j);
  std::vector<bool> matched(b.Sections(), false);
  RepeatedNamesOf repeatedNames;  // of each definition
  size_t nextB = 0;               // B's sections before this one are reported
  auto onlyInB = [&](size_t upTo) {
    for (; nextB < upTo; ++nextB)
      if (!matched[nextB])
        changes.push_back(
            {Change::Kind::kOnlyInB, b.HeaderOf(nextB), b.NameOf(nextB), {}, std::nullopt, std::nullopt});
  };
  for (size_t i = 0; i < a.Sections(); ++i) {
    auto it = inB.find(a.HeaderOf(i));
    if (it == inB.end() || matched[it->second]) {
      changes.push_back({Change::Kind::kOnlyInA, a.HeaderOf(i), a.NameOf(i), {}, std::nullopt, std::nullopt});
      continue;
    }
    matched[it->second] = true;
    if (it->second >= nextB) onlyInB(it->second);
    DiffSection(a, i, b, it->second, changes, repeatedNames);
  }
  onlyInB(b.Sections());
  return changes;
}

}  // namespace

std::vector<Change> DiffListings(const ValueListing& a, const ValueListing& b) {
  return DiffSides(ListingSide(a), ListingSide(b));
}

std::vector<Change> DiffSnapshots(const ValueSnapshot& a, const ValueSnapshot& b) {
  return DiffSides(SnapshotSide(a), SnapshotSide(b));
}

}  // namespace helvo
