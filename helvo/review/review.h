// What an engineer does with a settings file besides loading and saving it: see every value, get and
// set single values, compare two configurations and lint one. The tool, hosts and the Python binding
// all call these functions, so they print and return the same values, changes and findings.
//
// Values are the texts a save at the configuration's own setting version writes, in the file's 8-bit
// text; references (elements, phasor, state, meter and trend references, PMU and CDR inputs) also
// carry the name of what they refer to. Objects named by a listing belong to the configuration it was
// made from and live as long as it does.
//
// A listing is made by the writer's own walk (WriteOwnVersionTo), so it holds exactly the lines a save
// at the configuration's own version writes.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "helvo/platform/ordered_list.h"

namespace helvo {

class CHelvoCfg;
class CFiler;
class CFilerSection;

// "SECTION/KEY": the section header without its brackets, as a save writes it, and the key; the last
// slash separates the key ("WATTS/VARS1-2/TYPE").
struct Selector {
  std::string section;
  std::string key;
};
// False when text has no slash or an empty section or key.
bool ParseSelector(std::string_view text, Selector& selector);

struct KeyValue {
  std::string key;
  std::string value;       // as a save writes it
  bool reference = false;  // the value refers to an element, a function, a state or a meter
  std::string target;      // the name of what a reference refers to; empty when it names nothing
  // The section header of the function a reference refers to, with the state or meter within it
  // ("ANALOG_INPUT1-1 meter 0"); empty for elements and for references that name nothing.
  std::string targetId;
  // What a reader compares: the target's name for a reference that names something, else the value.
  const std::string& Shown() const { return reference && !target.empty() ? target : value; }
};

struct SectionValues {
  std::string header;        // without brackets: "ANALOG_INPUT1-3"
  std::string name;          // the function's, element's, group's or record's name; may be empty
  int cls = -1;              // eHelvoCfgClass of the object
  CFiler* object = nullptr;  // none for [END]
  CFilerSection* definition = nullptr;
  std::vector<KeyValue> keys;  // in write order
  const KeyValue* Find(std::string_view key) const;
};

// The header values that tell configurations apart before any section does.
struct HeaderValues {
  int version = 0;
  int generation = 0;
  int boards = 0;
  int frequency = 0;
};

struct ValueListing {
  HeaderValues header;
  std::vector<SectionValues> sections;  // in write order
  // The first section with that header. Constant time once Index has run (ListValues runs it).
  const SectionValues* Find(std::string_view sectionHeader) const;
  void Index();
  // The body lines a save writes (no CRC line): headers, KEY=value lines, a blank line after each
  // section, and the closing [END].
  std::vector<std::string> Lines() const;

 private:
  std::unordered_map<std::string, size_t> byHeader_;  // first section of each header
};

// Puts cfg into its written form for its own setting version, as a save does, and lists what that
// save writes, section by section. Without names, references are marked and identified (targetId)
// but their targets are not named (target stays empty), which saves building a text per reference.
ValueListing ListValues(CHelvoCfg& cfg, bool names = true);

enum class ReviewStatus {
  kOk = 0,
  kUnknownSection,  // the selector's section is not written
  kUnknownKey,      // the section has no such key
  kRefused,         // set: a value that does not read back as given, or a load that reports problems
};

// The value at selector, or a status with the error text (naming the section or key).
ReviewStatus GetValue(const ValueListing& listing, const Selector& selector, const KeyValue*& value,
                      std::string& error);

struct Assignment {
  Selector selector;
  std::string value;  // in the file's 8-bit text
};

// Sets each value through its key's own definition: the listing's lines with the values replaced
// are read as a file is read (the reader's conversion, then the linking after a load); every value
// must then be written back exactly as given, and no other line may change. listing is the
// ListValues of the configuration to change. On success result holds the configuration read from
// the changed text, ready to be saved at its own version, and after its listing. On failure result
// is none and error names the selector at fault (or, for several values with side effects, the
// line they would change). A key the section defines but a save left out (a meter reference that
// names nothing writes no line) may be set; the save writes it in its place.
ReviewStatus SetValues(const ValueListing& listing, const std::vector<Assignment>& assignments,
                       std::unique_ptr<CHelvoCfg>& result, ValueListing& after, std::string& error);

// SetValues for the configuration itself, without a listing: the text a save at cfg's own version
// writes, with the set lines changed, is read as a file is read, and the change is taken when the
// configuration read, saved again, writes that very text (only where that is not so is the listing
// made, to say what is at fault). On success result holds that configuration and image the file it
// writes, byte for byte what its WriteCfgFile would write. Refuses what SetValues refuses, with the
// same errors. cfg is put into its written form, as a save does.
ReviewStatus SetValues(CHelvoCfg& cfg, const std::vector<Assignment>& assignments,
                       std::unique_ptr<CHelvoCfg>& result, std::string& image, std::string& error);

// The same, where file is the text cfg was read from, with cfg unchanged since. The file's own lines
// are changed first and checked as above, except that the save of the configuration read may write
// the same sections in another order: for a file the library wrote that spares the save of cfg (and
// leaves cfg as it is), and image is the file with only the set lines and the CRC line changed (a
// file folded from two channel groups keeps its order). Where that check fails, SetValues above runs.
ReviewStatus SetValues(CHelvoCfg& cfg, std::string_view file, const std::vector<Assignment>& assignments,
                       std::unique_ptr<CHelvoCfg>& result, std::string& image, std::string& error);

// One difference between two listings.
struct Change {
  enum class Kind { kHeader, kOnlyInA, kOnlyInB, kKey };
  Kind kind = Kind::kKey;
  std::string section;                  // empty for the header
  std::string name;                     // the section's name (SectionValues::name)
  std::string key;                      // empty for whole sections
  std::optional<std::string> oldValue;  // none when the key is absent in A
  std::optional<std::string> newValue;  // none when the key is absent in B
};

// A configuration's values as a comparison reads them: the same walk as ListValues, but numbers are
// kept unformatted and references are named only where a comparison needs their names, so that
// comparing two configurations costs far less than listing both. It reads cfg, which it puts in
// written form and which must outlive it unchanged. Names are made when a comparison asks for them,
// so one snapshot is read by one thread at a time.
class ValueSnapshot {
 public:
  explicit ValueSnapshot(CHelvoCfg& cfg);
  ~ValueSnapshot();
  ValueSnapshot(ValueSnapshot&&) noexcept;
  ValueSnapshot& operator=(ValueSnapshot&&) noexcept;

