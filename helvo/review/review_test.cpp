#include "helvo/review/review.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "helvo/engine/settings_text.h"
#include "helvo/functions/impedance.h"
#include "helvo/functions/sequence.h"
#include "helvo/functions/summation.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/file_io.h"
#include "helvo/review/listing.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

constexpr const char* kExamples[] = {"recorder.cfg", "recorder-two-board-v6.cfg", "recorder-v7.cfg",
                                     "recorder-v203.cfg"};

std::string Example(const std::string& name) {
  std::string bytes;
  ReadWholeFile(std::string(HELVO_EXAMPLES_DIR) + "/" + name, bytes);
  return bytes;
}

std::vector<std::string> BodyLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t pos = bytes.find("\r\n\r\n") + 4;  // after the CRC line and the blank line
  for (size_t end; (end = bytes.find("\r\n", pos)) != std::string::npos; pos = end + 2)
    lines.push_back(bytes.substr(pos, end - pos));
  return lines;
}

// Replaces the first occurrence of from by to.
std::string Edit(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class ReviewTest : public testing::CfgTest {
 protected:
  // Loads text as a file (the CRC is not checked, so that tests can edit examples freely).
  std::unique_ptr<CHelvoCfg> Load(const std::string& text) {
    auto cfg = std::make_unique<CHelvoCfg>(dir_.Write("in.cfg", text), 1);
    EXPECT_EQ(cfg->m_eReadResult, eFilerNoError);
    return cfg;
  }
  std::vector<Finding> LintText(const std::string& text) { return Lint(*Load(text), text); }
  // The examples' texts, and the two-board example folded into one file (whose walk renames the
  // second board's elements).
  std::vector<std::string> ExamplesAndFolded() {
    std::vector<std::string> examples;
    for (const char* name : kExamples) examples.push_back(Example(name));
    auto two = Load(Example("recorder-two-board-v6.cfg"));
    two->GetIdCfg()->m_nSettingsVers = 203;
    EXPECT_EQ(two->WriteCfgFile(dir_.File("folded.cfg"), nullptr), 1);
    examples.push_back(dir_.Read("folded.cfg"));
    return examples;
  }
};

TEST_F(ReviewTest, ListingIsWhatASaveWritesAndExamplesAreWrittenAsTheyStand) {
  for (const char* name : kExamples) {
    SCOPED_TRACE(name);
    const std::string text = Example(name);
    auto cfg = Load(text);
    const std::vector<std::string> lines = ListValues(*cfg).Lines();
    ASSERT_EQ(cfg->WriteCfgFile(dir_.File("out.cfg"), nullptr), 1);
    EXPECT_EQ(lines, BodyLines(dir_.Read("out.cfg")));
    // Files the library wrote stand as a save writes them; the hand-written one lacks defaults.
    if (std::string(name) != "recorder.cfg") {
      EXPECT_EQ(lines, BodyLines(text));
    }
    EXPECT_TRUE(ui_.messages.empty());
  }
  // Two boards whose own version folds them: the listing numbers the second board as the save does.
  auto two = Load(Example("recorder-two-board-v6.cfg"));
  two->GetIdCfg()->m_nSettingsVers = 203;
  const std::vector<std::string> folded = ListValues(*two).Lines();
  ASSERT_EQ(two->WriteCfgFile(dir_.File("folded.cfg"), nullptr), 1);
  EXPECT_EQ(folded, BodyLines(dir_.Read("folded.cfg")));
}

// Lint reads the keys alone: the same blocks and keys as the full listing, and the same inputs of PMU
// phasors and CDR channels that name nothing.
TEST_F(ReviewTest, KeysWrittenAreWhatTheFullListingLists) {
  for (const char* name : kExamples) {
    SCOPED_TRACE(name);
    const ValueListing full = ListValues(*Load(Example(name)), false);
    const KeysWritten written = ListKeysWritten(*Load(Example(name)));
    ASSERT_EQ(written.blocks.size(), full.sections.size());
    size_t inputs = 0;
    for (size_t i = 0; i < full.sections.size(); ++i) {
      const SectionValues& f = full.sections[i];
      const KeysWritten::Block& b = written.blocks[i];
      EXPECT_EQ(b.header, f.header);
      const auto keys = written.KeysOf(b);
      ASSERT_EQ(keys.size(), f.keys.size()) << f.header;
      for (size_t j = 0; j < f.keys.size(); ++j) {
        EXPECT_EQ(keys[j]->GetKeyName(), f.keys[j].key) << f.header;
        if ((f.cls != ePMU && f.cls != eCDR) || !f.keys[j].reference) continue;
        ++inputs;
        const bool unnamed =
            std::find(b.unnamedInputs.begin(), b.unnamedInputs.end(), keys[j]) != b.unnamedInputs.end();
        EXPECT_EQ(unnamed, f.keys[j].targetId.empty()) << f.header << " " << f.keys[j].key;
      }
    }
    EXPECT_EQ(inputs > 0, std::string(name) == "recorder-v203.cfg");
  }
}

// A snapshot compares as the listings do, whatever changed: values, references (also through
// renumbering, when a section goes), names, and whole configurations of other versions and boards.
TEST_F(ReviewTest, SnapshotsDiffAsListingsDo) {
  auto text = [](const std::vector<Change>& changes) {
    std::string out;
    for (const Change& c : changes)
      out += std::to_string(static_cast<int>(c.kind)) + "|" + c.section + "|" + c.name + "|" + c.key + "|" +
             c.oldValue.value_or("(none)") + "|" + c.newValue.value_or("(none)") + "\n";
    return out;
  };
  int compared = 0, differing = 0;
  auto check = [&](const std::string& a, const std::string& b) {
    std::unique_ptr<CHelvoCfg> cfg[4];
    for (int i = 0; i < 4; ++i) {
      cfg[i] = std::make_unique<CHelvoCfg>(dir_.Write("in.cfg", i % 2 ? b : a), 1);
      if (cfg[i]->m_eReadResult != eFilerNoError) return;
    }
    const std::string listed = text(DiffListings(ListValues(*cfg[0]), ListValues(*cfg[1])));
    const ValueSnapshot first(*cfg[2]);
    const ValueSnapshot second(*cfg[3]);
    ASSERT_EQ(text(DiffSnapshots(first, second)), listed);
    ++compared;
    differing += !listed.empty();
  };
  const std::vector<std::string> examples = ExamplesAndFolded();
  for (const std::string& a : examples)
    for (const std::string& b : examples) check(a, b);
  std::mt19937 random(11);
  for (const std::string& example : examples) {
    std::vector<size_t> values, headers;  // where value digits and section headers stand
    for (size_t at = example.find("\r\n"); at != std::string::npos; at = example.find("\r\n", at + 2)) {
      if (example.compare(at + 2, 1, "[") == 0 && example.compare(at + 2, 4, "[ID]") != 0)
        headers.push_back(at + 2);
      const size_t eq = example.find('=', at + 2), end = example.find("\r\n", at + 2);
      if (eq < end && eq + 1 < end && std::isdigit(static_cast<unsigned char>(example[eq + 1])))
        values.push_back(eq + 1);
    }
    for (int n = 0; n < 40; ++n) {  // one value changed
      std::string changed = example;
      char& digit = changed[values[random() % values.size()]];
      digit = static_cast<char>('0' + (digit - '0' + 1 + random() % 9) % 10);
      check(example, changed);
    }
    for (size_t h = 0; h < headers.size(); h += 3) {  // one section gone: what follows is renumbered
      const size_t end = example.find("\r\n\r\n", headers[h]);
      check(example, example.substr(0, headers[h]) + example.substr(end + 4));
    }
    // Another meter or state of the same function.
    for (const auto& [header, key] : {std::pair{"[METERING_GROUP1]", "INDEX1="}, {"[LOGIC1-1]", "INPUT1="}}) {
      const size_t at = example.find(key, example.find(header));
      if (example.find(header) == std::string::npos || at == std::string::npos) continue;
      std::string changed = example;
      char& digit = changed[at + std::string_view(key).size()];
      if (digit >= '0' && digit < '9') ++digit;
      check(example, changed);
    }
    // An element renamed: every name holding it changes, no value does.
    if (const size_t at = example.find("[ELEMENT1-1]\r\nNAME="); at != std::string::npos)
      check(example, example.substr(0, at + 19) + "Renamed " + example.substr(at + 19));
  }
  EXPECT_GT(compared, 150);
  EXPECT_GT(differing, 130);
}

// get reads every value from a snapshot as from the listing, and refuses what the listing lacks.
TEST_F(ReviewTest, SnapshotsGetWhatListingsHold) {
  for (const char* name : kExamples) {
    SCOPED_TRACE(name);
    const ValueListing listing = ListValues(*Load(Example(name)));
    auto cfg = Load(Example(name));
    const ValueSnapshot snapshot(*cfg);
    size_t read = 0;
    for (const SectionValues& section : listing.sections)
      for (const KeyValue& expected : section.keys) {
        const Selector selector{section.header, expected.key};
        KeyValue got;
        std::string error;
        const KeyValue* first = nullptr;
        ASSERT_EQ(GetValue(listing, selector, first, error), ReviewStatus::kOk);
        ASSERT_EQ(GetValue(snapshot, selector, got, error), ReviewStatus::kOk) << error;
        EXPECT_EQ(got.value, first->value) << section.header << "/" << expected.key;
        EXPECT_EQ(got.Shown(), first->Shown()) << section.header << "/" << expected.key;
        EXPECT_EQ(got.targetId, first->targetId) << section.header << "/" << expected.key;
        ++read;
      }
    EXPECT_GT(read, 50u);
    KeyValue none;
    std::string error;
    EXPECT_EQ(GetValue(snapshot, {"NOSUCH1-1", "NAME"}, none, error), ReviewStatus::kUnknownSection);
    EXPECT_EQ(error, "no section [NOSUCH1-1]");
    EXPECT_EQ(GetValue(snapshot, {"ID", "NOSUCH"}, none, error), ReviewStatus::kUnknownKey);
    EXPECT_EQ(error, "no key NOSUCH in [ID]");
  }
}

// GetValues walks only the sections asked for, and reads what the whole listing holds: every key of
// each section, with a key of a section far off asked first.
TEST_F(ReviewTest, GetValuesReadsWhatTheListingHolds) {
  for (const std::string& text : ExamplesAndFolded()) {
    const ValueListing listing = ListValues(*Load(text));
    const size_t count = listing.sections.size();
    for (size_t i = 0; i < count; ++i) {
      const SectionValues& far = listing.sections[(i * 7 + count / 2) % count];
      std::vector<Selector> selectors;
      std::vector<const KeyValue*> expected;
      for (const SectionValues* section : {&far, &listing.sections[i]})
        for (const KeyValue& value : section->keys) {
          selectors.push_back({section->header, value.key});
          expected.push_back(&value);
          if (section == &far) break;
        }
      std::vector<KeyValue> got;
      std::string error;
      ASSERT_EQ(GetValues(*Load(text), selectors, got, error), ReviewStatus::kOk) << error;
      ASSERT_EQ(got.size(), expected.size());
      for (size_t k = 0; k < got.size(); ++k) {
        SCOPED_TRACE(selectors[k].section + "/" + selectors[k].key);
        EXPECT_EQ(got[k].value, expected[k]->value);
        EXPECT_EQ(got[k].Shown(), expected[k]->Shown());
        EXPECT_EQ(got[k].targetId, expected[k]->targetId);
      }
    }
    std::vector<KeyValue> got;
    std::string error;
    EXPECT_EQ(GetValues(*Load(text), {{"ID", "SETTINGS_VERS"}, {"ID", "NOSUCH"}}, got, error),
              ReviewStatus::kUnknownKey);
    EXPECT_EQ(error, "no key NOSUCH in [ID]");
    EXPECT_EQ(got.size(), 1u);
    EXPECT_EQ(GetValues(*Load(text), {{"NOSUCH1-1", "NAME"}}, got, error), ReviewStatus::kUnknownSection);
    EXPECT_EQ(error, "no section [NOSUCH1-1]");
  }
}

TEST_F(ReviewTest, SelectorsAndGet) {
  const struct {
    const char* text;
    bool ok;
    const char* section;
    const char* key;
  } selectors[] = {{"WATTS/VARS1-2/TYPE", true, "WATTS/VARS1-2", "TYPE"},
                   {"ID/SERIAL_NUM", true, "ID", "SERIAL_NUM"},
                   {"ID", false, "", ""},
                   {"/KEY", false, "", ""},
                   {"ID/", false, "", ""}};
  for (const auto& s : selectors) {
    Selector selector;
    ASSERT_EQ(ParseSelector(s.text, selector), s.ok) << s.text;
    if (s.ok) {
      EXPECT_EQ(selector.section + "|" + selector.key, std::string(s.section) + "|" + s.key);
    }
  }

  auto cfg = Load(Example("recorder-v7.cfg"));
  const ValueListing listing = ListValues(*cfg);
  const KeyValue* value = nullptr;
  std::string error;
  EXPECT_EQ(GetValue(listing, {"METERING_GROUP1", "INDEX2"}, value, error), ReviewStatus::kOk);
  EXPECT_EQ(value->value, "5");
  EXPECT_TRUE(value->reference);
  EXPECT_FALSE(value->target.empty());
  EXPECT_EQ(listing.Find("METERING_GROUP1")->name, "Line 1 voltages");
  EXPECT_EQ(GetValue(listing, {"METERING_GROUP9", "INDEX2"}, value, error), ReviewStatus::kUnknownSection);
  EXPECT_NE(error.find("METERING_GROUP9"), std::string::npos);
  EXPECT_EQ(GetValue(listing, {"ID", "NOPE"}, value, error), ReviewStatus::kUnknownKey);
  EXPECT_NE(error.find("NOPE"), std::string::npos);
}

TEST_F(ReviewTest, SetChangesOnlyTheSetLinesAndDiffListsExactlyThem) {
  const std::string text = Example("recorder-v7.cfg");
  auto cfg = Load(text);
  std::unique_ptr<CHelvoCfg> changed;
  ValueListing listed;
  std::string error;
  ASSERT_EQ(SetValues(ListValues(*cfg),
                      {{{"ANALOG_INPUT1-1", "H_MAG_T"}, "85"}, {{"METERING_GROUP1", "INDEX2"}, "10"}},
                      changed, listed, error),
            ReviewStatus::kOk)
      << error;
  ASSERT_EQ(changed->WriteCfgFile(dir_.File("set.cfg"), nullptr), 1);
  const std::vector<std::string> before = BodyLines(text), after = BodyLines(dir_.Read("set.cfg"));
  ASSERT_EQ(before.size(), after.size());
  std::vector<std::string> differing;
  for (size_t i = 0; i < before.size(); ++i)
    if (before[i] != after[i]) differing.push_back(after[i]);
  EXPECT_EQ(differing, (std::vector<std::string>{"H_MAG_T=85", "INDEX2=10"}));
  // Set on the configuration itself gives the very file.
  std::unique_ptr<CHelvoCfg> direct;
  std::string image;
  ASSERT_EQ(
      SetValues(*Load(text), {{{"ANALOG_INPUT1-1", "H_MAG_T"}, "85"}, {{"METERING_GROUP1", "INDEX2"}, "10"}},
                direct, image, error),
      ReviewStatus::kOk)
      << error;
  EXPECT_EQ(image, dir_.Read("set.cfg"));
  ASSERT_EQ(direct->WriteCfgFile(dir_.File("direct.cfg"), nullptr), 1);
  EXPECT_EQ(dir_.Read("direct.cfg"), image);
  // So does set on the file's own lines, for a file a save wrote and for one it would rewrite: there
  // the file's lines are not taken, since the configuration read from them writes other lines.
  const std::vector<Assignment> both = {{{"ANALOG_INPUT1-1", "H_MAG_T"}, "85"},
                                        {{"METERING_GROUP1", "INDEX2"}, "10"}};
  std::string rewritten = text;
  const size_t scale = rewritten.find("H_MAG_D=");
  ASSERT_NE(scale, std::string::npos);
  rewritten.insert(scale + 8, "0");  // a leading zero the save leaves out
  StampCrc(rewritten);
  for (const std::string& file : {text, rewritten}) {
    image.clear();
    ASSERT_EQ(SetValues(*Load(file), file, both, direct, image, error), ReviewStatus::kOk) << error;
    EXPECT_EQ(image, dir_.Read("set.cfg"));
  }

  const ValueListing a = ListValues(*Load(text));
  const ValueListing b = ListValues(*Load(dir_.Read("set.cfg")));
  EXPECT_EQ(b.Lines(), listed.Lines());
  const std::vector<Change> changes = DiffListings(a, b);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(
      changes[0].section + " " + changes[0].key + " " + *changes[0].oldValue + " " + *changes[0].newValue,
      "ANALOG_INPUT1-1 H_MAG_T 90 85");
  // A reference shows by the name of what it refers to.
  EXPECT_EQ(*changes[1].oldValue, a.Find("METERING_GROUP1")->Find("INDEX2")->target);
  EXPECT_EQ(*changes[1].newValue, a.Find("METERING_GROUP1")->Find("INDEX3")->target);
  EXPECT_TRUE(DiffListings(a, a).empty());
}

// A file folded from two channel groups lists the second group's sections after the first's, and the
// save of that file read back lists them by kind: set on the file's own lines keeps the file's order.
TEST_F(ReviewTest, SetKeepsTheOrderOfAFoldedFile) {
  ASSERT_EQ(Load(Example("recorder-two-board-v6.cfg"))->WriteCfgFile(dir_.File("folded.cfg"), 203, nullptr),
            1);
  const std::string folded = dir_.Read("folded.cfg");
  const std::vector<Assignment> serial = {{{"ID", "SERIAL_NUM"}, "MV-7"}};
  std::unique_ptr<CHelvoCfg> changed, resaved;
  std::string image, other, error;
  ASSERT_EQ(SetValues(*Load(folded), folded, serial, changed, image, error), ReviewStatus::kOk) << error;
  std::vector<std::string> before = BodyLines(folded), after = BodyLines(image);
  ASSERT_EQ(before.size(), after.size());
  std::vector<std::string> differing;
  for (size_t i = 0; i < before.size(); ++i)
    if (before[i] != after[i]) differing.push_back(after[i]);
  EXPECT_EQ(differing, std::vector<std::string>{"SERIAL_NUM=MV-7"});
  EXPECT_TRUE(DiffSnapshots(ValueSnapshot(*changed), ValueSnapshot(*Load(image))).empty());

  // Without the file, set writes what a save of the configuration writes: the same lines, by kind.
  ASSERT_EQ(SetValues(*Load(folded), serial, resaved, other, error), ReviewStatus::kOk) << error;
  EXPECT_TRUE(other != image);  // (not printed: both are whole files)
  std::vector<std::string> byKind = BodyLines(other);
  std::sort(after.begin(), after.end());
  std::sort(byKind.begin(), byKind.end());
  EXPECT_EQ(after, byKind);
}

// A listing of sections holding one key each: {header, key, value, target name, target section}.
ValueListing MakeListing(const std::vector<std::vector<std::string>>& rows) {
  ValueListing listing;
  for (const auto& row : rows) {
    SectionValues s;
    s.header = row[0];
    KeyValue v;
    v.key = row[1];
    v.value = row[2];
    v.reference = !row[3].empty();
    v.target = row[3];
    v.targetId = row[4];
    s.keys.push_back(v);
    listing.sections.push_back(s);
  }
  listing.Index();
  return listing;
}

TEST(DiffListingsTest, ReferencesChangeOnlyWhenTheyReferToSomethingElse) {
  const struct {
    const char* what;
    std::vector<std::string> a, b;
    bool changed;
  } cases[] = {
      {"renumbered target",
       {"MG1", "INDEX1", "8", "T1:IcMag", "AI1-9 meter 0"},
       {"MG1", "INDEX1", "10", "T1:IcMag", "AI1-11 meter 0"},
       false},
      {"renamed target",
       {"MG1", "INDEX1", "8", "T1:IcMag", "AI1-9 meter 0"},
       {"MG1", "INDEX1", "8", "T2:IcMag", "AI1-9 meter 0"},
       false},
      {"other target",
       {"MG1", "INDEX1", "8", "T1:IcMag", "AI1-9 meter 0"},
       {"MG1", "INDEX1", "9", "T1:IaMag", "AI1-10 meter 0"},
       true},
      {"other meter",
       {"MG1", "INDEX1", "8", "T1:IcMag", "AI1-9 meter 0"},
       {"MG1", "INDEX1", "9", "T1:IcAng", "AI1-9 meter 1"},
       true},
      {"now names nothing",
       {"MG1", "IX1", "8", "T1:IcMag", "AI1-9 meter 0"},
       {"MG1", "IX1", "-1", "", ""},
       true},
      {"plain value", {"AI1-1", "H_MAG_T", "90", "", ""}, {"AI1-1", "H_MAG_T", "85", "", ""}, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DiffListings(MakeListing({c.a}), MakeListing({c.b})).size(), c.changed ? 1u : 0u) << c.what;

  // Sections only on one side are reported where they stand in file order.
  const ValueListing a = MakeListing({{"A", "K", "1", "", ""}, {"C", "K", "1", "", ""}});
  const ValueListing b =
      MakeListing({{"B", "K", "1", "", ""}, {"C", "K", "2", "", ""}, {"D", "K", "1", "", ""}});
  std::string order;
  for (const Change& c : DiffListings(a, b))
    order += (c.kind == Change::Kind::kOnlyInA   ? "-"
              : c.kind == Change::Kind::kOnlyInB ? "+"
                                                 : "~") +
             c.section + " ";
  EXPECT_EQ(order, "-A +B ~C +D ");
}

TEST(LineIndexTest, CountsLinesAsAnEditorDoes) {
  const LineIndex index("a00f\r\n\r\nORPHAN=1\r\n[ID]\r\nSETTINGS_VERS=7\r\nX=1\r\nX=2\n[END]");
  ASSERT_EQ(index.Sections().size(), 2u);
  EXPECT_EQ(index.Find("ID")->line, 4);
  EXPECT_EQ(index.Find("ID")->Find("SETTINGS_VERS")->value, "7");
  EXPECT_EQ(index.Find("ID")->Find("X")->line, 6);  // the first of a key given twice
  EXPECT_EQ(index.Find("END")->line, 8);
  EXPECT_EQ(index.Find("LIMITS"), nullptr);
}

// Both ways of setting (from the listing, from the configuration itself) take and refuse alike, with
// the same errors.
TEST_F(ReviewTest, SetRefusesWhatDoesNotReadBackAsGiven) {
  const std::string text = Example("recorder-v7.cfg");
  const Selector desc{"ANALOG_INPUT1-1", "DESC"};
  const struct {
    std::vector<Assignment> assignments;
    ReviewStatus status;
    std::string named;  // what the error names
  } cases[] = {
      {{{{"ANALOG_INPUT1-1", "H_MAG_T"}, "abc"}}, ReviewStatus::kRefused, "H_MAG_T"},
      {{{{"LOGIC1-1", "NOTINP1"}, "300"}}, ReviewStatus::kRefused, "NOTINP1"},
      {{{{"METERING_GROUP1", "INDEX1"}, "99999"}}, ReviewStatus::kRefused, "INDEX1"},  // names nothing
      {{{desc, "two\nlines"}}, ReviewStatus::kRefused, "DESC"},
      {{{desc, "two\r\n[END]"}}, ReviewStatus::kRefused, "DESC"},
      {{{desc, std::string(300, 'x')}}, ReviewStatus::kRefused, "DESC"},
      {{{{"ELEMENT1-3", "NAME"}, "Station dc"}},
       ReviewStatus::kRefused,
       "NAME"},  // its function's ELEMENT line changes
      {{{{"ANALOG_INPUT1-1", "NOPE"}, "1"}}, ReviewStatus::kUnknownKey, "NOPE"},
      {{{{"ANALOG_INPUT1-99", "DESC"}, "1"}}, ReviewStatus::kUnknownSection, "ANALOG_INPUT1-99"},
      {{{{"END", "X"}, "1"}}, ReviewStatus::kUnknownSection, "END"},
      {{{desc, "first"}, {desc, "second"}}, ReviewStatus::kRefused, "first"},  // the later value wins
      {{{desc, "same"}, {desc, "same"}}, ReviewStatus::kOk, ""},
      {{{desc, "Phase A, renamed"}}, ReviewStatus::kOk, ""},
      {{{desc, ""}, {{"ID", "SERIAL_NUM"}, "RS-9"}}, ReviewStatus::kOk, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.assignments[0].selector.section + "/" + c.assignments[0].selector.key + "=" +
                 c.assignments[0].value.substr(0, 20));
    std::unique_ptr<CHelvoCfg> changed;
    ValueListing listed;
    std::string error;
    EXPECT_EQ(SetValues(ListValues(*Load(text)), c.assignments, changed, listed, error), c.status) << error;
    EXPECT_EQ(changed != nullptr, c.status == ReviewStatus::kOk);
    EXPECT_NE(error.find(c.named), std::string::npos) << error;

    // On the configuration, and on the file's own lines.
    for (const bool withFile : {false, true}) {
      std::unique_ptr<CHelvoCfg> direct;
      std::string image, directError;
      EXPECT_EQ(withFile ? SetValues(*Load(text), text, c.assignments, direct, image, directError)
                         : SetValues(*Load(text), c.assignments, direct, image, directError),
                c.status);
      EXPECT_EQ(directError, error);
      EXPECT_EQ(direct != nullptr, c.status == ReviewStatus::kOk);
      EXPECT_EQ(image.empty(), c.status != ReviewStatus::kOk);
      if (changed && direct) {
        ASSERT_EQ(changed->WriteCfgFile(dir_.File("listed.cfg"), nullptr), 1);
        EXPECT_EQ(image, dir_.Read("listed.cfg"));
      }
    }
  }
}

// A copy converted to another version of its family and back differs from the file by what the scan
// names, and nothing else: each changed value has its line, each section lost is named.
TEST_F(ReviewTest, AConversionThereAndBackChangesOnlyWhatTheScanNames) {
  int compared = 0, valuesNamed = 0;
  for (const char* name : kExamples) {
    const std::string text = Example(name);
    const int own = Load(text)->GetIdCfg()->m_nSettingsVers;
    for (const int version :
         own >= 201 ? std::vector<int>{201, 202, 203} : std::vector<int>{1, 2, 3, 4, 5, 6, 7}) {
      if (version == own) continue;
      SCOPED_TRACE(std::string(name) + " at " + std::to_string(version));
      StringList scan = VersionScan(*Load(text), version);
      const std::vector<std::string> lines(scan.begin(), scan.end());
      ASSERT_EQ(Load(text)->WriteCfgFile(dir_.File("there.cfg"), version, nullptr), 1);
      CHelvoCfg there(dir_.File("there.cfg"), 0);
      ASSERT_EQ(there.WriteCfgFile(dir_.File("back.cfg"), own, nullptr), 1);
      auto original = Load(text);
      CHelvoCfg back(dir_.File("back.cfg"), 0);
      for (const Change& c : DiffSnapshots(ValueSnapshot(*original), ValueSnapshot(back))) {
        if (c.kind == Change::Kind::kOnlyInA) {
          // By its name, or as one of all the PMU's or CDR's sections.
          const bool pmu = c.section.rfind("PHASOR", 0) == 0 || c.section.rfind("PMU", 0) == 0;
          const std::string named = pmu ? "(PMU)" : c.section.rfind("CDR", 0) == 0 ? "(CDR)" : c.name;
          EXPECT_TRUE(
              std::any_of(lines.begin(), lines.end(),
                          [&](const std::string& line) { return line.find(named) != std::string::npos; }))
              << "the scan does not name [" << c.section << "] " << c.name;
          continue;
        }
        ASSERT_EQ(c.kind, Change::Kind::kKey) << c.section << " " << c.key;
        const std::string line = "[" + c.section + "] " + c.key + ": " + c.oldValue.value_or("(no line)") +
                                 " -> " + c.newValue.value_or("(no line)");
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << "the scan lacks " << line;
        ++valuesNamed;
      }
      ++compared;
    }
  }
  EXPECT_EQ(compared, 2 + 6 + 6 + 6);
  EXPECT_GT(valuesNamed, 20);  // NOM_VALUE below 4, REC_ALARM below 6, ...
  // Within one version, or across the families, there is no way back to compare with: nothing is added.
  auto cfg = Load(Example("recorder-v7.cfg"));
  std::vector<Change> lost;
  std::string error;
  for (const int version : {7, 203}) {
    EXPECT_EQ(ConversionLosses(*cfg, version, lost, error), ReviewStatus::kOk);
    EXPECT_TRUE(lost.empty());
  }
}

TEST_F(ReviewTest, LintFindsWhatLoadingTakesSilently) {
  for (const char* name : kExamples) EXPECT_TRUE(LintText(Example(name)).empty()) << name;

  const std::string v7 = Example("recorder-v7.cfg");
  const struct {
    std::string text;
    const char* rule;
    const char* section;
    const char* key;
  } cases[] = {
      {Edit(v7, "INDEX2=5", "INDEX2=9999"), "dangling-reference", "METERING_GROUP1", "INDEX2"},
      {Edit(v7, "IX2=15", "IX2=9999"), "dangling-reference", "EXTENDED_TREND", "IX2"},
      {Edit(v7, "INPUT2=1\r\nOPER2", "INPUT2=9999\r\nOPER2"), "dangling-reference", "LOGIC1-1", "INPUT2"},
      {Edit(v7, "OPER1=2", "OPER1=12"), "invalid-logic", "LOGIC1-1", "OPER1"},
      {Edit(v7, "COUNT=3", "COUNT=2"), "count-mismatch", "METERING_GROUP1", "COUNT"},
      {Edit(v7, "[LOGIC1-1]\r\nELEMENT=Line 1", "[LOGIC1-1]\r\nELEMENT=Lien 1"), "implicit-element",
       "LOGIC1-1", "ELEMENT"},
      {Edit(v7, "[LIMITS]\r\n", "[LIMITS]\r\nSTALE=1\r\n"), "dropped-on-save", "LIMITS", "STALE"},
      {Edit(v7, "PH_A_INDEX=0", "PH_A_INDEX=-1"), "undefined-inputs", "SEQUENCE1-1", ""},
      {Edit(v7, "NAME=Station DC\r\n", "NAME=Station DC\r\n\r\n[ELEMENT1-4]\r\nNAME= line 1\r\n"),
       "duplicate-name", "ELEMENT1-4", "NAME"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.rule) + " " + c.section + " " + c.key);
    const std::vector<Finding> findings = LintText(c.text);
    auto it = std::find_if(findings.begin(), findings.end(), [&](const Finding& f) {
      return f.rule == c.rule && f.section == c.section && f.key == c.key;
    });
    ASSERT_NE(it, findings.end()) << (findings.empty() ? "no finding"
                                                       : findings[0].rule + " " + findings[0].text);
    // The line is the key's own line in the file.
    const LineIndex index(c.text);
    const LineIndex::Section* section = index.Find(c.section);
    EXPECT_EQ(it->line, *c.key ? section->Find(c.key)->line : section->line);
  }
}

TEST_F(ReviewTest, LintFindsFunctionsThatAreTheirOwnInput) {
  const std::string v7 = Example("recorder-v7.cfg");
  auto cfg = Load(v7);
  auto* sum = dynamic_cast<CSummationCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eSummationCfg, 0));
  auto* seq = dynamic_cast<CSequenceCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eSequenceCfg, 0));
  auto* self = dynamic_cast<CSequenceCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eSequenceCfg, 1));
  auto* feeds = dynamic_cast<CImpedanceCfg*>(cfg->m_pDspCfg[0]->GetIndexedPhasorAddress(eImpedanceCfg, 0));
  ASSERT_TRUE(sum && seq && self && feeds);
  sum->m_orefInput[0].m_pPhasor = seq;
  seq->m_orefInput[0].m_pPhasor = sum;
  self->m_orefInput[1].m_pPhasor = self;
  feeds->m_orefVolts.m_pPhasor = sum;  // reads the loop without being part of it
  std::vector<std::string> loops;
  for (const Finding& f : Lint(*cfg, v7))
    if (f.rule == "input-loop") loops.push_back(f.section);
  EXPECT_EQ(loops, (std::vector<std::string>{"SUMMATION1-1", "SEQUENCE1-1", "SEQUENCE1-2"}));
}

}  // namespace
}  // namespace helvo
