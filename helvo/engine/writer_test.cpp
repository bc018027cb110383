#include <sys/stat.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "helvo/engine/crc16.h"
#include "helvo/engine/settings_text.h"
#include "helvo/platform/format.h"
#include "helvo/testing/test_model.h"

namespace helvo::testing {
namespace {

using WriterTest = EngineTest;
using Lines = std::vector<std::string>;

long Count(const Lines& lines, const std::string& line) {
  return std::count(lines.begin(), lines.end(), line);
}
bool Has(const Lines& lines, const std::string& line) {
  return Count(lines, line) > 0;
}
// The lines of the block that starts with header, up to its empty line.
Lines Block(const Lines& lines, const std::string& header) {
  auto it = std::find(lines.begin(), lines.end(), header);
  return it == lines.end() ? Lines() : Lines(it, std::find(it, lines.end(), std::string()));
}

TEST_F(WriterTest, EmptyModelAndExactRecordBlock) {
  TestConfig empty;
  const std::uint16_t crc = Crc16Update(0, "\n\r\n[END]\r\n");
  EXPECT_EQ(WrittenImage(empty, 6), Format("%4.4x\r\n\r\n[END]\r\n", static_cast<unsigned>(crc)));

  TestConfig c;
  auto* id = c.Add(c.m_Ids, new TestId);
  id->m_Conv.m_nSetFreq = 50;  // a converter that changes the frequency changes it for later ones
  auto* r = c.Add(c.m_Records, new TestRecord);
  r->m_nNumber = 3;
  r->m_Conv.m_strText = "c";
  r->m_nInt = -7;
  r->m_fFloat = 0.1f;
  r->m_lLong = -5;
  r->m_uUnsigned = 4294967295u;
  r->m_Ip.m_nAddress = 0xC0A80AFFu;
  r->m_eEnum = kEnumFive;
  EXPECT_EQ(WrittenImage(c, 6, 60),
            SettingsFile(
                "[ID]\nSETTINGS_VERS=6\nNUM_BANKS=2\nSYSTEM_FREQUENCY=60\nCONV=\n\n[REC3]\nCONV=c\nBYTE=1\n"
                "INT=-7\nFLOAT=0.1\nLONG=-5\nTEXT=default\nUNSIGNED=4294967295\nIP=192.168.10.255\nENUM=5\n"
                "DUP=0\nDUP=0\nV4=4\nV5=5\nV6=6\nV46=46\nGATE=\nGATED=1\nGATED2=2\nPLAIN=3\nAFTER_PLAIN=4\n\n"
                "[END]"));
  EXPECT_EQ(id->m_Conv.m_nSeenFreq, 60);
  EXPECT_EQ(r->m_Conv.m_nSeenFreq, 50);
}

TEST_F(WriterTest, FlagsAndVersionsDecideWhatIsWritten) {
  for (int version : {3, 4, 5, 6, 201}) {
    TestConfig c;
    auto* id = c.Add(c.m_Ids, new TestId);
    c.Add(c.m_Records, new TestRecord)->m_Gate.m_bSuppress = true;
    c.Add(c.m_Rec5, new TestRecord(13))->m_Gate.m_bSuppress = true;
    const Lines lines = BodyLines(WrittenImage(c, version));
    SCOPED_TRACE(version);
    // A converter that writes nothing drops the flagged keys after it: GATED and GATED2 follow GATE
    // (NEVER between them is skipped and keeps the mark); PLAIN clears it.
    EXPECT_FALSE(Has(lines, "GATE=") || Has(lines, "GATED=1") || Has(lines, "GATED2=2"));
    EXPECT_TRUE(Has(lines, "PLAIN=3") && Has(lines, "AFTER_PLAIN=4"));
    for (auto [line, from] : {std::pair{"V4=4", 4}, {"V5=5", 5}, {"V6=6", 6}, {"V46=46", 6}, {"[RECV0]", 5}})
      EXPECT_EQ(Has(lines, line), version >= from) << line;
    EXPECT_FALSE(Has(lines, "OLD_INT=0") || Has(lines, "NEVER=0"));
    EXPECT_EQ(Has(lines, "NUM_A_CHANNELS=18") && Has(lines, "SAMPLE_RATE=96") && Has(lines, "NUM_BANKS=1"),
              version >= 201);
    EXPECT_EQ(id->m_nBanks, version >= 201 ? 1 : 2);
  }
}

// Two channel groups: group 1 with two elements, an analog input, 12 phasors and CDR channel 0 in use;
// group 2 with a CH_GRP, an element, analog inputs 3 (clean) and 4 (dirty), frequency 2, a phasor and
// CDR channel 0 in use.
void BuildTwoGroups(TestConfig& c) {
  c.Add(c.m_Ids, new TestId);
  for (TestGroup* g : {&c.m_Group1, &c.m_Group2}) {
    const bool second = g == &c.m_Group2;
    auto add = [g](FilerList& list, CFiler* obj) {
      obj->SetParent(g);
      list.AddTail(obj);
    };
    auto* grp = new TestFunction(14);
    grp->m_nChannel = 1;
    add(g->m_ChGrp, grp);
    for (int i = 1; i <= (second ? 1 : 2); ++i) {
      auto* e = new TestElement;
      e->m_nNumber = i;
      e->m_strName = Format("E%d", i);
      add(g->m_Elements, e);
    }
    for (int ch : {3, 4}) {
      auto* a = new TestFunction(1);
      a->m_nChannel = ch;
      a->m_nValue = second ? 200 + ch : 100 + ch;
      a->m_bDirty = second && ch == 4;
      add(g->m_Analogs, a);
    }
    auto* f = new TestFunction(9);
    f->m_nChannel = 2;
    add(g->m_Freqs, f);
    dynamic_cast<TestSlot*>(g->m_Cdrs.GetHead())->m_nInput = 5;
  }
}

TEST_F(WriterTest, OlderVersionsNumberTheGroupsAnd201FoldsTheSecondIntoTheFirst) {
  TestConfig c(true);
  c.GetSections().Header().m_nAChan = 30;
  BuildTwoGroups(c);
  // Before 201 the groups keep their numbers and the model is left as it was.
  const Lines old = BodyLines(WrittenImage(c, 7));
  EXPECT_EQ(Block(old, "[ANALOG_INPUT2-4]"), (Lines{"[ANALOG_INPUT2-4]", "VALUE=204", "CONV="}));
  EXPECT_TRUE(Has(old, "[CH_GRP2-1]") && Has(old, "[ELEMENT2-1]"));
  EXPECT_EQ(std::pair(Count(old, "[CDR_CHAN1-]"), Count(old, "[CDR_CHAN2-]")),
            std::pair(37l, 3l));  // no instance
  EXPECT_EQ(c.At<TestFunction>(c.m_Group2.m_Analogs, 0)->m_nChannel, 3);

  const std::string image = WrittenImage(c, 201);
  const Lines lines = BodyLines(image);
  EXPECT_EQ(std::pair(Count(lines, "[CH_GRP1-1]"), Count(lines, "[FREQUENCY1-2]")), std::pair(1l, 2l));
  EXPECT_EQ(Block(lines, "[ANALOG_INPUT1-21]"), (Lines{"[ANALOG_INPUT1-21]", "VALUE=203", "CONV="}));
  EXPECT_FALSE(Has(lines, "VALUE=204"));  // dirty
  EXPECT_EQ(Block(lines, "[ELEMENT1-3]"), (Lines{"[ELEMENT1-3]", "NAME=E1:2"}));
  EXPECT_FALSE(Has(lines, "NAME=E2:2"));
  const auto count = [&](const char* prefix) {
    return std::count_if(lines.begin(), lines.end(), [&](auto& l) { return l.rfind(prefix, 0) == 0; });
  };
  EXPECT_TRUE(Has(lines, "[PHASOR1-12]"));
  EXPECT_EQ(std::pair(count("[PHASOR"), count("[CDR_CHAN")), std::pair(12l, 1l));
  EXPECT_EQ(Block(lines, "[CDR_CHAN1-1]"), (Lines{"[CDR_CHAN1-1]", "NAME=", "INP_INDEX=5"}));
  EXPECT_TRUE(Has(lines, "NUM_A_CHANNELS=36"));

  // The model takes the folded numbers and names; the counters keep their final counts.
  auto* g2 = &c.m_Group2;
  auto* a21 = c.At<TestFunction>(g2->m_Analogs, 0);
  EXPECT_EQ(
      std::tuple(a21->m_nChannel, a21->m_nRenumbered, c.At<TestFunction>(g2->m_Freqs, 0)->m_nRenumbered),
      std::tuple(21, 1, 0));
  EXPECT_EQ(c.At<TestElement>(g2->m_Elements, 0)->m_strName, "E1:2");
  EXPECT_EQ(c.At<TestId>(c.m_Ids, 0)->m_nAChan, 36);
  EXPECT_EQ(std::pair(c.GetSections().m_nCurGroup, c.GetSections().m_nNextElement), std::pair(3, 4));

  // Read back, everything lands in group 1.
  TestConfig back(true);
  ASSERT_EQ(ReadBytes(back, image), eFilerNoError);
  EXPECT_EQ(std::pair(back.m_Group1.m_Analogs.GetCount(), back.m_Group2.m_Analogs.GetCount()),
            std::pair(size_t{3}, size_t{0}));

  TestConfig few;
  few.Add(few.m_Ids, new TestId)->m_nAChan = 99;
  EXPECT_TRUE(Has(BodyLines(WrittenImage(few, 201)), "NUM_A_CHANNELS=18"));
}

TEST_F(WriterTest, ImageFormEqualsTheLineListForm) {
  // The file image the save writes and the image of the line list must not differ by a byte, also
  // when folding renames and renumbers the model while it is written.
  for (int version : {5, 7, 201, 203}) {
    TestConfig viaLines(true), viaImage(true);
    viaLines.GetSections().Header().m_nAChan = viaImage.GetSections().Header().m_nAChan = 30;
    BuildTwoGroups(viaLines);
    BuildTwoGroups(viaImage);
    StringList lines;
    viaLines.GetSections().BuildCfgLines(lines, version, 50);
    std::string image = "stale";
    ASSERT_EQ(viaImage.GetSections().BuildCfgImage(image, version, 50), eFilerNoError);
    EXPECT_EQ(image, BuildSettingsImage(lines)) << version;
  }
}

TEST_F(WriterTest, FailedSaveKeepsThePreviousFile) {
  TestConfig c;
  c.Add(c.m_Records, new TestRecord);  // its block is well over 100 bytes
  const std::string previous = "previous contents";
  const std::string path = dir_.Write("old.cfg", previous);

  // A write that fails midway must not touch the old file.
  eFilerError result;
  {
    ScopedFileSizeLimit limit(100);
    result = c.GetSections().WriteCfgFile(path, 6, 60);
  }
  EXPECT_EQ(result, eFilerOpenError);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find("132 (module 3)"), std::string::npos) << ui_.messages[0].text;
  EXPECT_EQ(ui_.messages[0].style & 0xF0u, MB_ICONERROR);

