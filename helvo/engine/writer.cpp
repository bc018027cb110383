// The settings-file writer: section blocks in registration order, key flags and version filtering,
// the suppression mark, the folding of channel groups for versions from 201, and the CRC line.
#include <algorithm>

#include "helvo/engine/crc16.h"
#include "helvo/engine/field_access.h"
#include "helvo/engine/filer.h"
#include "helvo/engine/settings_text.h"
#include "helvo/engine/value_text.h"
#include "helvo/host/errors.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

namespace {

constexpr int kFirstFoldedVersion = 201;

// Channel-number offsets of the second channel group's functions in a folded file: the first
// group's function tables hold this many entries of each class. Frozen by the recorder's layout.
struct FoldOffset {
  int cls;
  int offset;
};
constexpr FoldOffset kFoldOffsets[] = {
    {1, 18},   // ANALOG_INPUT
    {2, 32},   // DIGITAL_INPUT
    {3, 15},   // SUMMATION
    {11, 15},  // LOGIC
    {4, 6},    // SEQUENCE
    {5, 9},    // IMPEDANCE
    {6, 9},    // WATTS/VARS
    {16, 9},   // PFDET
    {12, 5},   // FAULT_LOCATOR
};

constexpr int kElementClass = 0;
constexpr int kIdClass = 7;
constexpr int kPhasorClass = 18;
constexpr int kCdrChannelClass = 20;

bool IsFoldedVersion(int version) {
  return version >= kFirstFoldedVersion;
}

int FoldOffsetOf(int cls) {
  for (const FoldOffset& f : kFoldOffsets)
    if (f.cls == cls) return f.offset;
  return -1;
}

// Gives the functions of the second and later channel groups their channel numbers in the folded file
// before anything is written. Functions of the first group can refer to them (the first group's
// frequency list holds every board's frequency functions), and a reference is written as the number
// its target has at that moment, so every number must be final first.
void RenumberFoldedGroups(CFilerSection& groups, int version, int sysFreq) {
  int group = 1;
  for (cFilerContainer* child : groups.GetNestedContainers()) {
    if (!child) continue;
    if (group++ == 1) continue;
    for (CFilerSection* section : child->GetSections().GetSections()) {
      const int offset = FoldOffsetOf(section->GetClass());
      const CFilerEntry* instanceEntry = section->GetInstanceEntry();
      FilerList* list = section->GetObjectList(child);
      if (offset < 0 || !instanceEntry || !list || !FlagsAllowVersion(section->GetFlags(), version)) continue;
      for (CFiler* obj : *list) {
        if (!obj || obj->IsLeftOutWhenFolding()) continue;
        const std::string instance = FormatValueText(*instanceEntry, obj, version, sysFreq, true);
        const std::int64_t n = static_cast<std::int64_t>(LeadingInt(instance)) + offset;
        obj->SetChannelNumber(n > INT32_MAX ? INT32_MAX : static_cast<int>(n));
      }
    }
  }
}

}  // namespace

CFilerSection* CFilerSection::WriteCfgStrings(StringList& lines, CFiler* obj, int version, int& sysFreq) {
  unsigned long mark = 0;
  for (CFilerEntry* entry : m_Entries) {
    if (entry->m_eSpecial == CFilerEntry::eSpecial::kHeaderOnlyFrom201 && !IsFoldedVersion(version)) continue;
    if (entry->m_strName.empty()) continue;
    if (!FlagsAllowVersion(entry->m_nFlags, version)) continue;
    if ((entry->m_nFlags & FILER_AFTER_WRITTEN_CONVERTER) && (mark & 1u)) continue;
    if (entry->m_eSpecial == CFilerEntry::eSpecial::kNumBanks && IsFoldedVersion(version))
      SetNumericField(*entry, obj, 1);
    mark = 0;
    std::string value = FormatValueText(*entry, obj, version, sysFreq, false, &mark);
    if (mark & 1u) continue;
    std::string line;
    line.reserve(entry->m_strName.size() + 1 + value.size());
    line.append(entry->m_strName).append(1, '=').append(value);
    lines.AddTail(std::move(line));
  }
  return this;
}

