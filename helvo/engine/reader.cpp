// The settings-file reader: the by-name, memory-image and line-list forms, section headers, nesting
// through the unnamed section, and the filling of objects from key lines. docs/file-format.md gives
// the format these functions accept.
#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

#include "helvo/engine/crc16.h"
#include "helvo/engine/field_access.h"
#include "helvo/engine/filer.h"
#include "helvo/engine/settings_text.h"
#include "helvo/engine/value_text.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

namespace {

// The header keys the by-name form picks up while reading lines, in the order they are tried.
struct HeaderKey {
  std::string_view name;
  int sHeaderValues::*target;
  size_t underscore;  // where the first underscore of name stands
};

bool CrcMatches(const char field[4], std::uint16_t crc) {
  const std::string computed = Format("%4.4x", static_cast<unsigned>(crc));
  return EqualsNoCase(std::string_view(field, 4), computed);
}

bool IsUncheckedMark(const char field[4]) {
  return EqualsNoCase(std::string_view(field, 4), "noch");
}

// Picks a header value out of one line of the by-name form. Returns false when the line carries a
// setting version the reader refuses. The line is scanned once for all four names rather than once
// per name.
bool ScanHeaderLine(std::string_view line, sHeaderValues& header) {
  // Each name with the position of its first underscore: a line can contain a name only around an
  // underscore, so only the underscores of a line are looked at.
  static const HeaderKey kKeys[] = {
      {"SETTINGS_VERS", &sHeaderValues::m_nSettingVersion, 8},
      {"NUM_BANKS", &sHeaderValues::m_nDSPBanks, 3},
      {"NUM_A_CHANNELS", &sHeaderValues::m_nAChan, 3},
      {"SAMPLE_RATE", &sHeaderValues::m_nSampleRate, 6},
  };
  constexpr size_t kNone = std::size(kKeys);
  size_t found = kNone;  // the first key, in the order above, that the line contains anywhere
  const std::string_view text = line;
  for (size_t u = 0; u < text.size() && found > 0; ++u) {
    if (text[u] != '_') continue;
    for (size_t k = 0; k < found; ++k) {
      const HeaderKey& key = kKeys[k];
      if (u >= key.underscore && text[u - key.underscore] == key.name[0] &&
          text.substr(u - key.underscore).starts_with(key.name))
        found = k;
    }
  }
  if (found == kNone) return true;
  const HeaderKey& key = kKeys[found];
  const size_t eq = line.find('=');
  if (eq != std::string_view::npos) {
    header.*key.target = LeadingInt(line.substr(eq + 1));
    if (key.target == &sHeaderValues::m_nSettingVersion) {
      const int v = header.m_nSettingVersion;
      if (v < 1 || (v >= 8 && v <= 200)) return false;
    }
  }
  return true;  // only the first key the line contains counts
}

// The bytes the by-name line split stops at: line feed, carriage return and underscore.
constexpr auto kLineByte = [] {
  std::array<bool, 256> special{};
  special['\n'] = special['\r'] = special['_'] = true;
  return special;
}();

bool IsSectionHeader(std::string_view line) {
  return line.size() >= 3 && line[0] == '[' && line.find(']') != std::string_view::npos;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// What the instance part of a section header can be: digits, or nothing.
bool IsInstanceText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsDigit);
}

// Splits "[NAME<group>-<instance>]..." into its three parts.
void SplitHeader(std::string_view line, std::string& name, std::string& instance, int& group) {
  const size_t close = line.find(']');
  std::string n(line.substr(1, close - 1));
  size_t end = n.size();
  while (end > 0 && IsDigit(n[end - 1])) --end;
  instance = n.substr(end);
  n.resize(end);
  group = 0;
  if (!n.empty() && n.back() == '-') {
    n.pop_back();
    size_t g = n.size();
    while (g > 0 && IsDigit(n[g - 1])) --g;
    group = LeadingInt(std::string_view(n).substr(g));
    n.resize(g);
  }
  name = std::move(n);
}

