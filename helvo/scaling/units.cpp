#include "helvo/scaling/units.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

#include "helvo/engine/value_text.h"
#include "helvo/host/settings_store.h"
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr const char* kDCUnitsValue = "DCUnits";

// Changes whenever the loaded list is discarded, so that positions made over it end.
unsigned s_nListIdentity = 1;
// The buffer GetNextUnit returns: one per thread, so that a thread's name stays until its next call.
thread_local std::string s_strUnitName;

// Guards the loaded list and its identity: a new configuration on one thread discards the list
// while another thread may be walking it. Recursive, since the walks call each other.
std::recursive_mutex& ListMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

bool IsEndMarker(const char* text) {
  return text[0] == '\n';
}

void SetList(std::string& buffer, const std::vector<std::string>& units) {
  std::string list(1, '\0');
  for (const std::string& unit : units) {
    if (unit.empty() || unit.size() > kMaxDCUnitLength || unit.find('\0') != std::string::npos) continue;
    list += unit;
    list += '\0';
  }
  list += '\0';
  buffer.swap(list);
}

// The units of a loaded list, in order.
std::vector<std::string> ListUnits(const std::string& buffer) {
  std::vector<std::string> units;
  std::size_t pos = 1;
  while (pos < buffer.size() && buffer[pos] != '\0') {
    std::size_t end = buffer.find('\0', pos);
    if (end == std::string::npos) end = buffer.size();
    units.emplace_back(buffer, pos, end - pos);
    pos = end + 1;
  }
  return units;
}

bool Contains(const std::vector<std::string>& units, const std::string& unit) {
  return std::find(units.begin(), units.end(), unit) != units.end();
}

}  // namespace

// ---- cUnit ----

cUnit::cUnit(int id) {
  if (id != 0) ReadResource(id);
}

int cUnit::ReadResource(int id) {
  const char* text = FindString(id);
  return text ? DecodeString(text) : 0;
}

int cUnit::DecodeString(const char* text) {
  if (!text || IsEndMarker(text)) return 0;
  const std::string_view row(text);
  const std::size_t comma = row.find(',');
  m_strName.assign(row.substr(0, comma));
  m_nMask = comma == std::string_view::npos ? 0 : LeadingInt(row.substr(comma + 1));
  return 1;
}

// ---- CHelvoUnits ----

std::string CHelvoUnits::m_DCUnits;

const char* CHelvoUnits::GetDCUnits() {
  std::lock_guard lock(ListMutex());
  if (!m_DCUnits.empty()) return m_DCUnits.data();
  SettingsValue value;
  std::vector<std::string> units;
  switch (QuerySettingsValue(kRegKeyPath, kDCUnitsValue, value)) {
    case eSettingsQuery::kNoKey:
      return nullptr;
    case eSettingsQuery::kNoValue:
      break;
    case eSettingsQuery::kOk:
      units = value.GetMultiString();  // empty for a value of another type
      break;
  }
  SetList(m_DCUnits, units);
  return m_DCUnits.data();
}

int CHelvoUnits::IsValidDCUnit(const char* name) {
  if (!name) return 0;
  const std::string_view text(name);
  if (text.size() > 6) return 0;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
                    c == '-' || c == '.' || c == '_' || c == 0xB2 || c == 0xB3 || c == 0xB5 || c == 0xB7;
    if (!ok) return 0;
  }
  return 1;
}

void CHelvoUnits::DiscardDCUnits() {
  std::lock_guard lock(ListMutex());
  m_DCUnits.clear();
  m_DCUnits.shrink_to_fit();
  ++s_nListIdentity;
}

bool CHelvoUnits::IsDCListMode(unsigned long mask, int version) {
  return (mask & kUnitACTypesMask) == 0 && version >= kFirstDCUnitListVersion;
}

