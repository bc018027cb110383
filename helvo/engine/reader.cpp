// The settings-file reader: the by-name, memory-image and line-list forms, section headers, nesting
// through the unnamed section, and the filling of objects from key lines. docs/file-format.md gives
// the format these functions accept.
#include <cstring>
#include <iterator>

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
  const char* name;
  int* target;
};

bool CrcMatches(const char field[4], std::uint16_t crc) {
  const std::string computed = Format("%4.4x", static_cast<unsigned>(crc));
  return EqualsNoCase(std::string_view(field, 4), computed);
}

bool IsUncheckedMark(const char field[4]) {
  return EqualsNoCase(std::string_view(field, 4), "noch");
}

// Picks a header value out of one line of the by-name form. Returns false when the line carries a
// setting version the reader refuses. Every line of a file passes through here, so the line is
// scanned once for all four names rather than once per name.
bool ScanHeaderLine(const std::string& line) {
  static const HeaderKey kKeys[] = {
      {"SETTINGS_VERS", &cFilerSections::m_nSettingVersion},
      {"NUM_BANKS", &cFilerSections::m_nDSPBanks},
      {"NUM_A_CHANNELS", &cFilerSections::m_nAChan},
      {"SAMPLE_RATE", &cFilerSections::m_nSampleRate},
  };
  constexpr size_t kNone = std::size(kKeys);
  size_t found = kNone;  // the first key, in the order above, that the line contains anywhere
  const std::string_view text(line);
  for (size_t at = 0; at < text.size() && found > 0; ++at) {
    if (text[at] != 'S' && text[at] != 'N') continue;  // the first letters of the four names
    for (size_t k = 0; k < found; ++k)
      if (text.substr(at).starts_with(kKeys[k].name)) found = k;
  }
  if (found == kNone) return true;
  const HeaderKey& key = kKeys[found];
  const size_t eq = line.find('=');
  if (eq != std::string::npos) {
    *key.target = LeadingInt(std::string_view(line).substr(eq + 1));
    if (key.target == &cFilerSections::m_nSettingVersion) {
      const int v = cFilerSections::m_nSettingVersion;
      if (v < 1 || (v >= 8 && v <= 200)) return false;
    }
  }
  return true;  // only the first key the line contains counts
}

