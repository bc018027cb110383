#include "helvo/host/ied_def.h"

#include <cstdint>
#include <string_view>

#include "helvo/host/host_settings.h"
#include "helvo/host/settings_store.h"

namespace helvo {

int cIEDDef::GetActiveIED(std::string& name) {
  name.clear();
  SettingsValue value;
  if (QuerySettingsValue(kRegKeyPath, kRegActiveIED, value) != eSettingsQuery::kOk || value.m_nType != REG_SZ)
    return 0;
  name = value.m_Data;
  return name.empty() ? 0 : 1;
}

int cIEDDef::ReadFromRegistry(const char* name) {
  m_strSerialNumber.clear();
  m_nGeneration = 0;
  m_nRefChannel888 = 0;
  if (!name || !*name) return 0;
  const std::string_view text(name);
  if (text.find_first_of("\\]\r\n") != std::string_view::npos) return 0;

  const std::string path = GetSettingsStorePath();
  if (path.empty()) return 0;
  cSettingsStore store;
  const std::string key = std::string(kRegKeyPath) + "\\IEDs\\" + name;
  if (store.Load(path) != cSettingsStore::kLoaded || !store.KeyExists(key)) return 0;

  SettingsValue value;
  if (store.QueryValue(key, "SerialNumber", value) && value.m_nType == REG_SZ)
    m_strSerialNumber = value.m_Data;
  std::uint32_t dword;
  if (store.QueryValue(key, "Generation", value) && value.GetDword(dword) && dword <= 0xFFFFu)
    m_nGeneration = static_cast<unsigned short>(dword);
  if (store.QueryValue(key, "RefChannel888", value) && value.GetDword(dword))
    m_nRefChannel888 = dword != 0 ? 1 : 0;
  return 1;
}

}  // namespace helvo
