// The host application's per-user settings the library reads (the highest setting-file version the
// host may write, the default system frequency and whether the user may change it), and the two device
// capability tables.
//
// The settings live under the host application's key "SOFTWARE\DQF\HELVO Voduvez Eroza" of the
// per-user settings store (helvo/host/settings_store.h). A missing key or value is never an error:
// every reader falls back to its default.
#pragma once

#include <map>
#include <string>

namespace helvo {

struct sCfgState;

// Parts of the key path and the value names of the host application's settings.
extern const char* const kRegCompanyName;     // "DQF"
extern const char* const kRegProductName;     // "HELVO Voduvez Eroza"
extern const char* const kRegKeyPath;         // "SOFTWARE\DQF\HELVO Voduvez Eroza"
extern const char* const kRegActiveIED;       // "ActiveIED"
extern const char* const kRegDefaultSysFreq;  // "DefaultSysFreq"
extern const char* const kRegCanEditSysFreq;  // "CanEditSysFreq"

// Sets key to the host application's key path.
void GetRegistryKey(std::string& key);

// Reads the DWORD value name of key (a path below the current user's hive) into *value. 1 when the key
// opened and the value is a 32-bit DWORD; 0 otherwise, *value then unchanged. A value of another type
// (a text, a binary of any length) is not read: its bytes are not a number.
int ReadRegistryDword(const std::string& key, const char* name, unsigned long* value);

// Reads "DefaultSysFreq" into *freq (unchanged when it cannot be read). Nonzero only when the value was
// read and is 50 or 60: a read that fails reports "not found" whatever *freq held before. *canEdit
// (when given) becomes 1 when "CanEditSysFreq" reads as exactly 1, else 0.
short GetDefaultSysFreq(unsigned long* freq, int* canEdit);

// The highest setting-file version the host may write: "SettingVersionLimit" when it is 203 or more,
// else 203. Read once per process; later calls return the remembered value.
int GetSettingVersionLimit();
// Forgets the remembered limit so that the next call reads the store again (tests).
void ResetSettingVersionLimit();

// The device capability tables, keyed by sample rate (SAMPLE_RATE). The configuration root derives
// from this class (through CHelvoUnits, helvo/scaling/units.h), so the names are also reached as
// CHelvoCfg::mapAChannels and so on.
class CHelvoCapabilities {
 public:
  // Analog channels of an 18-channel recorder, and the highest harmonic, at each sample rate. Filled
  // by every query (existing keys rewritten with the same values).
  static std::map<int, int> mapAChannels;
  static std::map<int, int> mapHarmonics;

  // Analog channels supported at the current sample rate (CHelvoCfgTables::m_nSRate) and channel
  // count (CHelvoCfgTables::m_nAChan): the table value for 18 channels; for 36 channels twice the
  // value at rates from 32 up to (not including) 256, else the value. -1 for a rate not in the table
  // or a channel count other than 18 or 36.
  static int GetMaxChannelSupported();
  // Highest harmonic at the current sample rate; -1 for a rate not in the table.
  static int GetMaxHarmonicSupported();
  // The same for one configuration (CHelvoCfg::m_State): its sample rate and analog channel count as
  // its last read by path or save gave them. Safe from several threads.
  static int GetMaxChannelSupported(const sCfgState& state);
  static int GetMaxHarmonicSupported(const sCfgState& state);

 protected:
  CHelvoCapabilities() = default;
  ~CHelvoCapabilities() = default;
};

}  // namespace helvo
