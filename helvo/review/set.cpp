// Setting values: the changed text is read as a file is read, and must write back what was set and
// nothing else.
#include <algorithm>
#include <utility>

#include "helvo/engine/settings_text.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/format.h"
#include "helvo/review/review.h"
#include "helvo/review/scratch.h"

namespace helvo {

namespace {

constexpr char kChanged[] = "the changed values";

// The first difference between the lines of two listings, as "[SECTION] KEY would read VALUE"; empty
// when they write the same lines. Keys are compared by name: a key added by a set stands at its
// section's end in expected and at its place in got.
std::string FirstOtherChange(const ValueListing& expected, const ValueListing& got) {
  for (size_t i = 0; i < std::max(expected.sections.size(), got.sections.size()); ++i) {
    if (i >= got.sections.size()) return Format("[%s] would go", expected.sections[i].header.c_str());
    const SectionValues& g = got.sections[i];
    if (i >= expected.sections.size() || expected.sections[i].header != g.header)
      return Format("[%s] would appear", g.header.c_str());
    const SectionValues& e = expected.sections[i];
    for (const KeyValue& value : g.keys) {
      const KeyValue* was = e.Find(value.key);
      if (!was || was->value != value.value)
        return Format("[%s] %s would read %s", g.header.c_str(), value.key.c_str(), value.value.c_str());
    }
    for (const KeyValue& value : e.keys)
      if (!g.Find(value.key)) return Format("[%s] %s would go", e.header.c_str(), value.key.c_str());
  }
  return {};
}

// False, with error naming the selector, when a's value would not stay on its own line of the file.
bool FitsOneLine(const Assignment& a, std::string& error) {
  if (a.value.find_first_of("\r\n") == std::string::npos &&
      a.selector.key.size() + 1 + a.value.size() <= kMaxSettingsLineLength)
    return true;
  error = Format("[%s] %s: the value does not fit on one line of the file", a.selector.section.c_str(),
                 a.selector.key.c_str());
  return false;
}

// Where the value of key stands in the block of [section] of a file image (its offset and length);
// offset npos when the block holds no line of key, or the image no such block.
std::pair<size_t, size_t> ValueSpan(const std::string& image, std::string_view section,
                                    std::string_view key) {
  constexpr size_t npos = std::string::npos;
  std::string header;
  header.reserve(section.size() + 5);
  header.append("\n[").append(section).append("]\r\n");
  size_t pos = image.find(header);
  if (pos == npos) return {npos, 0};
  // The block ends at its blank line or at the next header.
  for (pos += header.size(); pos < image.size() && image[pos] != '\r' && image[pos] != '[';) {
    const size_t end = image.find("\r\n", pos);
    if (end == npos) break;
    const std::string_view line(image.data() + pos, end - pos);
    if (line.size() > key.size() && line[key.size()] == '=' && line.substr(0, key.size()) == key)
      return {pos + key.size() + 1, end - pos - key.size() - 1};
    pos = end + 2;
  }
  return {npos, 0};
}

// Changes the set lines of a file image; false when a selector is given twice, the image holds no
// line of a key, or a value does not fit on its line.
bool EditSetLines(std::string& text, const std::vector<Assignment>& assignments) {
  for (size_t i = 0; i < assignments.size(); ++i) {
    const Assignment& a = assignments[i];
    const bool repeated = std::any_of(
        assignments.begin(), assignments.begin() + static_cast<std::ptrdiff_t>(i), [&](const Assignment& b) {
          return b.selector.section == a.selector.section && b.selector.key == a.selector.key;
        });
    std::string unused;
    const auto [at, size] = ValueSpan(text, a.selector.section, a.selector.key);
    if (repeated || at == std::string::npos || !FitsOneLine(a, unused)) return false;
    text.replace(at, size, a.value);
  }
  StampCrc(text);
  return true;
}

// True when two file images hold the same lines, section blocks in another order allowed, each header
// once (SortedSectionBlocks).
bool SameBlocks(std::string_view a, std::string_view b) {
  if (a.size() != b.size() || a.size() < 4 || a.substr(4, a.find('[') - 4) != b.substr(4, b.find('[') - 4))
    return false;
  const std::vector<std::string_view> blocks = SortedSectionBlocks(a);
  auto header = [](std::string_view block) { return block.substr(0, block.find("\r\n")); };
  for (size_t i = 1; i < blocks.size(); ++i)
    if (header(blocks[i]) == header(blocks[i - 1])) return false;
  return !blocks.empty() && blocks == SortedSectionBlocks(b);
}

// The quick way: the set lines of text, a file image, are changed, and the change is taken when the
// configuration read from the changed text, saved again, writes that very text (its sections perhaps
// in another order): every value was taken as given and no other line changes. The changed text is
// the image, in its own order: it is what was read.
bool SetLines(std::string text, const std::vector<Assignment>& assignments,
              std::unique_ptr<CHelvoCfg>& result, std::string& image) {
  std::unique_ptr<CHelvoCfg> changed;
  std::string unused, again;
  if (!EditSetLines(text, assignments) || !ReadImageQuietly(text, changed, kChanged, unused) ||
      !changed->BuildOwnVersionImage(again, nullptr) || (again != text && !SameBlocks(again, text)))
    return false;
  result = std::move(changed);
  image = std::move(text);
  return true;
}

}  // namespace

ReviewStatus SetValues(const ValueListing& original, const std::vector<Assignment>& assignments,
                       std::unique_ptr<CHelvoCfg>& result, ValueListing& after, std::string& error) {
  result.reset();
  ValueListing listing = original;
  for (const Assignment& a : assignments) {
    auto section = std::find_if(listing.sections.begin(), listing.sections.end(),
                                [&](const SectionValues& s) { return s.header == a.selector.section; });
    if (section == listing.sections.end() || !section->object) {
      error = Format("no section [%s]", a.selector.section.c_str());
      return ReviewStatus::kUnknownSection;
    }
    if (!FitsOneLine(a, error)) return ReviewStatus::kRefused;
    auto it = std::find_if(section->keys.begin(), section->keys.end(),
                           [&](const KeyValue& v) { return v.key == a.selector.key; });
    if (it != section->keys.end()) {
      it->value = a.value;
      continue;
    }
    // A key the section defines for this version may be missing from the save (a meter reference that
    // names nothing writes no line).
    const CFilerEntry* entry = section->definition->FindEntryByName(a.selector.key);
    if (!entry || (entry->GetFlags() & FILER_NEVER_WRITTEN) ||
        !FlagsAllowVersion(entry->GetFlags(), listing.header.version)) {
      error = Format("no key %s in [%s]", a.selector.key.c_str(), a.selector.section.c_str());
      return ReviewStatus::kUnknownKey;
    }
    KeyValue added;
    added.key = a.selector.key;
    added.value = a.value;
    section->keys.push_back(std::move(added));
  }

  // Read the changed text as a file is read, collecting what the load reports.
  StringList lines;
  for (std::string& line : listing.Lines()) lines.AddTail(std::move(line));
  std::unique_ptr<CHelvoCfg> changed;
  if (!ReadImageQuietly(BuildSettingsImage(lines), changed, kChanged, error)) return ReviewStatus::kRefused;
  after = ListValues(*changed);
  for (const Assignment& a : assignments) {
    const SectionValues* section = after.Find(a.selector.section);
    const KeyValue* value = section ? section->Find(a.selector.key) : nullptr;
    if (value && value->value == a.value) continue;
    error = Format("[%s] %s: %s is not taken (it reads back as %s)", a.selector.section.c_str(),
                   a.selector.key.c_str(), a.value.c_str(),
                   !section ? "no section"
                   : value  ? value->value.c_str()
                            : "no line");
    return ReviewStatus::kRefused;
  }
  // Only the set lines may change: a value with side effects (an element renamed while its functions
  // still name it by the old name creates a second element; a header key that moves every meter
  // index) is refused, naming the first other line it would change.
  if (const std::string other = FirstOtherChange(listing, after); !other.empty()) {
    error = assignments.size() == 1
                ? Format("[%s] %s: setting it changes another line too: ",
                         assignments[0].selector.section.c_str(), assignments[0].selector.key.c_str())
                : std::string("the values change more than their own lines: ");
    error += other;
    return ReviewStatus::kRefused;
  }
  result = std::move(changed);
  return ReviewStatus::kOk;
}

ReviewStatus SetValues(CHelvoCfg& cfg, std::string_view file, const std::vector<Assignment>& assignments,
                       std::unique_ptr<CHelvoCfg>& result, std::string& image, std::string& error) {
  result.reset();
  image.clear();
  if (!file.empty() && SetLines(std::string(file), assignments, result, image)) return ReviewStatus::kOk;
  // Then the text a save of cfg writes, unless that is the file. A selector set twice, a key the save
  // left out, a value that does not fit and any change that is not taken go the way of the listing,
  // which says what is at fault.
  std::string saved;
  if (cfg.BuildOwnVersionImage(saved, nullptr) && saved != file &&
      SetLines(std::move(saved), assignments, result, image))
    return ReviewStatus::kOk;
  ValueListing after;
  const ReviewStatus status = SetValues(ListValues(cfg), assignments, result, after, error);
  if (status != ReviewStatus::kOk) return status;
  if (!result->BuildOwnVersionImage(image, nullptr)) {
    result.reset();
    error = "the changed values cannot be written";
    return ReviewStatus::kRefused;
  }
  return ReviewStatus::kOk;
}

ReviewStatus SetValues(CHelvoCfg& cfg, const std::vector<Assignment>& assignments,
                       std::unique_ptr<CHelvoCfg>& result, std::string& image, std::string& error) {
  return SetValues(cfg, {}, assignments, result, image, error);
}

}  // namespace helvo