cFilerSections* cFilerSections::WriteSectionStrings(CFilerSection* section, StringList& lines, CFiler* obj,
                                                    const std::string& prefix, int version, int& sysFreq) {
  if (!section || !obj || !FlagsAllowVersion(section->GetFlags(), version)) return this;
  const CFilerEntry* instanceEntry = section->GetInstanceEntry();
  std::string instance =
      instanceEntry ? FormatValueText(*instanceEntry, obj, version, sysFreq, true) : std::string();

  if (IsFoldedVersion(version)) {
    const int cls = section->GetClass();
    if (EqualsNoCase(section->GetName(), "CH_GRP") && m_nCurGroup > 1) return this;
    if (obj->IsLeftOutWhenFolding()) return this;
    if (cls == kPhasorClass) {
      if (m_nCurGroup > 1) return this;
      instance = Format("%d", obj->GetListIndex());
    } else if (cls == kCdrChannelClass) {
      if (m_nCurGroup > 1) return this;
      const int index = obj->GetListIndex();
      instance = Format("%d", index == INT32_MAX ? index : index + 1);
    }
    if (cls == kElementClass) {
      if (m_nCurGroup > 1) {
        obj->AppendToName(":2");
        // The elements of the second group continue the first group's numbering.
        instance = Format("%d", m_nNextElement);
      }
      ++m_nNextElement;
    }
    if (cls == kIdClass) obj->SetNumAChannels(m_nAChan <= 18 ? 18 : 36);
  }

  lines.AddTail("[" + prefix + instance + "]");
  section->WriteCfgStrings(lines, obj, version, sysFreq);
  lines.AddTail(std::string());
  return this;
}

void cFilerSections::BuildCfgLines(StringList& lines, int version, int sysFreq) {
  for (CFilerSection* section : m_Sections) {
    if (section->IsUnnamed()) {
      if (IsFoldedVersion(version)) RenumberFoldedGroups(*section, version, sysFreq);
      m_nCurGroup = 1;
      m_nNextElement = 1;
      int group = 1;
      for (cFilerContainer* child : section->GetNestedContainers()) {
        if (!child) continue;
        for (CFilerSection* childSection : child->GetSections().GetSections()) {
          FilerList* list = childSection->GetObjectList(child);
          if (!list) continue;
          const std::string prefix = Format("%s%d-", childSection->GetName().c_str(), group);
          for (CFiler* obj : *list)
            if (obj) WriteSectionStrings(childSection, lines, obj, prefix, version, sysFreq);
        }
        if (IsFoldedVersion(version))
          ++m_nCurGroup;
        else
          ++group;
      }
      continue;
    }
    if (!section->HoldsObjects()) {
      lines.AddTail("[" + section->GetName() + "]");
      continue;
    }
    FilerList* list = section->GetObjectList(m_pParent);
    if (!list) continue;
    for (CFiler* obj : *list)
      if (obj) WriteSectionStrings(section, lines, obj, section->GetName(), version, sysFreq);
  }
}

const char* UnreadableLineReason(const std::string& line) {
  if (line.find_first_of("\r\n") != std::string::npos) return "contains a line break";
  if (line.size() > kMaxSettingsLineLength) return "is longer than 255 characters";
  return nullptr;
}

std::string BuildSettingsImage(const StringList& lines) {
  size_t total = 8;
  for (const std::string& line : lines) total += line.size() + 2;
  std::string data;
  data.reserve(total);
  data.append("0000\r\n\r\n");
  for (const std::string& line : lines) data.append(line).append("\r\n");
  // The CRC runs over everything after the fifth byte of the finished image; it then takes the
  // place of the template's four zeros.
  const std::uint16_t crc = Crc16Update(0, data.data() + 5, data.size() - 5);
  static const char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 4; ++i) data[static_cast<size_t>(i)] = kHex[(crc >> (12 - 4 * i)) & 0xFu];
  return data;
}

eFilerError cFilerSections::WriteCfgFile(const std::string& path, int version, int sysFreq) {
  StringList lines;
  BuildCfgLines(lines, version, sysFreq);
  // A file whose lines do not read back as written would lose the configuration on the next load:
  // refuse it and keep the previous file.
  std::string section;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '[') section = line;
    if (const char* why = UnreadableLineReason(line)) {
      const std::string key = line.substr(0, std::min<size_t>(line.find('='), 40));
      ShowMessage(Format("The settings file was not written: the line of \"%s\" in %s %s.", key.c_str(),
                         section.c_str(), why),
                  MB_OK | MB_ICONERROR);
      return eFilerWriteError;
    }
  }
  if (!ReplaceFileAtomically(path, BuildSettingsImage(lines))) {
    cVoduvezErozaErrorHandler(3, 132, true, false, true);
    return eFilerOpenError;
  }
  return eFilerNoError;
}

}  // namespace helvo