// Places a newly read object into its section's list. Fixed-slot lists (PMU phasors, CDR channels)
// replace the object of the same slot; everything else is appended in file order.
// Returns false when the object was dropped (and deleted).
bool PlaceObject(FilerList& list, CFiler* obj, int cls, const std::string& instance) {
  int index;
  if (cls == 18) {  // PHASOR: slots 1 to 12
    index = LeadingInt(instance);
    if (index < 1 || index > 12) index = 1;
  } else if (cls == 20) {  // CDR_CHAN: slots 0 to 36, written as index + 1
    index = LeadingInt(instance);
    index = index == INT32_MIN ? 0 : index - 1;
    if (index < 0 || index > 36) index = 0;
  } else {
    list.AddTail(obj);
    return true;
  }
  obj->SetListIndex(index);
  for (auto pos = list.GetHeadPosition(); pos;) {
    auto here = pos;
    CFiler* old = list.GetNext(pos);
    if (old && old->GetListIndex() == index) {
      list.SetAt(here, obj);
      delete old;
      return true;
    }
  }
  delete obj;  // no slot of that index: the section is dropped
  return false;
}

// The body lines of a file being read, walked one at a time: the caller's line list for the
// line-list form, or views into the file image for the memory and by-name forms, which then make no
// string per line. Both walks run the same section and key code below. Each also knows the header
// of the section being read and the line number of its current line, for the messages it shows.
class ListLines {
 public:
  // line: the number of the line at pos when known (the list's head is line 1), else 0.
  ListLines(StringList& lines, StringList::Position& pos, int line) : lines_(lines), pos_(pos), line_(line) {}
  bool AtEnd() const { return !pos_; }
  std::string_view Line() const { return lines_.GetAt(pos_); }
  void Next() {
    lines_.GetNext(pos_);
    if (line_) ++line_;
  }
  void Finish() { pos_ = StringList::Position(); }
  void MarkHeader() { header_ = Line(); }
  std::string_view Header() const { return header_; }
  // Counted from the head only when a message needs it: a walk that starts inside the list (a
  // section read on its own) does not know where it stands.
  int LineNumber() const {
    if (line_ || AtEnd()) return line_;
    int n = 1;
    for (auto p = lines_.GetHeadPosition(); p && p != pos_; lines_.GetNext(p)) ++n;
    return n;
  }

 private:
  StringList& lines_;
  StringList::Position& pos_;
  int line_;
  std::string_view header_;
};

class ViewLines {
 public:
  // first: the line number of the first view (the file's CRC line is line 1).
  ViewLines(const std::vector<std::string_view>& lines, int first) : lines_(lines), first_(first) {}
  bool AtEnd() const { return at_ >= lines_.size(); }
  std::string_view Line() const { return lines_[at_]; }
  void Next() { ++at_; }
  void Finish() { at_ = lines_.size(); }
  void MarkHeader() { header_ = Line(); }
  std::string_view Header() const { return header_; }
  int LineNumber() const { return AtEnd() ? 0 : first_ + static_cast<int>(at_); }

 private:
  const std::vector<std::string_view>& lines_;
  size_t at_ = 0;
  int first_;
  std::string_view header_;
};

// The line number of the first body line, which starts at byte 5 of a file: line 1 unless the file's
// first bytes already hold a line feed.
int FirstBodyLine(std::string_view bytes) {
  return 1 +
         static_cast<int>(std::count(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 5), '\n'));
}

// The section a header line names: the header without its brackets.
std::string_view SectionOfHeader(std::string_view header) {
  return header.empty() ? header : header.substr(1, header.find(']') - 1);
}

// Shows a warning of the reader with the line it concerns and the section it stands in. Set only
// here: the position costs nothing while no message is shown.
void ShowReadWarningAt(const std::string& text, int line, std::string_view section) {
  MessageScope scope;
  scope.Context().line = line;
  scope.Context().section.assign(section);
  ShowMessage(text, MB_OK | MB_ICONWARNING);
}

template <class Lines>
void ShowReadWarning(const std::string& text, const Lines& lines) {
  ShowReadWarningAt(text, lines.LineNumber(), SectionOfHeader(lines.Header()));
}

// A key line of the file whose definition is written only from a later setting version on. Which
// version the file has is known only once its identification record is read, so such keys are noted
// while reading and judged at the end. The views point into the lines read, which outlive the read.
struct VersionedKey {
  int line;
  std::string_view section;
  std::string_view key;
  unsigned int flags;
};
using VersionedKeys = std::vector<VersionedKey>;