bool IsSectionHeader(const std::string& line) {
  return line.size() >= 3 && line[0] == '[' && line.find(']') != std::string::npos;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Splits "[NAME<group>-<instance>]..." into its three parts.
void SplitHeader(const std::string& line, std::string& name, std::string& instance, int& group) {
  const size_t close = line.find(']');
  std::string n = line.substr(1, close - 1);
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

}  // namespace

eFilerError ReadSettingsLines(const std::string& path, StringList& lines, bool noCheck, bool scanHeader,
                              std::uint16_t* crcOut) {
  std::string data;
  switch (ReadWholeFile(path, data)) {
    case ReadStatus::kOk:
      break;
    case ReadStatus::kNotFound:
      return eFilerOpenError;
    case ReadStatus::kFailed:
      return eFilerReadError;
  }
  if (data.size() < 5) return eFilerReadError;

  char field[4];
  std::memcpy(field, data.data(), 4);
  // The CRC covers every byte from the sixth on, line ends included.
  const std::uint16_t crc = Crc16Update(0, data.data() + 5, data.size() - 5);
  const char* const bytes = data.data();
  const size_t size = data.size();
  std::string line;
  // A refused line ends the reading of lines, but the CRC is checked first: a damaged file must be
  // reported as damaged, not as one with a refused version or an over-long line.
  bool refused = false;
  for (size_t start = 5; start < size && !refused;) {
    const auto* lf = static_cast<const char*>(std::memchr(bytes + start, '\n', size - start));
    const size_t end = lf ? static_cast<size_t>(lf - bytes) : size;
    // The line is the bytes up to the line feed, carriage returns dropped.
    line.clear();
    for (size_t at = start; at < end;) {
      const auto* cr = static_cast<const char*>(std::memchr(bytes + at, '\r', end - at));
      const size_t stop = cr ? static_cast<size_t>(cr - bytes) : end;
      line.append(bytes + at, stop - at);
      at = stop + 1;
    }
    refused = line.size() > kMaxSettingsLineLength;
    // A last line without a line feed counts only when it holds text.
    if (!refused && (lf || !line.empty())) {
      refused = scanHeader && !ScanHeaderLine(line);
      if (!refused) lines.AddTail(line);
    }
    start = end + 1;
  }
  if (crcOut) *crcOut = crc;
  if (!noCheck && !IsUncheckedMark(field) && !CrcMatches(field, crc)) return eFilerCRCError;
  return refused ? eFilerReadError : eFilerNoError;
}

eFilerError cFilerSections::ReadCfgFile(const std::string& path, int noCheck) {
  StringList lines;
  const eFilerError result = ReadSettingsLines(path, lines, noCheck != 0, true);
  if (result != eFilerNoError) return result;
  StringList::Position pos;
  ReadCfgFile(lines, pos);
  return eFilerNoError;
}

eFilerError cFilerSections::ReadCfgFile(char* image, unsigned long size, int noCheck) {
  if (!image || size < 5) return eFilerReadError;
  char field[4];
  std::memcpy(field, image, 4);
  // The CRC is taken over the image as given, before any byte of it is changed.
  const std::uint16_t crc = Crc16Update(0, image + 5, size - 5);
  StringList lines;
  // Each line is the text from its start up to the first zero byte: a CR (made zero here) cuts the
  // line, and so does a zero byte in the image itself.
  for (size_t start = 5; start < size;) {
    auto* lf = static_cast<char*>(std::memchr(image + start, '\n', size - start));
    const size_t end = lf ? static_cast<size_t>(lf - image) : size;
    for (size_t at = start; at < end;) {
      auto* cr = static_cast<char*>(std::memchr(image + at, '\r', end - at));
      if (!cr) break;
      *cr = '\0';
      at = static_cast<size_t>(cr - image) + 1;
    }
    std::string line(image + start, strnlen(image + start, end - start));
    if (lf) {
      *lf = '\0';
      lines.AddTail(std::move(line));
    } else if (!line.empty()) {
      lines.AddTail(std::move(line));
    }
    start = end + 1;
  }
  if (noCheck == 0 && !IsUncheckedMark(field) && !CrcMatches(field, crc)) return eFilerCRCError;

  StringList::Position pos;
  ReadCfgFile(lines, pos);
  return eFilerNoError;
}

void cFilerSections::ReadCfgFile(StringList& lines, StringList::Position& pos) {
  int sysFreq = 0;
  pos = lines.GetHeadPosition();
  while (pos) {
    const std::string& line = lines.GetAt(pos);
    if (!IsSectionHeader(line)) {
      lines.GetNext(pos);
      continue;
    }
    std::string name, instance;
    int group = 0;
    SplitHeader(line, name, instance, group);
    if (!BuildFilerFromString(lines, pos, m_pParent, name, instance, group, sysFreq)) {
      ShowMessage("The section [" + name + "] is unrecognized.\r\nThe load process is terminating.",
                  MB_OK | MB_ICONWARNING);
      return;
    }
    if (!pos) return;
    lines.GetNext(pos);  // the line that ended the section body
  }
}

int cFilerSections::BuildFilerFromString(StringList& lines, StringList::Position& pos,
                                         cFilerContainer* container, const std::string& name,
                                         std::string& instance, int group, int& sysFreq) {
  for (CFilerSection* section : m_Sections) {
    if (section->IsUnnamed()) {
      const auto& nested = section->GetNestedContainers();
      if (nested.IsEmpty()) continue;
      const int count = static_cast<int>(nested.GetCount());
      const int g = (group < 1 || group > count) ? 1 : group;
      cFilerContainer* child = *std::next(nested.begin(), g - 1);
      if (child && child->GetSections().BuildFilerFromString(lines, pos, child, name, instance, 0, sysFreq))
        return 1;
      continue;
    }
    if (section->GetName() != name) continue;

    if (!section->HoldsObjects()) {  // END: the whole parse ends here
      pos = StringList::Position();
      return 1;
    }
    CObject* made = container ? container->ConstructChild(section->GetClass()) : nullptr;
    CFiler* obj = dynamic_cast<CFiler*>(made);
    if (made && !obj) delete made;
    if (obj) obj->SetParent(container);

    lines.GetNext(pos);  // to the line after the header
    if (!pos) {
      delete obj;
      return 1;
    }
    FilerList* list = section->GetObjectList(container);
    if (!obj || !list) {
      // The container makes no object of this class: pass over the section body.
      delete obj;
      while (pos && lines.GetAt(pos).find('=') != std::string::npos) lines.GetNext(pos);
      return 1;
    }
    section->ReadCfgStrings(lines, pos, obj, instance, sysFreq);
    if (!PlaceObject(*list, obj, section->GetClass(), instance)) return 1;

    sHeaderValues header;
    if (obj->GetHeaderValues(header)) {
      sysFreq = header.m_nSystemFrequency;
      m_nSettingVersion = header.m_nSettingVersion;
      m_nAChan = header.m_nAChan;
      m_nSampleRate = header.m_nSampleRate;
      m_nDSPBanks = header.m_nDSPBanks;
    }
    return 1;
  }
  return pos ? 0 : 1;
}

CFilerSection* CFilerSection::ReadCfgStrings(StringList& lines, StringList::Position& pos, CFiler* obj,
                                             std::string& instance, int& sysFreq) {
  if (m_pInstance) StoreValueText(*m_pInstance, obj, instance, sysFreq);
  while (pos) {
    std::string& line = lines.GetAt(pos);
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return this;
    const std::string_view key(line.data(), eq);
    if (CFilerEntry* entry = FindEntryByName(key)) {
      if (!StoreNumberText(*entry, obj, std::string_view(line).substr(eq + 1))) {
        std::string value = line.substr(eq + 1);
        StoreValueText(*entry, obj, value, sysFreq);
      }
    } else {
      ShowMessage("The parameter \"" + std::string(key) + "\" is unrecognized and will be ignored.",
                  MB_OK | MB_ICONWARNING);
    }
    lines.GetNext(pos);
  }
  return this;
}

}  // namespace helvo
