#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <tuple>

#include "helvo/engine/settings_text.h"
#include "helvo/testing/test_model.h"

namespace helvo::testing {
namespace {

using ReaderTest = EngineTest;

std::string Unrecognized(const std::string& name) {
  return "The section [" + name + "] is unrecognized.\r\nThe load process is terminating.";
}
std::string UnknownKey(const std::string& key) {
  return "The parameter \"" + key + "\" is unrecognized and will be ignored.";
}

TEST_F(ReaderTest, WrittenModelReadsBackWithEveryValue) {
  for (int version : {6, 201}) {
    TestConfig out;
    out.Add(out.m_Ids, new TestId)->m_nFrequency = 50;
    auto* r = out.Add(out.m_Records, new TestRecord);
    r->m_Conv.m_strText = " conv = text ";
    r->m_nInt = INT32_MIN;
    r->m_fFloat = -1.234567e-12f;
    r->m_lLong = INT32_MAX;
    r->m_strText = " x = y \xE9\xFF";
    r->m_uUnsigned = 4294967295u;
    out.Add(out.m_Group1.m_Analogs, new TestFunction(1))->m_nChannel = 12;
    const std::string path = dir_.File("rt.cfg");
    ASSERT_EQ(out.GetSections().WriteCfgFile(path, version, 50), eFilerNoError);

    TestConfig in;
    ASSERT_EQ(in.GetSections().ReadCfgFile(path, 0), eFilerNoError) << version;
    auto* back = in.At<TestRecord>(in.m_Records, 0);
    ASSERT_NE(back, nullptr);
    // Values the text form could mangle: spaces and "=", high bytes, the extremes of each width.
    EXPECT_EQ(back->m_Conv.m_strText, " conv = text ");
    EXPECT_EQ(back->m_Conv.m_nSeenFreq, 50);  // the ID came first
    EXPECT_EQ(back->m_strText, " x = y \xE9\xFF");
    EXPECT_EQ(std::tuple(back->m_nInt, back->m_lLong, back->m_uUnsigned, back->m_fFloat),
              std::tuple(INT32_MIN, INT32_MAX, 4294967295u, -1.234567e-12f));
    EXPECT_EQ(in.At(in.m_Group1.m_Analogs, 0)->GetParent(), &in.m_Group1);
    // Re-encoding what was read gives the same bytes.
    EXPECT_EQ(WrittenImage(in, version, 50), dir_.Read("rt.cfg"));
    EXPECT_TRUE(ui_.messages.empty());
  }
}

TEST_F(ReaderTest, CrcCoversEveryByteFromTheSixth) {
  const std::string good = SettingsFile("[REC1]\nINT=5\nTEXT=abc\n\n[END]");
  const std::string lower = good.substr(0, 4);
  std::string upper = good;
  for (int i = 0; i < 4; ++i) upper[i] = static_cast<char>(std::toupper(upper[i]));
  ASSERT_NE(upper, good) << "pick content whose CRC has a hex letter";
  for (const std::string& bytes : {good, upper, std::string(good).replace(4, 1, "x")}) {
    TestConfig c;
    EXPECT_EQ(ReadBytes(c, bytes), eFilerNoError);
    EXPECT_EQ(c.m_Records.GetCount(), 1u);
  }
  for (size_t i = 5; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] ^= 0x01;
    TestConfig c;
    EXPECT_EQ(ReadBytes(c, bad), eFilerCRCError) << "byte " << i;
    EXPECT_EQ(c.GetSections().ReadCfgFile(bad.data(), bad.size(), 0), eFilerCRCError) << "byte " << i;
    EXPECT_TRUE(c.m_Records.IsEmpty());
  }
  // The mark "noch" in any case, or the no-check flag, skips the comparison.
  const std::string body = SettingsFile("[REC1]\nINT=5\n\n[END]", "dead");
  for (const char* mark : {"noch", "nOcH"}) {
    TestConfig c;
    EXPECT_EQ(ReadBytes(c, std::string(body).replace(0, 4, mark)), eFilerNoError) << mark;
    EXPECT_EQ(c.m_Records.GetCount(), 1u);
  }
  TestConfig c;
  EXPECT_EQ(ReadBytes(c, body, 1), eFilerNoError);
  EXPECT_EQ(c.m_Records.GetCount(), 1u);
}

TEST_F(ReaderTest, FileLevelFailures) {
  TestConfig c;
  cFilerSections& r = c.GetSections();
  EXPECT_EQ(r.ReadCfgFile(dir_.File("missing.cfg"), 0), eFilerOpenError);
  EXPECT_EQ(r.ReadCfgFile(dir_.File("nofolder/x.cfg"), 0), eFilerReadError);
  EXPECT_EQ(r.ReadCfgFile(dir_.path(), 0), eFilerReadError);
  EXPECT_EQ(ReadBytes(c, "noch"), eFilerReadError);
  EXPECT_EQ(ReadBytes(c, "noch\r"), eFilerNoError);
  // Files no recorder could have written fail, and in bounded memory: a 64 GiB sparse file and a
  // stream without end.
  const std::string huge = dir_.File("huge.cfg");
  ASSERT_EQ(truncate(dir_.Write("huge.cfg", "noch\r\n").c_str(), off_t{64} << 30), 0);
  EXPECT_EQ(r.ReadCfgFile(huge, 0), eFilerReadError);
  EXPECT_EQ(r.ReadCfgFile(std::string("/dev/zero"), 1), eFilerReadError);

  // By name a line may hold 255 bytes (CR not counted); 256 fail the whole read.
  const std::string text(250, 't');
  EXPECT_EQ(ReadBytes(c, SettingsFile("[REC1]\nTEXT=" + text + "\r\n\n[END]")), eFilerNoError);
  EXPECT_EQ(ReadBytes(c, SettingsFile("[REC2]\nTEXT=" + text + "u\n\n[END]")), eFilerReadError);
  ASSERT_EQ(c.m_Records.GetCount(), 1u);
  EXPECT_EQ(c.At<TestRecord>(c.m_Records, 0)->m_strText, text);

  // SETTINGS_VERS below 1 or from 8 to 200 is refused while reading by name; nothing is parsed.
  for (int v : {0, 8, 200, 7, 201, 1}) {
    TestConfig d;
    const bool valid = v == 1 || v == 7 || v == 201;
    EXPECT_EQ(ReadBytes(d, SettingsFile("SETTINGS_VERS=" + std::to_string(v) + "\n[REC1]\n\n[END]")),
              valid ? eFilerNoError : eFilerReadError)
        << v;
    // A refused file leaves the header as it was.
    EXPECT_EQ(d.GetSections().Header().m_nSettingVersion, valid ? v : -1);
    EXPECT_EQ(d.m_Records.GetCount(), valid ? 1u : 0u);
  }
}

TEST_F(ReaderTest, ByNameSqueezesCarriageReturnsOutOfEachLine) {
  // The by-name form reads views into the file it has read; every carriage return, wherever it
  // stands in a line, is dropped without cutting the line, and the model equals the one read from
  // the line list the same file gives.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[REC1]\r\nTEXT=ab\rc\r\r\n\r\n[END]\r\n", "abc"},
      {"\r[RE\rC1]\nTE\rXT=\r\n\n[END]", ""},
      {"[REC1]\nTEXT=" + std::string(255 - 5, 'x') + "\r\r\r\n\n[END]", std::string(250, 'x')},
      {"[REC1]\nTEXT=tail\r", "tail"},  // no line feed at the end
  };
  for (const auto& [body, text] : cases) {
    const std::string path = dir_.Write("cr.cfg", SettingsFile(body));
    TestConfig byName, byList;
    ASSERT_EQ(byName.GetSections().ReadCfgFile(path, 0), eFilerNoError) << body;
    StringList lines;
    ASSERT_EQ(ReadSettingsLines(path, lines, false, true), eFilerNoError);
    StringList::Position pos;
    byList.GetSections().ReadCfgFile(lines, pos);
    ASSERT_EQ(byName.m_Records.GetCount(), 1u) << body;
    EXPECT_EQ(byName.At<TestRecord>(byName.m_Records, 0)->m_strText, text);
    EXPECT_EQ(WrittenImage(byName, 6), WrittenImage(byList, 6)) << body;
  }
}

