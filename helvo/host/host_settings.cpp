#include "helvo/host/host_settings.h"

#include <atomic>
#include <cstdint>
#include <mutex>

#include "helvo/host/settings_store.h"
#include "helvo/model/cfg_state.h"
#include "helvo/model/class_tables.h"

namespace helvo {

const char* const kRegCompanyName = "DQF";
const char* const kRegProductName = "HELVO Voduvez Eroza";
const char* const kRegKeyPath = "SOFTWARE\\DQF\\HELVO Voduvez Eroza";
const char* const kRegActiveIED = "ActiveIED";
const char* const kRegDefaultSysFreq = "DefaultSysFreq";
const char* const kRegCanEditSysFreq = "CanEditSysFreq";

namespace {

constexpr int kMinSettingVersionLimit = 203;
std::atomic<int> s_nSettingVersionLimit{0};  // 0: not read yet

struct CapabilityRow {
  int sampleRate;
  int analogChannels;
  int harmonic;
};
constexpr CapabilityRow kCapabilities[] = {
    {32, 18, 8}, {64, 18, 16}, {96, 18, 25}, {128, 18, 33}, {256, 18, 66}, {384, 12, 100},
};

// Guards the capability maps, which every query fills.
std::mutex& CapabilityMutex() {
  static std::mutex mutex;
  return mutex;
}

void FillCapabilityMaps() {
  for (const CapabilityRow& row : kCapabilities) {
    CHelvoCapabilities::mapAChannels[row.sampleRate] = row.analogChannels;
    CHelvoCapabilities::mapHarmonics[row.sampleRate] = row.harmonic;
  }
}

}  // namespace

void GetRegistryKey(std::string& key) {
  key = kRegKeyPath;
}

int ReadRegistryDword(const std::string& key, const char* name, unsigned long* value) {
  if (!name || !value) return 0;
  SettingsValue stored;
  if (QuerySettingsValue(key, name, stored) != eSettingsQuery::kOk) return 0;
  std::uint32_t dword;
  if (!stored.GetDword(dword)) return 0;
  *value = dword;
  return 1;
}

short GetDefaultSysFreq(unsigned long* freq, int* canEdit) {
  const std::string key = kRegKeyPath;
  short found = 0;
  if (freq && ReadRegistryDword(key, kRegDefaultSysFreq, freq)) found = (*freq == 50 || *freq == 60) ? 1 : 0;
  unsigned long edit = 0;
  const int editRead = ReadRegistryDword(key, kRegCanEditSysFreq, &edit);
  if (canEdit) *canEdit = (editRead && edit == 1) ? 1 : 0;
  return found;
}

int GetSettingVersionLimit() {
  if (const int known = s_nSettingVersionLimit.load(); known != 0) return known;
  // Threads that get here at once read the same settings and store the same value.
  unsigned long limit = 0;
  int value = kMinSettingVersionLimit;
  if (ReadRegistryDword(kRegKeyPath, "SettingVersionLimit", &limit) && limit >= kMinSettingVersionLimit &&
      limit <= INT32_MAX)
    value = static_cast<int>(limit);
  s_nSettingVersionLimit.store(value);
  return value;
}

void ResetSettingVersionLimit() {
  s_nSettingVersionLimit = 0;
}

// ---- CHelvoCapabilities ----

std::map<int, int> CHelvoCapabilities::mapAChannels;
std::map<int, int> CHelvoCapabilities::mapHarmonics;

int CHelvoCapabilities::GetMaxChannelSupported() {
  return GetMaxChannelSupported(sCfgState::FromStatics());
}

int CHelvoCapabilities::GetMaxHarmonicSupported() {
  return GetMaxHarmonicSupported(sCfgState::FromStatics());
}

int CHelvoCapabilities::GetMaxChannelSupported(const sCfgState& state) {
  std::lock_guard lock(CapabilityMutex());
  FillCapabilityMaps();
  const int rate = state.m_nSRate;
  const auto it = mapAChannels.find(rate);
  if (it == mapAChannels.end()) return -1;
  switch (state.m_nAChan) {
    case 18:
      return it->second;
    case 36:
      return rate >= 32 && rate < 256 ? 2 * it->second : it->second;
    default:
      return -1;
  }
}

int CHelvoCapabilities::GetMaxHarmonicSupported(const sCfgState& state) {
  std::lock_guard lock(CapabilityMutex());
  FillCapabilityMaps();
  const auto it = mapHarmonics.find(state.m_nSRate);
  return it == mapHarmonics.end() ? -1 : it->second;
}

}  // namespace helvo
