// The settings-file writer: section blocks in registration order, key flags and version filtering,
// the suppression mark, the folding of channel groups for versions from 201, and the CRC line.
#include <algorithm>
#include <string_view>

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

bool IsFoldedVersion(int version) {
  return version >= 201;
}

namespace {

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

// Where the writer's lines go: a line list (the line-list form) or one file image. Both take the
// same three kinds of line, so the walks below serve either without building a string per line.
class ListSink {
 public:
  explicit ListSink(StringList& lines) : lines_(lines) {}
  void Header(std::string_view name, std::string_view instance) {
    std::string line;
    line.reserve(name.size() + instance.size() + 2);
    line.append(1, '[').append(name).append(instance).append(1, ']');
    lines_.AddTail(std::move(line));
  }
  void Key(const CFilerEntry& entry, std::string_view value) {
    const std::string& key = entry.GetKeyName();
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append(1, '=').append(value);
    lines_.AddTail(std::move(line));
  }
  void Blank() { lines_.AddTail(std::string()); }
  void Section(CFilerSection*, CFiler*) {}
  static constexpr bool WantsPlainValues() { return true; }
  static constexpr bool WantsConverterValues() { return true; }
  static constexpr bool WantsKeys() { return true; }

 private:
  StringList& lines_;
};

constexpr char kLineBreak[] = "contains a line break";
constexpr char kTooLong[] = "is longer than 255 characters";

bool HasLineBreak(std::string_view text) {
  // A plain loop: find_first_of would search the two-byte set once per byte of the text.
  return std::any_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
}

constexpr std::string_view kImageTemplate = "0000\r\n\r\n";  // the CRC line and the blank line after it

// Appends every line, CR LF after it, to one image, and remembers the first line that would not read
// back as written, with the section header above it, for the writer's refusal.
class ImageSink {
 public:
  explicit ImageSink(std::string& image) : image_(image) { image_.assign(kImageTemplate); }
  void Header(std::string_view name, std::string_view instance) {
    const size_t start = image_.size();
    image_.append(1, '[').append(name).append(instance).append(1, ']');
    header_ = {start, image_.size() - start};
    Check(start, instance);
    image_.append("\r\n");
  }
  void Key(const CFilerEntry& entry, std::string_view value) {
    const size_t start = image_.size();
    image_.append(entry.GetKeyName()).append(1, '=').append(value);
    Check(start, value);
    image_.append("\r\n");
  }
  void Blank() { image_.append("\r\n"); }
  void Section(CFilerSection*, CFiler*) {}
  static constexpr bool WantsPlainValues() { return true; }
  static constexpr bool WantsConverterValues() { return true; }
  static constexpr bool WantsKeys() { return true; }

  // The first unreadable line's reason (none when every line reads back), its key text (up to the
  // '=', at most 40 bytes) and the section header above it.
  const char* Reason() const { return reason_; }
  const std::string& BadKey() const { return badKey_; }
  const std::string& BadSection() const { return badSection_; }

 private:
  // The names come from the section definitions and hold no line break: only the text from the
  // configuration (value) is searched for one.
  void Check(size_t start, std::string_view value) {
    if (reason_) return;
    const std::string_view line = std::string_view(image_).substr(start);
    reason_ = HasLineBreak(value) ? kLineBreak : line.size() > kMaxSettingsLineLength ? kTooLong : nullptr;
    if (!reason_) return;
    badKey_ = std::string(line.substr(0, std::min<size_t>(line.find('='), 40)));
    if (header_.length) badSection_ = image_.substr(header_.start, header_.length);
  }

  std::string& image_;
  struct Place {
    size_t start = 0, length = 0;
  };
  Place header_;  // the last section header, as a place in the image (which may move as it grows)
  const char* reason_ = nullptr;
  std::string badKey_, badSection_;
};

// Passes the lines on to a line sink of the interface.
class ForwardSink {
 public:
  explicit ForwardSink(cFilerLineSink& sink)
      : sink_(sink), values_(sink.WantsPlainValues()), converterValues_(sink.WantsConverterValues()) {}
  void Header(std::string_view name, std::string_view instance) { sink_.Header(name, instance); }
  void Key(const CFilerEntry& entry, std::string_view value) { sink_.Key(entry, value); }
  void Blank() {}
  void Section(CFilerSection* section, CFiler* obj) { sink_.Section(section, obj); }
  bool WantsPlainValues() const { return values_; }
  bool WantsConverterValues() const { return converterValues_; }
  bool WantsKeys() const { return sink_.WantsKeys(); }