TEST_F(ReaderTest, HeaderValuesAreScannedFromAnyLineByName) {
  TestConfig c;
  c.GetSections().Header().m_nSampleRate = 1;
  ASSERT_EQ(
      ReadBytes(
          c, SettingsFile("a NUM_BANKS b=3x\nSAMPLE_RATE and NUM_A_CHANNELS=36\nNUM_BANKS\nX_SAMPLE\r_RATE=48"
                          "\n[END]")),
      eFilerNoError);
  const sHeaderValues& read = c.GetSections().Header();
  EXPECT_EQ(read.m_nDSPBanks, 3);
  EXPECT_EQ(read.m_nAChan, 36);       // the first key in scan order wins, not the first in the line
  EXPECT_EQ(read.m_nSampleRate, 48);  // found in the line as read, its carriage return dropped

  // The memory image is not scanned; the header comes from the ID record only, and its system
  // frequency reaches the converters of later sections.
  std::string image = SettingsFile(
      "SETTINGS_VERS=0\n[ANALOG_INPUT1-1]\nCONV=a\n\n[ID]\nSETTINGS_VERS=202\nNUM_BANKS=2\nNUM_A_CHANNELS="
      "40\n"
      "SAMPLE_RATE=48\nSYSTEM_FREQUENCY=50\nCONV=i\n\n[ANALOG_INPUT1-2]\nCONV=b\n\n[END]");
  TestConfig m;
  m.GetSections().Header().m_nSettingVersion = 99;
  ASSERT_EQ(m.GetSections().ReadCfgFile(image.data(), image.size(), 0), eFilerNoError);
  const sHeaderValues& h = m.GetSections().Header();
  EXPECT_EQ(std::tuple(h.m_nSettingVersion, h.m_nDSPBanks, h.m_nAChan, h.m_nSampleRate),
            std::tuple(202, 2, 40, 48));
  EXPECT_EQ(std::tuple(m.At<TestFunction>(m.m_Group1.m_Analogs, 0)->m_Conv.m_nSeenFreq,
                       m.At<TestFunction>(m.m_Group1.m_Analogs, 1)->m_Conv.m_nSeenFreq),
            std::tuple(0, 50));
}