  struct Data;
  const Data& data() const { return *data_; }

 private:
  std::unique_ptr<Data> data_;
};

// The value at selector as GetValue reads it from the configuration's listing (value receives a copy).
ReviewStatus GetValue(const ValueSnapshot& snapshot, const Selector& selector, KeyValue& value,
                      std::string& error);

// The values at selectors, in their order, as GetValue reads them from a snapshot of cfg; the walk
// formats only the keys of the sections the selectors name, so this costs far less than a whole
// snapshot. Stops at the first selector that names nothing, with its status and error; values then
// holds those before it. cfg is put into its written form, as a save does.
ReviewStatus GetValues(CHelvoCfg& cfg, const std::vector<Selector>& selectors, std::vector<KeyValue>& values,
                       std::string& error);

// The header's differences, then section by section (matched by header) and key by key in file
// order. References show by the name of what they refer to, and are the same when that name is, or
// when they refer to the same item of the same section: a renumbering shows once, where it happened,
// and so does a renamed function. The time of the last save (SET_DATE) is not compared.
std::vector<Change> DiffListings(const ValueListing& a, const ValueListing& b);
// The same changes, read from two snapshots: DiffListings of the two configurations' listings.
std::vector<Change> DiffSnapshots(const ValueSnapshot& a, const ValueSnapshot& b);

// The values a conversion to version loses besides what the version scan (PreDumpScan) names: a
// conversion there and back, made on copies, gives the changes of the sections both versions write
// and of the header, as DiffSnapshots gives them (keys the older version has no line for go back to
// what a load gives them). None when version is the configuration's own or of the other family (a
// file of the newer family, 201 on, does not convert back to the older).
// cfg is put into its written form, as a save does. kRefused, with error, when the copies cannot be
// made.
ReviewStatus ConversionLosses(CHelvoCfg& cfg, int version, std::vector<Change>& lost, std::string& error);

// The version scan as the tool, hosts and the Python binding show it before a save at version:
// PreDumpScan's lines, then those values, one line each ("[LIMITS] REC_ALARM: 2 -> 0") under "The
// following values are not held by Setting Files of the version chosen and will be lost:", and a line
// holding one blank.
StringList VersionScan(CHelvoCfg& cfg, int version);

// Where each section and key stands in a settings file's text; line 1 is the CRC line. It holds views
// into the text, which must outlive it.
class LineIndex {
 public:
  struct Key {
    std::string_view key;
    std::string_view value;
    int line = 0;
  };
  struct Section {
    std::string_view header;
    int line = 0;
    std::span<const Key> keys;  // in file order; a key given twice is listed twice
    // The first line of key.
    const Key* Find(std::string_view key) const;
  };
  explicit LineIndex(std::string_view text);
  LineIndex(const LineIndex&) = delete;  // the sections view the index's own key list
  LineIndex& operator=(const LineIndex&) = delete;
  const std::vector<Section>& Sections() const { return sections_; }
  // The first section with this header; none when the file has none.
  const Section* Find(std::string_view header) const;

 private:
  std::vector<Key> keys_;
  std::vector<Section> sections_;
  std::unordered_map<std::string_view, size_t> byHeader_;
};

struct Finding {
  std::string rule;  // stable id: "dangling-reference", ...
  std::string section;
  std::string key;  // empty when the finding concerns the whole section
  int line = 0;     // of the key (or the section header) in the file; 0 when the file has none
  std::string text;
};

// The ids of the lint rules, in the order their findings are reported.
std::vector<std::string> LintRuleIds();

// What loading cfg from text took silently. cfg must be the configuration just loaded from text (in
// working form); it is left in written form.
std::vector<Finding> Lint(CHelvoCfg& cfg, std::string_view text);

}  // namespace helvo