 private:
  cFilerLineSink& sink_;
  const bool values_;
  const bool converterValues_;
};

template <class Sink>
void WriteKeys(const CFilerSection& section, Sink& sink, CFiler* obj, int version, int& sysFreq) {
  const bool wanted = sink.WantsKeys();
  unsigned long mark = 0;
  for (const CFilerEntry* entry : section.GetFilerList()) {
    if (entry->IsHeaderOnlyFrom201() && !IsFoldedVersion(version)) continue;
    if (entry->GetKeyName().empty()) continue;
    if (!FlagsAllowVersion(entry->GetFlags(), version)) continue;
    if ((entry->GetFlags() & FILER_AFTER_WRITTEN_CONVERTER) && (mark & 1u)) continue;
    // The model takes what a folded file says, keys wanted or not.
    if (entry->IsNumBanks() && IsFoldedVersion(version)) SetNumericField(*entry, obj, 1);
    if (!wanted) continue;
    mark = 0;
    if (!sink.WantsPlainValues()) {
      // Plain fields are always written and taken unformatted; so are the keys of converters that
      // never leave theirs out, unless their values are wanted.
      const bool plain = entry->GetType() != CFilerEntry::eElement;
      const auto* converter = plain || sink.WantsConverterValues()
                                  ? nullptr
                                  : static_cast<const CFilerElement*>(entry->GetOffset().Resolve(obj));
      if (plain || (converter && converter->AlwaysWritesKey())) {
        sink.Key(*entry, {});
        continue;
      }
    }
    const std::string value = FormatValueText(*entry, obj, version, sysFreq, false, &mark);
    if (mark & 1u) continue;
    sink.Key(*entry, value);
  }
}

template <class Sink>
void WriteSection(cFilerSections& sections, CFilerSection* section, Sink& sink, CFiler* obj,
                  std::string_view prefix, int version, int& sysFreq) {
  if (!section || !obj || !FlagsAllowVersion(section->GetFlags(), version)) return;
  const CFilerEntry* instanceEntry = section->GetInstanceEntry();
  std::string instance =
      instanceEntry ? FormatValueText(*instanceEntry, obj, version, sysFreq, true) : std::string();

  if (IsFoldedVersion(version)) {
    const int cls = section->GetClass();
    if (EqualsNoCase(section->GetName(), "CH_GRP") && sections.m_nCurGroup > 1) return;
    if (obj->IsLeftOutWhenFolding()) return;
    if (cls == kPhasorClass) {
      if (sections.m_nCurGroup > 1) return;
      instance = Format("%d", obj->GetListIndex());
    } else if (cls == kCdrChannelClass) {
      if (sections.m_nCurGroup > 1) return;
      const int index = obj->GetListIndex();
      instance = Format("%d", index == INT32_MAX ? index : index + 1);
    }
    if (cls == kElementClass) {
      if (sections.m_nCurGroup > 1) {
        obj->AppendToName(":2");
        // The elements of the second group continue the first group's numbering.
        instance = Format("%d", sections.m_nNextElement);
      }
      ++sections.m_nNextElement;
    }
    if (cls == kIdClass) obj->SetNumAChannels(sections.Header().m_nAChan <= 18 ? 18 : 36);
  }

  sink.Header(prefix, instance);
  WriteKeys(*section, sink, obj, version, sysFreq);
  sink.Blank();
}

template <class Sink>
void WriteSections(cFilerSections& sections, Sink& sink, int version, int sysFreq) {
  for (CFilerSection* section : sections.GetSections()) {
    if (section->IsUnnamed()) {
      if (IsFoldedVersion(version)) RenumberFoldedGroups(*section, version, sysFreq);
      sections.m_nCurGroup = 1;
      sections.m_nNextElement = 1;
      int group = 1;
      for (cFilerContainer* child : section->GetNestedContainers()) {
        if (!child) continue;
        for (CFilerSection* childSection : child->GetSections().GetSections()) {
          FilerList* list = childSection->GetObjectList(child);
          if (!list) continue;
          const std::string prefix = Format("%s%d-", childSection->GetName().c_str(), group);
          for (CFiler* obj : *list) {
            if (!obj) continue;
            sink.Section(childSection, obj);
            WriteSection(sections, childSection, sink, obj, prefix, version, sysFreq);
          }
        }
        if (IsFoldedVersion(version))
          ++sections.m_nCurGroup;
        else
          ++group;
      }
      continue;
    }
    if (!section->HoldsObjects()) {
      sink.Section(section, nullptr);
      sink.Header(section->GetName(), {});
      continue;
    }
    FilerList* list = section->GetObjectList(sections.GetParent());
    if (!list) continue;
    for (CFiler* obj : *list) {
      if (!obj) continue;
      sink.Section(section, obj);
      WriteSection(sections, section, sink, obj, section->GetName(), version, sysFreq);
    }
  }
}

}  // namespace

