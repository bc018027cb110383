// The per-user settings store: the host application's settings key kept as one text file in the
// format the registry editor exports as "REGEDIT4", so that a key exported on a desktop machine can be
// dropped in as it is:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\SOFTWARE\DQF\HELVO Voduvez Eroza]
//   "SettingVersionLimit"=dword:000000d2
//   "ActiveIED"="Substation 4"
//   "DCUnits"=hex(7):6d,b3,2f,73,00,00
//
// Location: the file named by the environment variable HELVO_SETTINGS_FILE when it is set and not
// empty, otherwise ${XDG_CONFIG_HOME:-$HOME/.config}/DQF/HELVO Voduvez Eroza/settings.reg.
//
// Reading. A missing, unreadable or over-large file, and one whose first non-blank line is not
// "REGEDIT4", is a key that cannot be opened: every reader falls back to its default. Lines may end in
// CR LF or LF. Blank lines and comment lines (";" first) are allowed anywhere; a line that is not a
// key header or a well-formed value is skipped. Key paths and value names compare without regard to
// ASCII letter case; when a value appears more than once for a key, the last one counts. A key exists
// when its own header or the header of one of its subkeys is present. Texts are carried as bytes
// (Windows-1252 in practice); nothing is converted.
//
// Value forms: "Name"=dword:<1 to 8 hex digits>; "Name"="text" with \\ and \" escapes; "Name"=hex:
// (binary), hex(7): (a list of zero-terminated strings) and hex(<type in hex>): with comma-separated
// byte pairs, where a line that ends in a backslash continues on the next line; @ names the unnamed
// value.
//
// Writing (UpdateSettingsValue). One value changes per write, under an exclusive lock on a lock file
// next to the store, on the file as it is at that moment (re-read under the lock), so writers in
// several processes never lose each other's changes. Every other line of the file stays byte for byte
// as it was. The new content replaces the file atomically. A missing folder and a missing file are
// created; a file that cannot be read or is not REGEDIT4 is never overwritten.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace helvo {

// Value types, numbered as the host platform numbers them.
enum : unsigned long {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_EXPAND_SZ = 2,
  REG_BINARY = 3,
  REG_DWORD = 4,
  REG_MULTI_SZ = 7,
};

// One stored value: its type and its data. REG_SZ carries the text without a terminating zero;
// REG_DWORD four bytes, least significant first; every other type the raw bytes.
struct SettingsValue {
  unsigned long m_nType = REG_NONE;
  std::string m_Data;

  static SettingsValue Dword(std::uint32_t value);
  static SettingsValue String(std::string text);
  // Each string followed by a zero byte, then one more zero byte. Strings must not be empty or hold
  // a zero byte (a reader would end the list there).
  static SettingsValue MultiString(const std::vector<std::string>& strings);

  // True (and value set) only for a REG_DWORD of exactly four bytes.
  bool GetDword(std::uint32_t& value) const;
  // The strings of a REG_MULTI_SZ, up to the first empty one (the list's end) or the end of the data;
  // a last string without its terminating zero still counts. Empty for any other type.
  std::vector<std::string> GetMultiString() const;
};

// The store file's path as described above; empty when no location can be determined (no
// HELVO_SETTINGS_FILE, no usable XDG_CONFIG_HOME and no HOME).
std::string GetSettingsStorePath();

// A parsed image of a store file. Used for reading, and by UpdateSettingsValue for the edit it makes.
class cSettingsStore {
 public:
  enum eLoadResult { kLoaded, kMissing, kUnreadable, kNotRegedit4 };

  // Reads and parses the file at path. On any result but kLoaded the store is empty (no key opens).
  eLoadResult Load(const std::string& path);
  // Parses text as a store file's content. kNotRegedit4 when the first non-blank line is not
  // "REGEDIT4" (an empty text included); the store is then empty.
  eLoadResult Parse(std::string_view text);

  // key is the path below HKEY_CURRENT_USER, e.g. "SOFTWARE\DQF\HELVO Voduvez Eroza".
  bool KeyExists(std::string_view key) const;
  // False (value unchanged) when the key or the value is not present.
  bool QueryValue(std::string_view key, std::string_view name, SettingsValue& value) const;

  // Sets the value in the image: replaces the lines of the value as it stands (its last occurrence),
  // or adds a line after the key's last value, or adds the key's header and the value at the end.
  // Starts a new image (header line first) when the store holds no text. Every other line is kept
  // as it was. False (image unchanged) when the value has no text form: a name or REG_SZ text with a
  // line break or zero byte.
  bool SetValue(std::string_view key, std::string_view name, const SettingsValue& value);

  // The file content of the image.
  std::string GetText() const;

 private:
  struct Line {
    std::string raw;   // the physical line with its line end
    std::string text;  // the physical line without its line end
  };
  struct Entry {
    enum eKind { kHeader, kValue } kind;
    std::size_t first;  // first physical line
    std::size_t count;  // physical lines (continuations included)
    std::string key;    // header: its key path; value: the key path of its section (empty: none)
    std::string name;
    SettingsValue value;
  };

  void Clear();
  std::string LineEnd() const;
  const Entry* FindValue(std::string_view key, std::string_view name) const;

  std::vector<Line> m_Lines;
  std::vector<Entry> m_Entries;
  bool m_bLoaded = false;
};

// Result of a query of one value of the store file.
enum class eSettingsQuery {
  kOk,       // value filled
  kNoKey,    // the key cannot be opened: no store, an unreadable or unparseable file, no such key
  kNoValue,  // the key exists but has no such value
};

// Reads value name of key from the store file as it is now. value is unchanged unless kOk.
eSettingsQuery QuerySettingsValue(std::string_view key, std::string_view name, SettingsValue& value);

// The path of the full key below HKEY_CURRENT_USER as it appears in a header.
std::string SettingsKeyHeader(std::string_view key);

// Changes value name of key in the store file. Under the store's lock, update is called with the value
// as the file holds it now (none when absent, or when the file or key does not exist yet) and fills
// next; returning false abandons the write. Returns true only when the new file is in place. Returns
// false without writing when no store location is known, when the folder or the lock cannot be made,
// when the file cannot be read, or when it exists and is not REGEDIT4 (a file with no non-blank line
// counts as new).
bool UpdateSettingsValue(
    std::string_view key, std::string_view name,
    const std::function<bool(const SettingsValue* current, SettingsValue& next)>& update);

}  // namespace helvo