constexpr unsigned int kVersionFlags = FILER_FROM_VERSION_4 | FILER_FROM_VERSION_5 | FILER_FROM_VERSION_6;

// The file's value of such a key is kept (a save at a later version writes it), but a save at the
// file's own version does not: the user is told, so that nothing is dropped silently.
void WarnKeysAboveVersion(const VersionedKeys& keys, int version) {
  for (const VersionedKey& k : keys) {
    if (FlagsAllowVersion(k.flags & kVersionFlags, version)) continue;
    ShowReadWarningAt("The parameter \"" + std::string(k.key) +
                          "\" is not held by Setting Files of version " + std::to_string(version) +
                          " and will not be saved at that version.",
                      k.line, k.section);
  }
}

// Fills obj from the key lines that follow a section header, up to the first line without '='.
// Keys of later versions are noted in versioned when it is given.
template <class Lines>
void ReadKeys(const CFilerSection& section, Lines& lines, CFiler* obj, std::string& instance, int& sysFreq,
              VersionedKeys* versioned) {
  if (const CFilerEntry* entry = section.GetInstanceEntry()) StoreValueText(*entry, obj, instance, sysFreq);
  size_t next = 0;  // where the next key of a file in registration order stands
  for (; !lines.AtEnd(); lines.Next()) {
    const std::string_view line = lines.Line();
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = line.substr(0, eq);
    // A line without a key name sets the instance field, but only to what a section header could
    // carry (digits): a negative or other number would be written into a header no reader accepts.
    const CFilerEntry* entry =
        key.empty() && !IsInstanceText(line.substr(eq + 1)) ? nullptr : section.FindEntryByName(key, next);
    if (entry) {
      if (versioned && (entry->GetFlags() & kVersionFlags))
        versioned->push_back({lines.LineNumber(), SectionOfHeader(lines.Header()), key, entry->GetFlags()});
      if (!StoreNumberText(*entry, obj, line.substr(eq + 1))) {
        std::string value(line.substr(eq + 1));
        StoreValueText(*entry, obj, value, sysFreq);
      }
    } else {
      ShowReadWarning("The parameter \"" + std::string(key) + "\" is unrecognized and will be ignored.",
                      lines);
    }
  }
}

// Handles one section header at the current line: nonzero when handled (or the lines are
// exhausted), 0 when the name matches no section of sections.
template <class Lines>
int BuildFromHeader(cFilerSections& sections, Lines& lines, cFilerContainer* container,
                    const std::string& name, std::string& instance, int group, int& sysFreq,
                    VersionedKeys* versioned) {
  for (CFilerSection* section : sections.GetSections()) {
    if (section->IsUnnamed()) {
      const auto& nested = section->GetNestedContainers();
      if (nested.IsEmpty()) continue;
      const int count = static_cast<int>(nested.GetCount());
      const int g = (group < 1 || group > count) ? 1 : group;
      cFilerContainer* child = *std::next(nested.begin(), g - 1);
      if (child && BuildFromHeader(child->GetSections(), lines, child, name, instance, 0, sysFreq, versioned))
        return 1;
      continue;
    }
    if (section->GetName() != name) continue;

    if (!section->HoldsObjects()) {  // END: the whole parse ends here
      lines.Finish();
      return 1;
    }
    CObject* made = container ? container->ConstructChild(section->GetClass()) : nullptr;
    CFiler* obj = dynamic_cast<CFiler*>(made);
    if (made && !obj) delete made;
    if (obj) obj->SetParent(container);

    lines.Next();  // to the line after the header
    if (lines.AtEnd()) {
      delete obj;
      return 1;
    }
    FilerList* list = section->GetObjectList(container);
    if (!obj || !list) {
      // The container makes no object of this class: pass over the section body.
      delete obj;
      while (!lines.AtEnd() && lines.Line().find('=') != std::string_view::npos) lines.Next();
      return 1;
    }
    ReadKeys(*section, lines, obj, instance, sysFreq, versioned);
    if (!PlaceObject(*list, obj, section->GetClass(), instance)) return 1;

    // The header is the first identification record's, the one the configuration keeps: a second
    // [ID] section of a damaged file does not change what the file says of itself.
    sHeaderValues header;
    if (list->GetHead() == obj && obj->GetHeaderValues(header)) {
      sysFreq = header.m_nSystemFrequency;
      sHeaderValues& read = sections.Header();
      read.m_nSettingVersion = header.m_nSettingVersion;
      read.m_nAChan = header.m_nAChan;
      read.m_nSampleRate = header.m_nSampleRate;
      read.m_nDSPBanks = header.m_nDSPBanks;
      if (sections.GetParent()) sections.GetParent()->HeaderRead();
    }
    return 1;
  }
  return lines.AtEnd() ? 1 : 0;
}