TEST_F(ReaderTest, MemoryImageCutsAtCarriageReturnAndZeroesLineEnds) {
  const std::string longText(1000, 'L');
  std::string image = SettingsFile("[REC1]\nTEXT=abc\rjunk\nCONV=" + longText + "\n\n[AFTER]");
  image += "NAME=tail";  // no line end after the last line
  FixCrc(image);
  std::string buffer = image;
  TestConfig c;
  ASSERT_EQ(c.GetSections().ReadCfgFile(buffer.data(), buffer.size(), 0), eFilerNoError);
  auto* r = c.At<TestRecord>(c.m_Records, 0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->m_strText, "abc");
  EXPECT_EQ(r->m_Conv.m_strText, longText);
  ASSERT_EQ(c.m_After.GetCount(), 1u);
  EXPECT_EQ(c.At<TestElement>(c.m_After, 0)->m_strName, "tail");
  for (size_t i = 0; i < image.size(); ++i) {
    const bool lineEnd = i >= 5 && (image[i] == '\r' || image[i] == '\n');
    EXPECT_EQ(buffer[i], lineEnd ? '\0' : image[i]) << i;
  }
  EXPECT_EQ(c.GetSections().ReadCfgFile(buffer.data(), 4, 1), eFilerReadError);
}

TEST_F(ReaderTest, UnrecognizedSectionStopsTheLoadButKeepsWhatWasRead) {
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[%s%d%n]", "%s%d%n"}, {"[]]", ""}, {"[12-34]", ""}, {"[Rec3]", "Rec"},
      {"[R\xE9\xFF]x", "R\xE9\xFF"}, {"[" + std::string(300, 'Q') + "]", std::string(300, 'Q')}};
  // clang-format on
  for (const auto& [header, name] : cases) {
    TestConfig c;
    ui_.Clear();
    std::string image = SettingsFile("[\n[]\n[REC1]\nINT=1\n\n" + header + "\nINT=2\n\n[REC2]\n\n[END]");
    EXPECT_EQ(c.GetSections().ReadCfgFile(image.data(), image.size(), 0), eFilerNoError) << header;
    EXPECT_EQ(c.m_Records.GetCount(), 1u) << header;
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{Unrecognized(name)}) << header;
    EXPECT_EQ(ui_.messages[0].style, MB_OK | MB_ICONWARNING);
  }
}

