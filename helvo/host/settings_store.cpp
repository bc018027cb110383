#include "helvo/host/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"

namespace helvo {

namespace {

// A settings file is a few hundred bytes; anything far larger is not one, and is not read into memory.
constexpr off_t kMaxStoreSize = 16 * 1024 * 1024;

constexpr std::string_view kHive = "HKEY_CURRENT_USER\\";
constexpr std::string_view kFolder = "DQF/HELVO Voduvez Eroza";
constexpr std::string_view kFileName = "settings.reg";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

std::string_view StripLineEnd(std::string_view s) {
  if (s.ends_with('\n')) s.remove_suffix(1);
  if (s.ends_with('\r')) s.remove_suffix(1);
  return s;
}

// Ends a last line that has no line feed before more lines follow it. A carriage return it already
// ends with is the first half of its line end: adding a whole one after it would leave "\r\r\n",
// whose line reads back with a stray "\r" in its text (a key header would no longer be one).
void EndLastLine(std::string& line, const std::string& eol) {
  if (line.ends_with('\n')) return;
  line += line.ends_with('\r') ? std::string("\n") : eol;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to maxDigits hex digits, the whole of s.
bool ParseHex(std::string_view s, int maxDigits, std::uint32_t& value) {
  if (s.empty() || static_cast<int>(s.size()) > maxDigits) return false;
  std::uint32_t v = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  value = v;
  return true;
}

// A quoted text at the start of s (s[0] is the opening quote), with \\ and \" escapes. On success
// out holds the text and rest what follows the closing quote.
bool ParseQuoted(std::string_view s, std::string& out, std::string_view& rest) {
  std::string text;
  for (std::size_t i = 1; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"') {
      out.swap(text);
      rest = s.substr(i + 1);
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
      text += s[++i];
    } else {
      text += c;
    }
  }
  return false;  // no closing quote
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

bool HasLineBreakOrZero(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos;
}

// Byte pairs separated by commas; all blank is no bytes; one trailing comma is tolerated.
bool ParseHexBytes(std::string_view s, std::string& bytes) {
  std::string out;
  s = Trim(s);
  while (!s.empty()) {
    const std::size_t comma = s.find(',');
    const std::string_view token = Trim(s.substr(0, comma));
    std::uint32_t byte;
    if (!ParseHex(token, 2, byte)) return false;
    out += static_cast<char>(byte);
    if (comma == s.npos) break;
    s = Trim(s.substr(comma + 1));
  }
  bytes.swap(out);
  return true;
}

// A continuation line of hex data holds nothing but byte pairs, commas, blanks and a final backslash.
bool IsHexContinuation(std::string_view s) {
  s = Trim(s);
  if (s.empty()) return false;
  for (char c : s)
    if (HexDigit(c) < 0 && c != ',' && c != '\\' && !IsBlank(c)) return false;
  return true;
}

// Reads the file, refusing one too large to be a store (in bounded memory, also for a device that
// never ends). kNotFound only for a missing file in an existing folder.
ReadStatus ReadStoreFile(const std::string& path, std::string& data) {
  const ReadStatus status = ReadWholeFile(path, data, static_cast<std::size_t>(kMaxStoreSize));
  return status == ReadStatus::kTooLarge ? ReadStatus::kFailed : status;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creates folder and its missing parents (owner access only, as a settings folder should be).
bool MakeFolders(const std::string& folder) {
  struct stat st;
  if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const std::string parent = FolderOf(folder);
  if (parent != folder && !MakeFolders(parent)) return false;
  if (::mkdir(folder.c_str(), 0700) == 0) return true;
  return errno == EEXIST && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An exclusive lock on the store's lock file, held for the object's lifetime. The lock cannot be taken
// on the store itself: the store is replaced by renaming, and a lock on the old file would not exclude
// a writer that opens the new one.
class StoreLock {
 public:
  explicit StoreLock(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~StoreLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace

// ---- SettingsValue ----

SettingsValue SettingsValue::Dword(std::uint32_t value) {
  SettingsValue v;
  v.m_nType = REG_DWORD;
  for (int k = 0; k < 4; ++k) v.m_Data += static_cast<char>((value >> (8 * k)) & 0xFFu);
  return v;
}

SettingsValue SettingsValue::String(std::string text) {
  SettingsValue v;
  v.m_nType = REG_SZ;
  v.m_Data = std::move(text);
  return v;
}

SettingsValue SettingsValue::MultiString(const std::vector<std::string>& strings) {
  SettingsValue v;
  v.m_nType = REG_MULTI_SZ;
  for (const std::string& s : strings) {
    v.m_Data += s;
    v.m_Data += '\0';
  }
  v.m_Data += '\0';
  return v;
}

bool SettingsValue::GetDword(std::uint32_t& value) const {
  if (m_nType != REG_DWORD || m_Data.size() != 4) return false;
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(m_Data[static_cast<std::size_t>(k)]);
  value = v;
  return true;
}

std::vector<std::string> SettingsValue::GetMultiString() const {
  std::vector<std::string> strings;
  if (m_nType != REG_MULTI_SZ) return strings;
  std::size_t pos = 0;
  while (pos < m_Data.size()) {
    std::size_t end = m_Data.find('\0', pos);
    if (end == std::string::npos) end = m_Data.size();
    if (end == pos) break;  // the empty string ends the list
    strings.emplace_back(m_Data, pos, end - pos);
    pos = end + 1;
  }
  return strings;
}

// ---- Location ----

std::string GetSettingsStorePath() {
  const char* file = std::getenv("HELVO_SETTINGS_FILE");
  if (file && *file) return file;
  std::string base;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') {
    base = config;
  } else {
    // A relative XDG_CONFIG_HOME is ignored, as the base-directory convention says.
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    base = std::string(home) + "/.config";
  }
  return base + "/" + std::string(kFolder) + "/" + std::string(kFileName);
}

std::string SettingsKeyHeader(std::string_view key) {
  return std::string(kHive) + std::string(key);
}

// ---- cSettingsStore ----

void cSettingsStore::Clear() {
  m_Lines.clear();
  m_Entries.clear();
  m_bLoaded = false;
}

cSettingsStore::eLoadResult cSettingsStore::Load(const std::string& path) {
  Clear();
  std::string data;
  switch (ReadStoreFile(path, data)) {
    case ReadStatus::kOk:
      return Parse(data);
    case ReadStatus::kNotFound:
      return kMissing;
    case ReadStatus::kFailed:
    case ReadStatus::kTooLarge:
      break;
  }
  return kUnreadable;
}

cSettingsStore::eLoadResult cSettingsStore::Parse(std::string_view text) {
  Clear();
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    const std::size_t len = nl == text.npos ? text.size() : nl + 1;
    Line line;
    line.raw.assign(text.substr(0, len));
    std::string_view body = text.substr(0, nl == text.npos ? text.size() : nl);
    if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
    line.text.assign(body);
    lines.push_back(std::move(line));
    text.remove_prefix(len);
  }

  // The header line: the first line that is not blank must say REGEDIT4.
  std::size_t i = 0;
  while (i < lines.size() && Trim(lines[i].text).empty()) ++i;
  if (i == lines.size()) return kNotRegedit4;
  std::string_view first = lines[i].text;
  if (i == 0 && first.starts_with("\xEF\xBB\xBF")) first.remove_prefix(3);  // a byte-order mark
  if (Trim(first) != "REGEDIT4") return kNotRegedit4;

  std::vector<Entry> entries;
  std::string section;  // key of the current section; empty below a line that opens no key
  for (++i; i < lines.size();) {
    const std::string_view s = Trim(lines[i].text);
    if (s.empty() || s.front() == ';') {
      ++i;
      continue;
    }
    if (s.front() == '[') {
      // "[-key]" deletes a key when imported: it opens nothing, and neither does a broken header.
      section.clear();
      if (s.size() > 2 && s.back() == ']' && s[1] != '-') {
        section.assign(s.substr(1, s.size() - 2));
        entries.push_back(Entry{Entry::kHeader, i, 1, section, {}, {}});
      }
      ++i;
      continue;
    }
    if (s.front() != '"' && s.front() != '@') {
      ++i;
      continue;
    }

    // A value line.
    std::size_t count = 1;
    std::string name;
    std::string_view rest;
    bool ok;
    if (s.front() == '@') {
      ok = true;
      rest = s.substr(1);
    } else {
      ok = ParseQuoted(s, name, rest);
    }
    rest = TrimLeft(rest);
    ok = ok && !rest.empty() && rest.front() == '=';
    SettingsValue value;
    if (ok) {
      const std::string_view data = TrimLeft(rest.substr(1));
      if (!data.empty() && data.front() == '"') {
        std::string_view after;
        ok = ParseQuoted(data, value.m_Data, after) && Trim(after).empty();
        value.m_nType = REG_SZ;
      } else if (StartsWithNoCase(data, "dword:")) {
        std::uint32_t v = 0;
        ok = ParseHex(Trim(data.substr(6)), 8, v);
        if (ok) value = SettingsValue::Dword(v);
      } else if (StartsWithNoCase(data, "hex")) {
        std::string_view typeText = data.substr(3);
        std::uint32_t type = REG_BINARY;
        if (!typeText.empty() && typeText.front() == '(') {
          const std::size_t close = typeText.find(')');
          ok = close != typeText.npos && ParseHex(typeText.substr(1, close - 1), 8, type);
          if (ok) typeText.remove_prefix(close + 1);
        }
        ok = ok && !typeText.empty() && typeText.front() == ':';
        if (ok) {
          // Join the continuation lines: each line but the last ends in a backslash.
          std::string bytes(typeText.substr(1));
          for (;;) {
            const std::string_view tail = TrimRight(bytes);
            if (tail.empty() || tail.back() != '\\') break;
            bytes.resize(tail.size() - 1);
            if (i + count >= lines.size() || !IsHexContinuation(lines[i + count].text)) break;
            const std::string_view joined = TrimRight(bytes);
            if (!joined.empty() && joined.back() != ',') bytes += ',';
            bytes += Trim(lines[i + count].text);
            ++count;
          }
          value.m_nType = type;
          ok = ParseHexBytes(bytes, value.m_Data);
        }
      } else {
        ok = false;  // "=-" (a deletion) or a form this store does not know
      }
    }
    if (ok && !section.empty())
      entries.push_back(Entry{Entry::kValue, i, count, section, std::move(name), std::move(value)});
    i += count;
  }

  m_Lines = std::move(lines);
  m_Entries = std::move(entries);
  m_bLoaded = true;
  return kLoaded;
}

bool cSettingsStore::KeyExists(std::string_view key) const {
  const std::string full = SettingsKeyHeader(key);
  for (const Entry& e : m_Entries) {
    if (e.kind != Entry::kHeader) continue;
    if (EqualsNoCase(e.key, full)) return true;
    if (e.key.size() > full.size() && e.key[full.size()] == '\\' &&
        EqualsNoCase(std::string_view(e.key).substr(0, full.size()), full))
      return true;
  }
  return false;
}

const cSettingsStore::Entry* cSettingsStore::FindValue(std::string_view key, std::string_view name) const {
  const std::string full = SettingsKeyHeader(key);
  const Entry* found = nullptr;
  for (const Entry& e : m_Entries)
    if (e.kind == Entry::kValue && EqualsNoCase(e.key, full) && EqualsNoCase(e.name, name)) found = &e;
  return found;
}

bool cSettingsStore::QueryValue(std::string_view key, std::string_view name, SettingsValue& value) const {
  const Entry* e = FindValue(key, name);
  if (!e) return false;
  value = e->value;
  return true;
}

std::string cSettingsStore::LineEnd() const {
  if (!m_Lines.empty() && m_Lines.front().raw.ends_with("\r\n")) return "\r\n";
  return "\n";
}

std::string cSettingsStore::GetText() const {
  std::string text;
  for (const Line& line : m_Lines) text += line.raw;
  return text;
}

bool cSettingsStore::SetValue(std::string_view key, std::string_view name, const SettingsValue& value) {
  if (HasLineBreakOrZero(name) || HasLineBreakOrZero(key) || key.find(']') != key.npos) return false;
  const std::string eol = LineEnd();

  // A value that exists keeps the spelling of its name.
  const Entry* existing = m_bLoaded ? FindValue(key, name) : nullptr;
  if (existing) name = existing->name;

  // The value's lines as the registry editor would write them.
  std::string first = name.empty() ? std::string("@") : Quote(name);
  first += '=';
  std::vector<std::string> added;
  std::uint32_t dword;
  if (value.m_nType == REG_SZ) {
    if (HasLineBreakOrZero(value.m_Data)) return false;
    added.push_back(first + Quote(value.m_Data));
  } else if (value.GetDword(dword)) {
    added.push_back(first + Format("dword:%08x", dword));
  } else {
    std::string line =
        first + (value.m_nType == REG_BINARY ? std::string("hex:") : Format("hex(%lx):", value.m_nType));
    for (std::size_t k = 0; k < value.m_Data.size(); ++k) {
      const std::string pair = Format("%02x", static_cast<unsigned char>(value.m_Data[k]));
      if (k == 0) {
        line += pair;
      } else if (line.size() + 3 > 78) {
        added.push_back(line + ",\\");
        line = "  " + pair;
      } else {
        line += "," + pair;
      }
    }
    added.push_back(line);
  }
  for (std::string& line : added) line += eol;

  const std::string full = SettingsKeyHeader(key);
  std::vector<std::string> before;  // physical lines of the new image
  before.reserve(m_Lines.size() + added.size() + 4);
  for (const Line& line : m_Lines) before.push_back(line.raw);

  auto insertAt = [&](std::size_t at) {
    if (at > 0) EndLastLine(before[at - 1], eol);
    before.insert(before.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
  };

  if (!m_bLoaded) {
    before = {"REGEDIT4" + eol, eol, "[" + full + "]" + eol};
    before.insert(before.end(), added.begin(), added.end());
  } else if (const Entry* e = existing) {
    const bool hadEnd = before[e->first + e->count - 1].ends_with('\n');
    before.erase(before.begin() + static_cast<std::ptrdiff_t>(e->first),
                 before.begin() + static_cast<std::ptrdiff_t>(e->first + e->count));
    if (!hadEnd && e->first + e->count == m_Lines.size())
      added.back().resize(added.back().size() - eol.size());
    before.insert(before.begin() + static_cast<std::ptrdiff_t>(e->first), added.begin(), added.end());
  } else {
    // After the last value of the key's last section, or after its header. A value entry with this
    // key that follows the last header of the key belongs to that header's section.
    std::size_t at = 0;
    bool haveKey = false;
    for (const Entry& entry : m_Entries) {
      if (!EqualsNoCase(entry.key, full)) continue;
      if (entry.kind == Entry::kHeader) {
        haveKey = true;
        at = entry.first + 1;
      } else if (haveKey) {
        at = entry.first + entry.count;
      }
    }
    if (haveKey) {
      insertAt(at);
    } else {
      if (!before.empty()) EndLastLine(before.back(), eol);
      if (!before.empty() && !Trim(StripLineEnd(before.back())).empty()) before.push_back(eol);
      before.push_back("[" + full + "]" + eol);
      before.insert(before.end(), added.begin(), added.end());
    }
  }

  std::string text;
  for (const std::string& line : before) text += line;
  return Parse(text) == kLoaded;
}

// ---- File operations ----

eSettingsQuery QuerySettingsValue(std::string_view key, std::string_view name, SettingsValue& value) {
  const std::string path = GetSettingsStorePath();
  if (path.empty()) return eSettingsQuery::kNoKey;
  cSettingsStore store;
  if (store.Load(path) != cSettingsStore::kLoaded || !store.KeyExists(key)) return eSettingsQuery::kNoKey;
  return store.QueryValue(key, name, value) ? eSettingsQuery::kOk : eSettingsQuery::kNoValue;
}

bool UpdateSettingsValue(
    std::string_view key, std::string_view name,
    const std::function<bool(const SettingsValue* current, SettingsValue& next)>& update) {
  std::string path = GetSettingsStorePath();
  if (path.empty()) return false;
  // Write through a symbolic link to the file it names, so that the link survives.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return false;
    path = real;
    std::free(real);
  }
  if (!MakeFolders(FolderOf(path))) return false;
  StoreLock lock(path + ".lock");
  if (!lock.Held()) return false;

  cSettingsStore store;
  std::string data;
  switch (ReadStoreFile(path, data)) {
    case ReadStatus::kOk:
      if (store.Parse(data) != cSettingsStore::kLoaded) {
        // Only a file with no text at all may be started afresh; anything else is not ours to replace.
        if (data.find_first_not_of(" \t\r\n") != std::string::npos) return false;
      }
      break;
    case ReadStatus::kNotFound:
      break;
    case ReadStatus::kFailed:
    case ReadStatus::kTooLarge:
      return false;
  }

  SettingsValue current;
  const bool exists = store.QueryValue(key, name, current);
  SettingsValue next;
  if (!update(exists ? &current : nullptr, next)) return false;
  if (!store.SetValue(key, name, next)) return false;
  return ReplaceFileAtomically(path, store.GetText());
}

}  // namespace helvo