// Reads every section of the lines into the registry's container.
template <class Lines>
void ReadSections(cFilerSections& sections, Lines& lines, VersionedKeys* versioned) {
  int sysFreq = 0;
  while (!lines.AtEnd()) {
    const std::string_view line = lines.Line();
    if (!IsSectionHeader(line)) {
      lines.Next();
      continue;
    }
    std::string name, instance;
    int group = 0;
    SplitHeader(line, name, instance, group);
    lines.MarkHeader();
    if (!BuildFromHeader(sections, lines, sections.GetParent(), name, instance, group, sysFreq, versioned)) {
      ShowReadWarning("The section [" + name + "] is unrecognized.\r\nThe load process is terminating.",
                      lines);
      return;
    }
    if (lines.AtEnd()) return;
    lines.Next();  // the line that ended the section body
  }
}

// The body lines of the settings file at path by the by-name rules (see ReadSettingsLines), as
// views into data, which receives the file and in which a line's CR bytes are squeezed out.
eFilerError ReadSettingsViews(const std::string& path, std::string& data,
                              std::vector<std::string_view>& lines, bool noCheck, sHeaderValues* header,
                              std::uint16_t* crcOut) {
  switch (ReadWholeFile(path, data, kMaxSettingsFileSize)) {
    case ReadStatus::kOk:
      break;
    case ReadStatus::kNotFound:
      return eFilerOpenError;
    case ReadStatus::kFailed:
    case ReadStatus::kTooLarge:  // no settings file is that large; its CRC is not worth reading for
      return eFilerReadError;
  }
  if (data.size() < 5) return eFilerReadError;

  char field[4];
  std::memcpy(field, data.data(), 4);
  // The CRC covers every byte from the sixth on, line ends included; it is taken before any CR is
  // squeezed out.
  const std::uint16_t crc = Crc16Update(0, data.data() + 5, data.size() - 5);
  char* const bytes = data.data();
  const size_t size = data.size();
  lines.reserve(size / 16);
  // A refused line ends the reading of lines, but the CRC is checked first: a damaged file must be
  // reported as damaged, not as one with a refused version or an over-long line.
  bool refused = false;
  for (size_t start = 5; start < size && !refused;) {
    // The line is the bytes up to the line feed, carriage returns dropped: they are squeezed out
    // within the line's own bytes, which only shortens it. One pass over the bytes finds the line
    // feed, squeezes, and notes whether the line can hold a header name at all: each name's first
    // underscore follows an S, M or E ("SETTINGS_", "NUM_", "SAMPLE_"). Lines are short, and a
    // library call per line for each search cost more than the bytes. Bytes move only from the first
    // carriage return on (usually the one before the line feed).
    char* in = bytes + start;
    char* const stop = bytes + size;
    char* out = nullptr;
    bool candidate = false;
    char previous = 0;
    for (; in < stop; ++in) {
      const char c = *in;
      if (kLineByte[static_cast<unsigned char>(c)]) {
        if (c == '\n') break;
        if (c == '\r') {
          if (!out) out = in;
          continue;
        }
        candidate |= previous == 'S' || previous == 'M' || previous == 'E';  // an underscore
      }
      previous = c;
      if (out) *out++ = c;
    }
    const bool lf = in < stop;
    const std::string_view line(bytes + start, static_cast<size_t>((out ? out : in) - (bytes + start)));
    refused = line.size() > kMaxSettingsLineLength;
    // A last line without a line feed counts only when it holds text.
    if (!refused && (lf || !line.empty())) {
      refused = header && candidate && !ScanHeaderLine(line, *header);
      if (!refused) lines.push_back(line);
    }
    start = static_cast<size_t>(in - bytes) + 1;
  }
  if (crcOut) *crcOut = crc;
  if (!noCheck && !IsUncheckedMark(field) && !CrcMatches(field, crc)) return eFilerCRCError;
  return refused ? eFilerReadError : eFilerNoError;
}

}  // namespace