TEST_F(ReaderTest, MessagesNameTheirLineAndSection) {
  const std::string text = "[REC4]\nINT=1\nCOLOUR=red\n\n[RECV6]\nSHADE=1\n\n[BOGUS2-3]\nY=1\n\n[END]";
  using Where = std::vector<std::pair<int, std::string>>;
  auto where = [this] {
    Where out;
    for (const auto& m : ui_.messages) out.emplace_back(m.where.line, m.where.section);
    ui_.Clear();
    return out;
  };
  // In a file the CRC line is line 1; a line list counts from its head.
  const Where inFile = {{5, "REC4"}, {8, "RECV6"}, {10, "BOGUS2-3"}};
  TestConfig byName, image, list;
  ASSERT_EQ(ReadBytes(byName, SettingsFile(text)), eFilerNoError);
  EXPECT_EQ(where(), inFile);
  std::string bytes = SettingsFile(text);
  ASSERT_EQ(image.GetSections().ReadCfgFile(bytes.data(), bytes.size(), 0), eFilerNoError);
  EXPECT_EQ(where(), inFile);
  StringList lines;
  for (const std::string& line : BodyLines(SettingsFile(text))) lines.AddTail(line);
  StringList::Position pos;
  list.GetSections().ReadCfgFile(lines, pos);
  EXPECT_EQ(where(), (Where{{3, "REC4"}, {6, "RECV6"}, {8, "BOGUS2-3"}}));
}

TEST_F(ReaderTest, SectionBodiesKeysAndSwallowedHeaders) {
  TestConfig c;
  ASSERT_EQ(
      ReadBytes(
          c,
          SettingsFile(
              "[REC4]\nINT=1\n INT=9\nint=9\nTEXT=a=b \nDUP=5\nINT=2\n\n"
              "[REC6]\nOLD_INT=7\n=8\n=-3\n=9x\nFLOAT=\nIP=\nBYTE=\nTEXT=\nLONG=99999999999\nUNSIGNED=-1\n\n"
              "[REC7]\nINT=70\n[REC8]\nINT=80\n\nINT=90\n\n[REC9]")),
      eFilerNoError);
  ASSERT_EQ(c.m_Records.GetCount(), 3u);  // REC8 was swallowed by REC7's body; REC9 has no body line
  auto* r4 = c.At<TestRecord>(c.m_Records, 0);
  // The later line wins; the first definition of a name reads.
  EXPECT_EQ(std::tuple(r4->m_nNumber, r4->m_nInt, r4->m_nDup, r4->m_nDupOther), std::tuple(4, 2, 5, 0));
  EXPECT_EQ(r4->m_strText, "a=b ");
  auto* r6 = c.At<TestRecord>(c.m_Records, 1);
  EXPECT_EQ(r6->m_nInt, 7);     // a never-written alias still reads
  EXPECT_EQ(r6->m_nNumber, 8);  // an empty key is the instance field, for what a header can carry
  EXPECT_EQ(std::tuple(r6->m_fFloat, r6->m_Ip.m_nAddress, r6->m_bFlag), std::tuple(0.0f, 0u, 0));
  EXPECT_EQ(c.At<TestRecord>(c.m_Records, 2)->m_nInt, 70);
  EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{UnknownKey(" INT"), UnknownKey("int"), UnknownKey(""),
                                                   UnknownKey("")}));
}