UnitPosition CHelvoUnits::FindFirstUnit(unsigned long mask, int version) const {
  UnitPosition pos;
  if (IsDCListMode(mask, ResolveVersion(version))) {
    std::lock_guard lock(ListMutex());
    if (!GetDCUnits()) return pos;
    pos.m_eKind = UnitPosition::kDCList;
    pos.m_nPlace = 0;
    pos.m_nListIdentity = s_nListIdentity;
    return pos;
  }
  for (int id = IDS_UNIT_FIRST;; ++id) {
    cUnit unit;
    if (!unit.ReadResource(id)) return pos;  // no such row, or the end marker
    if (mask & static_cast<std::uint32_t>(unit.m_nMask)) {
      pos.m_eKind = UnitPosition::kTable;
      pos.m_nPlace = static_cast<std::size_t>(id);
      return pos;
    }
  }
}

const char* CHelvoUnits::GetNextUnit(UnitPosition& pos, unsigned long mask, int version) const {
  const UnitPosition here = pos;
  pos = UnitPosition();
  s_strUnitName.clear();

  if (IsDCListMode(mask, ResolveVersion(version))) {
    std::lock_guard lock(ListMutex());
    if (here.m_eKind != UnitPosition::kDCList || here.m_nListIdentity != s_nListIdentity ||
        here.m_nPlace >= m_DCUnits.size())
      return s_strUnitName.c_str();
    const std::size_t size = m_DCUnits.size();
    const char* start = m_DCUnits.data() + here.m_nPlace;
    const std::size_t length = strnlen(start, size - here.m_nPlace);
    s_strUnitName.assign(start, length);
    const std::size_t next = here.m_nPlace + length + 1;
    if (next < size && m_DCUnits[next] != '\0') {
      pos = here;
      pos.m_nPlace = next;
    }
    return s_strUnitName.c_str();
  }

  if (here.m_eKind != UnitPosition::kTable || here.m_nPlace < static_cast<std::size_t>(IDS_UNIT_FIRST) ||
      here.m_nPlace >= static_cast<std::size_t>(IDS_UNIT_END))
    return s_strUnitName.c_str();
  cUnit unit;
  if (!unit.ReadResource(static_cast<int>(here.m_nPlace))) return s_strUnitName.c_str();
  s_strUnitName = unit.m_strName;
  for (int id = static_cast<int>(here.m_nPlace) + 1;; ++id) {
    cUnit next;
    if (!next.ReadResource(id)) break;
    if (mask & static_cast<std::uint32_t>(next.m_nMask)) {
      pos = here;
      pos.m_nPlace = static_cast<std::size_t>(id);
      break;
    }
  }
  return s_strUnitName.c_str();
}

int CHelvoUnits::UnitIsDefined(const char* name, unsigned long mask, int version) const {
  if (!name) return 0;
  version = ResolveVersion(version);
  std::lock_guard lock(ListMutex());  // one walk over one list
  for (UnitPosition pos = FindFirstUnit(mask, version); pos;)
    if (std::strcmp(GetNextUnit(pos, mask, version), name) == 0) return 1;
  return 0;
}

int CHelvoUnits::AddDCUnit(const char* name) {
  const int version = GetOwnSettingVersion();
  if (version < kFirstDCUnitListVersion || !name) return 0;
  if (UnitIsDefined(name, kUnitDCTypeMask, version)) return 1;
  const std::string unit(name);
  // The empty unit is always part of a list that loads; reaching here it did not.
  if (unit.empty() || unit.size() > kMaxDCUnitLength) return 0;
  std::lock_guard lock(ListMutex());

  const std::vector<std::string> ours = ListUnits(m_DCUnits);
  std::vector<std::string> merged;
  const bool written =
      UpdateSettingsValue(kRegKeyPath, kDCUnitsValue, [&](const SettingsValue* current, SettingsValue& next) {
        merged = ours;
        if (current)
          for (const std::string& stored : current->GetMultiString())
            if (!Contains(merged, stored)) merged.push_back(stored);
        if (!Contains(merged, unit)) merged.push_back(unit);
        next = SettingsValue::MultiString(merged);
        return true;
      });
  if (!written) {
    if (!m_DCUnits.empty()) {
      std::vector<std::string> kept = ours;
      kept.push_back(unit);
      SetList(m_DCUnits, kept);
    }
    return 0;
  }
  // The new list extends the one in memory, so positions over it stay valid.
  SetList(m_DCUnits, merged);
  return 1;
}

}  // namespace helvo