eFilerError ReadSettingsLines(const std::string& path, StringList& lines, bool noCheck, bool scanHeader,
                              std::uint16_t* crcOut) {
  std::string data;
  std::vector<std::string_view> views;
  sHeaderValues header;
  const eFilerError result =
      ReadSettingsViews(path, data, views, noCheck, scanHeader ? &header : nullptr, crcOut);
  // Lines read before a failure are handed over as they were.
  for (std::string_view line : views) lines.AddTail(std::string(line));
  return result;
}

eFilerError cFilerSections::ReadCfgFile(const std::string& path, int noCheck) {
  std::string data;
  std::vector<std::string_view> views;
  // The header lines count only when the file is read: a refused file leaves the header as it was.
  sHeaderValues header = Header();
  const eFilerError result = ReadSettingsViews(path, data, views, noCheck != 0, &header, nullptr);
  if (result != eFilerNoError) return result;
  Header() = header;
  if (m_pParent) m_pParent->HeaderRead();
  ViewLines lines(views, FirstBodyLine(data));
  VersionedKeys versioned;
  ReadSections(*this, lines, &versioned);
  WarnKeysAboveVersion(versioned, Header().m_nSettingVersion);
  return eFilerNoError;
}

eFilerError cFilerSections::ReadCfgFile(char* image, unsigned long size, int noCheck) {
  if (!image || size < 5) return eFilerReadError;
  char field[4];
  std::memcpy(field, image, 4);
  // The CRC is taken over the image as given, before any byte of it is changed.
  const std::uint16_t crc = Crc16Update(0, image + 5, size - 5);
  std::vector<std::string_view> views;
  views.reserve(size / 16);
  // Each line is the text from its start up to the first zero byte: a CR (made zero here) cuts the
  // line, and so does a zero byte in the image itself. One pass over each line's bytes does both:
  // lines are short, and a library call per line for each search cost more than the bytes.
  for (size_t start = 5; start < size;) {
    size_t end = start;
    size_t cut = size;  // the first zero byte of the line, if any
    for (; end < size && image[end] != '\n'; ++end) {
      if (image[end] == '\r') image[end] = '\0';
      if (image[end] == '\0' && cut == size) cut = end;
    }
    const std::string_view line(image + start, std::min(cut, end) - start);
    if (end < size) {
      image[end] = '\0';
      views.push_back(line);
    } else if (!line.empty()) {
      views.push_back(line);
    }
    start = end + 1;
  }
  if (noCheck == 0 && !IsUncheckedMark(field) && !CrcMatches(field, crc)) return eFilerCRCError;

  ViewLines lines(views, FirstBodyLine(std::string_view(image, size)));
  VersionedKeys versioned;
  ReadSections(*this, lines, &versioned);
  WarnKeysAboveVersion(versioned, Header().m_nSettingVersion);
  return eFilerNoError;
}

void cFilerSections::ReadCfgFile(StringList& lines, StringList::Position& pos) {
  pos = lines.GetHeadPosition();
  ListLines walk(lines, pos, 1);
  VersionedKeys versioned;
  ReadSections(*this, walk, &versioned);
  WarnKeysAboveVersion(versioned, Header().m_nSettingVersion);
}

int cFilerSections::BuildFilerFromString(StringList& lines, StringList::Position& pos,
                                         cFilerContainer* container, const std::string& name,
                                         std::string& instance, int group, int& sysFreq) {
  ListLines walk(lines, pos, 0);
  if (!walk.AtEnd()) walk.MarkHeader();
  return BuildFromHeader(*this, walk, container, name, instance, group, sysFreq, nullptr);
}

CFilerSection* CFilerSection::ReadCfgStrings(StringList& lines, StringList::Position& pos, CFiler* obj,
                                             std::string& instance, int& sysFreq) {
  ListLines walk(lines, pos, 0);
  ReadKeys(*this, walk, obj, instance, sysFreq, nullptr);
  return this;
}

}  // namespace helvo
