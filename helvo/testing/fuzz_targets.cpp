#include "helvo/testing/fuzz_targets.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "helvo/engine/settings_text.h"
#include "helvo/host/host_settings.h"
#include "helvo/host/settings_store.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"

namespace helvo::fuzzing {

namespace {

// Everything a load or save may change for the whole process, put back when the input is done.
class ProcessState {
 public:
  ProcessState() {
    for (std::size_t k = 0; k < std::size(kStatics); ++k) saved_[k] = *kStatics[k];
    ResetSettingVersionLimit();
  }
  ~ProcessState() {
    for (std::size_t k = 0; k < std::size(kStatics); ++k) *kStatics[k] = saved_[k];
    ResetSettingVersionLimit();
  }
  ProcessState(const ProcessState&) = delete;
  ProcessState& operator=(const ProcessState&) = delete;
  // No message was shown so far.
  bool Quiet() const { return ui_.messages.empty(); }

 private:
  static inline int* const kStatics[] = {&cFilerSections::m_nSettingVersion, &cFilerSections::m_nDSPBanks,
                                         &cFilerSections::m_nAChan,          &cFilerSections::m_nSampleRate,
                                         &CFilerSection::m_bChGrp,           &CHelvoCfgTables::m_iIedGen,
                                         &CHelvoCfgTables::m_nSetVer,        &CHelvoCfgTables::m_nBank,
                                         &CHelvoCfgTables::m_nAChan,         &CHelvoCfgTables::m_nSRate};
  int saved_[std::size(kStatics)] = {};
  RecordingUserInterface ui_;  // messages are expected; only whether there were any is looked at
  ScopedUserInterface scoped_{ui_};
};

std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return size ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  return ReplaceFileAtomically(path, bytes);
}

std::string ReadFile(const std::string& path) {
  std::string data;
  ReadWholeFile(path, data);
  return data;
}

// CRC-16/ARC bit by bit, independent of the library's table.
std::uint16_t ReferenceCrc(std::string_view bytes) {
  unsigned crc = 0;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
  }
  return static_cast<std::uint16_t>(crc);
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(a[k])) != std::tolower(static_cast<unsigned char>(b[k])))
      return false;
  return true;
}

}  // namespace

std::string PrepareProcess() {
  setenv("TZ", "UTC", 1);
  setenv("SOURCE_DATE_EPOCH", "1709543103", 1);
  tzset();
  const char* shm = "/dev/shm";  // no disk writes for the round trips where the system allows it
  std::string pattern = std::string(access(shm, W_OK) == 0 ? shm : "/tmp") + "/helvo-fuzz-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const std::string folder = mkdtemp(name.data()) ? name.data() : "/tmp";
  setenv("HELVO_SETTINGS_FILE", (folder + "/missing/settings.reg").c_str(), 1);
  return folder;
}

std::string ImageReader(const std::uint8_t* data, std::size_t size, bool pastCrc) {
  ProcessState state;
  std::string image = Bytes(data, size);
  CHelvoCfg cfg;
  const eFilerError result = cfg.ReadCfgFile(image.data(), image.size(), pastCrc ? 1 : 0);
  if (pastCrc && result == eFilerCRCError) return "CRC refused with the comparison off";
  if (result != eFilerNoError && result != eFilerReadError && result != eFilerCRCError)
    return Format("unexpected result %d", static_cast<int>(result));
  return {};
}

std::string LineReader(const std::uint8_t* data, std::size_t size) {
  ProcessState state;
  const std::string text = Bytes(data, size);
  StringList lines;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.AddTail(text.substr(start, end - start));
    start = end + 1;
  }
  CHelvoCfg cfg(lines);
  return {};
}