void StampCrc(std::string& image) {
  const std::uint16_t crc = Crc16Update(0, image.data() + 5, image.size() - 5);
  static const char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 4; ++i) image[static_cast<size_t>(i)] = kHex[(crc >> (12 - 4 * i)) & 0xFu];
}

CFilerSection* CFilerSection::WriteCfgStrings(StringList& lines, CFiler* obj, int version, int& sysFreq) {
  ListSink sink(lines);
  WriteKeys(*this, sink, obj, version, sysFreq);
  return this;
}

cFilerSections* cFilerSections::WriteSectionStrings(CFilerSection* section, StringList& lines, CFiler* obj,
                                                    const std::string& prefix, int version, int& sysFreq) {
  ListSink sink(lines);
  WriteSection(*this, section, sink, obj, prefix, version, sysFreq);
  return this;
}

void cFilerSections::WriteSectionTo(CFilerSection* section, cFilerLineSink& sink, CFiler* obj,
                                    std::string_view prefix, int version, int& sysFreq) {
  ForwardSink forward(sink);
  WriteSection(*this, section, forward, obj, prefix, version, sysFreq);
}

void cFilerSections::WriteAllTo(cFilerLineSink& sink, int version, int sysFreq) {
  ForwardSink forward(sink);
  WriteSections(*this, forward, version, sysFreq);
}

void cFilerSections::BuildCfgLines(StringList& lines, int version, int sysFreq) {
  ListSink sink(lines);
  WriteSections(*this, sink, version, sysFreq);
}

eFilerError cFilerSections::BuildCfgImage(std::string& image, int version, int sysFreq) {
  ImageSink sink(image);
  WriteSections(*this, sink, version, sysFreq);
  // A file whose lines do not read back as written would lose the configuration on the next load:
  // refuse it.
  if (sink.Reason()) {
    ShowMessage(Format("The settings file was not written: the line of \"%s\" in %s %s.",
                       sink.BadKey().c_str(), sink.BadSection().c_str(), sink.Reason()),
                MB_OK | MB_ICONERROR);
    image.clear();
    return eFilerWriteError;
  }
  StampCrc(image);
  return eFilerNoError;
}

const char* UnreadableLineReason(std::string_view line) {
  if (HasLineBreak(line)) return kLineBreak;
  if (line.size() > kMaxSettingsLineLength) return kTooLong;
  return nullptr;
}

std::string BuildSettingsImage(const StringList& lines) {
  size_t total = kImageTemplate.size();
  for (const std::string& line : lines) total += line.size() + 2;
  std::string data;
  data.reserve(total);
  data.append(kImageTemplate);
  for (const std::string& line : lines) data.append(line).append("\r\n");
  StampCrc(data);
  return data;
}

std::vector<std::string_view> SortedSectionBlocks(std::string_view image) {
  constexpr std::string_view kBoundary = "\r\n[";
  std::vector<std::string_view> blocks;
  for (size_t start = image.find(kBoundary); start != std::string_view::npos;) {
    start += 2;
    const size_t next = image.find(kBoundary, start);
    blocks.push_back(image.substr(start, next == std::string_view::npos ? next : next + 2 - start));
    start = next;
  }
  std::sort(blocks.begin(), blocks.end());
  return blocks;
}

eFilerError cFilerSections::WriteCfgFile(const std::string& path, int version, int sysFreq) {
  // On failure the previous file is left as it was.
  std::string image;
  if (const eFilerError built = BuildCfgImage(image, version, sysFreq); built != eFilerNoError) return built;
  if (!ReplaceFileAtomically(path, image)) {
    cVoduvezErozaErrorHandler(3, 132, true, false, true);
    return eFilerOpenError;
  }
  return eFilerNoError;
}

}  // namespace helvo