TEST_F(ReaderTest, ChannelGroupsFallThroughAndEndStops) {
  TestConfig c;
  ASSERT_EQ(
      ReadBytes(
          c, SettingsFile("[ANALOG_INPUT3-1]\nVALUE=1\n\n[ANALOG_INPUT5]\nVALUE=2\n\n"
                          "[ANALOG_INPUT2-4]\nVALUE=3\n\n[ANALOG_INPUT0-6]\nVALUE=4\n\n[AFTER2-3]\nNAME=x\n\n"
                          "[REC2-1]\n\n[END]\n[REC2]\n\n[Q]")),
      eFilerNoError);
  EXPECT_TRUE(ui_.messages.empty());
  ASSERT_EQ(c.m_Group1.m_Analogs.GetCount(), 3u);
  ASSERT_EQ(c.m_Group2.m_Analogs.GetCount(), 1u);
  EXPECT_EQ(c.At<TestFunction>(c.m_Group2.m_Analogs, 0)->m_nChannel, 4);
  EXPECT_EQ(c.At(c.m_Group2.m_Analogs, 0)->GetParent(), &c.m_Group2);
  ASSERT_EQ(c.m_After.GetCount(), 1u);  // not in group 2's sections: found after the groups
  EXPECT_EQ(c.At<TestElement>(c.m_After, 0)->m_nNumber, 3);
  EXPECT_EQ(c.At(c.m_After, 0)->GetParent(), &c);
  EXPECT_EQ(c.m_Records.GetCount(), 1u);  // nothing after [END]
}

TEST_F(ReaderTest, FixedSlotSectionsReplaceTheirSlot) {
  TestConfig c(true);
  const int live = TestSlot::s_nLive;
  ASSERT_EQ(
      ReadBytes(c,
                SettingsFile(
                    "[PHASOR1-13]\nNAME=p13\n\n[PHASOR1-5]\nNAME=p5\n\n[CDR_CHAN1-0]\nINP_INDEX=4\n\n"
                    "[CDR_CHAN1-3]\nINP_INDEX=2\n\n[CDR_CHAN1-37]\nINP_INDEX=36\n\n"
                    "[CDR_CHAN2-38]\nINP_INDEX=8\n\n[PHASOR2-2]\nNAME=g2\n\n[PHASOR2-7]\nNAME=x\n\n[END]")),
      eFilerNoError);
  EXPECT_EQ(TestSlot::s_nLive, live);  // every replaced or dropped object was destroyed
  EXPECT_EQ(c.m_Group1.m_Phasors.GetCount(), 12u);
  EXPECT_EQ(c.m_Group1.m_Cdrs.GetCount(), 37u);
  EXPECT_EQ(c.m_Group2.m_Phasors.GetCount(), 2u);
  for (auto* g : {&c.m_Group1, &c.m_Group2}) {
    int i = 0;
    for (CFiler* p : g->m_Phasors) EXPECT_EQ(p->GetListIndex(), ++i);
    i = 0;
    for (CFiler* p : g->m_Cdrs) EXPECT_EQ(p->GetListIndex(), i++);
  }
  EXPECT_EQ(c.At<TestSlot>(c.m_Group1.m_Phasors, 0)->m_strName, "p13");  // out of range: slot 0
  EXPECT_EQ(c.At<TestSlot>(c.m_Group1.m_Phasors, 4)->m_strName, "p5");
  EXPECT_EQ(std::tuple(c.At<TestSlot>(c.m_Group1.m_Cdrs, 0)->m_nInput,
                       c.At<TestSlot>(c.m_Group1.m_Cdrs, 36)->m_nInput),
            std::tuple(4, 36));
  EXPECT_EQ(c.At<TestSlot>(c.m_Group2.m_Cdrs, 0)->m_nInput, 8);  // out of range: slot 0
}

}  // namespace
}  // namespace helvo::testing