std::string SettingsStoreReader(const std::uint8_t* data, std::size_t size) {
  static constexpr std::string_view kKey = "SOFTWARE\\DQF\\HELVO Voduvez Eroza";
  const std::string text = Bytes(data, size);
  cSettingsStore store;
  if (store.Parse(text) != cSettingsStore::kLoaded) return {};
  if (store.GetText() != text) return "parsed text does not give itself back";

  SettingsValue other, otherAfter, set;
  const bool hadOther = store.QueryValue(kKey, "ActiveIED", other);
  const SettingsValue units = SettingsValue::MultiString({"mV",
                                                          "\xB5"
                                                          "A"});
  if (!store.SetValue(kKey, "DCUnits", units)) return "a value with a text form was refused";
  if (!store.QueryValue(kKey, "DCUnits", set) || set.m_nType != units.m_nType || set.m_Data != units.m_Data)
    return "the value set does not read back";
  if (store.QueryValue(kKey, "ActiveIED", otherAfter) != hadOther ||
      (hadOther && (otherAfter.m_nType != other.m_nType || otherAfter.m_Data != other.m_Data)))
    return "setting one value changed another";
  cSettingsStore again;
  if (again.Parse(store.GetText()) != cSettingsStore::kLoaded || again.GetText() != store.GetText())
    return "the edited text does not parse back to itself";
  return {};
}

std::string SaveRoundTrip(const std::uint8_t* data, std::size_t size, const std::string& folder,
                          bool pastCrc) {
  ProcessState state;
  const std::string in = folder + "/in.cfg";
  if (!WriteFile(in, Bytes(data, size))) return "cannot write the input file";
  std::string saves[3];
  CHelvoCfg first(in, pastCrc ? 1 : 0);
  if (first.m_eReadResult != eFilerNoError) return {};
  // A load that showed no message kept everything, so its first save is already the final form.
  const bool quiet = state.Quiet();
  std::string from = in;
  CHelvoCfg* cfg = &first;
  std::unique_ptr<CHelvoCfg> loaded;
  for (int k = 0; k < 3; ++k) {
    const std::string out = folder + Format("/save%d.cfg", k + 1);
    if (!cfg->WriteCfgFile(out, nullptr)) {
      if (k == 0) return {};  // the writer may refuse what it cannot write back
      return Format("save %d of a reloaded file failed", k + 1);
    }
    saves[k] = ReadFile(out);
    loaded = std::make_unique<CHelvoCfg>(out, 0);
    if (loaded->m_eReadResult != eFilerNoError)
      return Format("save %d does not load: %s", k + 1, cFilerContainer::ErrorString(loaded->m_eReadResult));
    cfg = loaded.get();
  }
  if (quiet && SortedSectionBlocks(saves[0]) != SortedSectionBlocks(saves[1]))
    return "a quiet load's first and second saves differ";
  if (saves[1] != saves[2]) return "second and third saves differ";
  return {};
}

bool CrcFieldValid(std::string_view bytes) {
  if (bytes.size() < 5) return false;
  const std::string_view field = bytes.substr(0, 4);
  return SameNoCase(field, "noch") || SameNoCase(field, Format("%4.4x", ReferenceCrc(bytes.substr(5))));
}

std::string CrcVerdict(const std::uint8_t* data, std::size_t size, const std::string& folder) {
  ProcessState state;
  std::string bytes = Bytes(data, size);
  const bool valid = CrcFieldValid(bytes);
  const std::string path = folder + "/crc.cfg";
  if (!WriteFile(path, bytes)) return "cannot write the input file";
  CHelvoCfg byName;
  const bool nameRefused = byName.ReadCfgFile(path, 0) == eFilerCRCError;
  CHelvoCfg image;
  const bool imageRefused = image.ReadCfgFile(bytes.data(), bytes.size(), 0) == eFilerCRCError;
  if (bytes.size() >= 5 && nameRefused == valid)
    return valid ? "good CRC refused by name" : "bad CRC read by name";
  if (bytes.size() >= 5 && imageRefused == valid)
    return valid ? "good CRC refused in memory" : "bad CRC read in memory";
  if (bytes.size() < 5 && (nameRefused || imageRefused)) return "a short file refused for its CRC";
  return {};
}

}  // namespace helvo::fuzzing