  // Targets that cannot be created at all.
  ASSERT_EQ(mkdir(dir_.File("folder").c_str(), 0755), 0);
  for (const char* target : {"folder", "missing/x.cfg"})
    EXPECT_EQ(c.GetSections().WriteCfgFile(dir_.File(target), 6, 60), eFilerOpenError) << target;

  // Lines the reader would not give back as written are refused: too long, or holding a line break.
  ui_.Clear();
  for (const std::string& text : {std::string(251, 'y'), std::string("a\r\n[ID]")}) {
    c.At<TestRecord>(c.m_Records, 0)->m_strText = text;
    EXPECT_EQ(c.GetSections().WriteCfgFile(path, 6, 60), eFilerWriteError);
  }
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_NE(ui_.messages[1].text.find("\"TEXT\" in [REC0] contains a line break"), std::string::npos)
      << ui_.messages[1].text;
  std::string image = "stale";
  EXPECT_EQ(c.GetSections().BuildCfgImage(image, 6, 60), eFilerWriteError);
  EXPECT_EQ(image, "");
  EXPECT_EQ(dir_.Read("old.cfg"), previous);
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"folder", "old.cfg"}));

  // The longest line the reader accepts is written and reads back.
  c.At<TestRecord>(c.m_Records, 0)->m_strText = std::string(250, 'z');
  ASSERT_EQ(c.GetSections().WriteCfgFile(path, 6, 60), eFilerNoError);
  TestConfig back;
  ASSERT_EQ(back.GetSections().ReadCfgFile(path, 0), eFilerNoError);
  EXPECT_EQ(back.At<TestRecord>(back.m_Records, 0)->m_strText, std::string(250, 'z'));
}

}  // namespace
}  // namespace helvo::testing
