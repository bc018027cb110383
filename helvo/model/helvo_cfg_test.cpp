#include "helvo/model/helvo_cfg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/host/ied_def.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/phasor.h"
#include "helvo/model/records.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using testing::SettingsFile;

// Stands in for the recorder-level records the configuration keeps in lists (meter groups, trends):
// a name, and two pointers to functions reached through the section templates' reference addresses.
class ListRecord : public CFiler, public cNamedRecord {
 public:
  explicit ListRecord(std::string name = {}) : m_strName(std::move(name)) { ++s_nLive; }
  ~ListRecord() override { --s_nLive; }
  void GetName(std::string& name) const override { name = m_strName; }
  std::string m_strName;
  CPhasor* m_pRef[2] = {};
  static int s_nLive;
};
int ListRecord::s_nLive = 0;

class HelvoCfgTest : public testing::CfgTest {
 protected:
  // Writes a settings file with a correct CRC and returns its path.
  std::string File(const std::string& name, std::string_view text) {
    return dir_.Write(name, SettingsFile(text));
  }
};

TEST_F(HelvoCfgTest, EmptyConfiguration) {
  CHelvoCfg::m_iIedGen = 3;
  CHelvoCfg cfg;
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 1);
  EXPECT_EQ(cfg.GetClass(), 15);
  for (int board = 0; board < 2; ++board) {
    ASSERT_NE(cfg.m_pDspCfg[board], nullptr);
    EXPECT_EQ(cfg.m_pDspCfg[board]->GetParent(), &cfg);
    EXPECT_EQ(cfg.m_pDspCfg[board]->GetDspIndex(), board);
  }
  EXPECT_EQ(cfg.m_pIdCfg, nullptr);
  EXPECT_EQ(cfg.m_pLimitsCfg, nullptr);
  EXPECT_EQ(cfg.m_pStorageAlarms, nullptr);
  EXPECT_EQ(cfg.m_nSampleRateRead, 96);
  EXPECT_EQ(cfg.m_nSampleRateWritten, 96);

  // The recorder-level sections in file order, the channel groups nested in the unnamed one.
  const std::vector<std::pair<int, std::string>> expected = {
      {7, "ID"},   {0, ""},    {10, "METERING_GROUP"}, {13, "EXTENDED_TREND"}, {8, "LIMITS"}, {19, "PMU"},
      {21, "CDR"}, {22, "END"}};
  std::vector<std::pair<int, std::string>> sections;
  for (CFilerSection* s : cfg.GetSections().GetSections()) sections.emplace_back(s->GetClass(), s->GetName());
  EXPECT_EQ(sections, expected);
  const auto& nested = cfg.GetSection(0)->GetNestedContainers();
  ASSERT_EQ(nested.GetCount(), 2u);
  EXPECT_EQ(*nested.begin(), cfg.m_pDspCfg[0]);
  EXPECT_EQ(*std::next(nested.begin()), cfg.m_pDspCfg[1]);
  EXPECT_FALSE(cfg.GetSection(22)->HoldsObjects());

  // Children by class number.
  CObject* id = cfg.ConstructChild(7);
  EXPECT_NE(dynamic_cast<CIdCfg*>(id), nullptr);
  EXPECT_EQ(dynamic_cast<CFiler*>(id)->GetParent(), nullptr);
  delete id;
  for (int cls : {-1, 22, 23}) EXPECT_EQ(cfg.ConstructChild(cls), nullptr) << cls;

  // An empty path reads nothing; a missing file reports the reader's error and stays empty.
  CHelvoCfg none(std::string(), 0);
  EXPECT_EQ(none.m_eReadResult, eFilerNoError);
  EXPECT_TRUE(none.m_strFilePath.empty());
  EXPECT_EQ(none.m_pIdCfg, nullptr);
  CHelvoCfg missing(dir_.File("missing.cfg"), 0);
  EXPECT_EQ(missing.m_eReadResult, eFilerOpenError);
  EXPECT_EQ(missing.m_pIdCfg, nullptr);

  // Dynamic creation, and the class tables reached through the root.
  CObject* made = RuntimeClass::CreateObject("CHelvoCfg");
  ASSERT_NE(dynamic_cast<CHelvoCfg*>(made), nullptr);
  delete made;
  EXPECT_EQ(CHelvoCfg::GetRuntimeClass(7), &CIdCfg::classCIdCfg);
  std::string ia = "ia";
  ASSERT_NE(CHelvoCfg::LookupType(ia), nullptr);
  EXPECT_STREQ(CHelvoCfg::LookupType(ia)->m_pName, "Ia");
}

TEST_F(HelvoCfgTest, GenerationComesFromTheHeaderOfAFileReadByPath) {
  const std::string twoBanks =
      File("v6.cfg", "[ID]\nSETTINGS_VERS=6\nNUM_BANKS=2\nSYSTEM_FREQUENCY=60\n\n[END]");
  CHelvoCfg older(twoBanks, 0);
  ASSERT_EQ(older.m_eReadResult, eFilerNoError);
  EXPECT_EQ(older.m_strFilePath, twoBanks);
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 2);
  EXPECT_EQ(CHelvoCfg::GetSettingVersion(), 6);
  EXPECT_EQ(CHelvoCfg::m_nBank, 2);
  EXPECT_EQ(CHelvoCfg::m_nSRate, 96);
  ASSERT_NE(older.m_pIdCfg, nullptr);
  EXPECT_EQ(older.m_pIdCfg->m_nNumBanks, 2);
  EXPECT_EQ(older.m_pIdCfg->m_nSampleRate, 96);
  EXPECT_EQ(older.m_nLoadedSetVer, 6);

  CHelvoCfg newer(
      File("v201.cfg", "[ID]\nSETTINGS_VERS=201\nNUM_BANKS=1\nNUM_A_CHANNELS=36\nSAMPLE_RATE=128\n\n[END]"),
      0);
  ASSERT_EQ(newer.m_eReadResult, eFilerNoError);
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 4);
  EXPECT_EQ(CHelvoCfg::m_nAChan, 36);
  EXPECT_EQ(newer.m_nSampleRateRead, 128);
  EXPECT_EQ(newer.m_pIdCfg->m_nNumBanks, 4);  // the record carries the generation
  EXPECT_EQ(newer.m_pIdCfg->m_nSampleRate, 128);

  // Header values that name no generation leave it as it was.
  CHelvoCfg cfg;
  CHelvoCfg::m_iIedGen = 2;
  ASSERT_EQ(cfg.ReadCfgFile(File("v24.cfg", "[ID]\nSETTINGS_VERS=201\nNUM_A_CHANNELS=24\n\n[END]"), 0),
            eFilerNoError);
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 2);
  EXPECT_EQ(cfg.m_pIdCfg, nullptr);  // the path form alone does no post-load processing
  EXPECT_EQ(cfg.m_IdList.GetCount(), 1u);

  // The reader refuses version 200: nothing is read, the generation and statics stay.
  CHelvoCfg::m_nSetVer = 6;
  CHelvoCfg refused(File("v200.cfg", "[ID]\nSETTINGS_VERS=200\nNUM_BANKS=2\n\n[END]"), 0);
  EXPECT_EQ(refused.m_eReadResult, eFilerReadError);
  EXPECT_EQ(refused.m_pIdCfg, nullptr);
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 1);  // as the configuration's initialisation left it
  EXPECT_EQ(CHelvoCfg::m_nSetVer, 6);

  // Memory images do not touch the generation or the statics.
  std::string image = SettingsFile("[ID]\nSETTINGS_VERS=6\nNUM_BANKS=2\nSAMPLE_RATE=64\n\n[END]");
  CHelvoCfg fromImage;
  CHelvoCfg::m_iIedGen = 3;
  CHelvoCfg::m_nSRate = -1;  // no file read by path yet
  ASSERT_EQ(fromImage.ReadCfgFile(image.data(), image.size(), 0), eFilerNoError);
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 3);
  ASSERT_NE(fromImage.m_pIdCfg, nullptr);
  EXPECT_EQ(fromImage.m_pIdCfg->m_nNumBanks, 3);
  EXPECT_EQ(fromImage.m_pIdCfg->m_nSampleRate, 64);  // no header rate to take: the record's own stays
}

TEST_F(HelvoCfgTest, NewFileIsDeletedOnlyAfterAReadByPath) {
  const std::string text = "[ID]\nSETTINGS_VERS=6\nNEWFILE=1\nSERIAL_NUM=A1\n\n[END]";
  const std::string path = File("new.cfg", text);
  CHelvoCfg byPath(path, 0);
  ASSERT_EQ(byPath.m_eReadResult, eFilerNoError);
  EXPECT_TRUE(dir_.Names().empty());
  ASSERT_NE(byPath.m_pIdCfg, nullptr);  // the configuration stays loaded
  EXPECT_EQ(byPath.m_pIdCfg->m_strSerialNum, "A1");

  File("new.cfg", text);
  std::string image = SettingsFile(text);
  CHelvoCfg fromImage;
  EXPECT_EQ(fromImage.ReadCfgFile(image.data(), image.size(), 0), eFilerNoError);
  StringList lines;
  for (const char* line : {"[ID]", "NEWFILE=1", "", "[END]"}) lines.AddTail(line);
  CHelvoCfg fromLines(lines);
  EXPECT_TRUE(fromLines.m_strFilePath.empty());
  EXPECT_EQ(fromLines.m_pIdCfg->m_nNewFile, 1);
  CHelvoCfg kept(File("kept.cfg", "[ID]\nSETTINGS_VERS=6\nNEWFILE=0\n\n[END]"), 0);
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"kept.cfg", "new.cfg"}));
}

TEST_F(HelvoCfgTest, MissingAndInvalidRecordValuesAreRepaired) {
  CHelvoCfg empty(File("empty.cfg", "[END]"), 0);
  ASSERT_EQ(empty.m_eReadResult, eFilerNoError);
  ASSERT_NE(empty.m_pIdCfg, nullptr);
  const CIdCfg& id = *empty.m_pIdCfg;
  EXPECT_EQ(id.GetParent(), &empty);
  EXPECT_EQ(id.m_strComments, "None");
  EXPECT_EQ(id.m_nSettingsVers, 203);
  EXPECT_EQ(id.m_nNumAChannels, 18);
  EXPECT_EQ(id.m_nNumBanks, CHelvoCfg::m_iIedGen);
  EXPECT_EQ(id.m_nSampleRate, CHelvoCfg::m_nSRate);
  EXPECT_EQ(id.m_nSystemFrequency, 60);
  EXPECT_EQ(empty.m_nLoadedSetVer, 203);
  ASSERT_NE(empty.m_pLimitsCfg, nullptr);
  EXPECT_EQ(empty.m_pLimitsCfg->GetParent(), &empty);
  EXPECT_FLOAT_EQ(empty.m_pLimitsCfg->m_oEIChatterWindow.m_fSeconds, 1.0f);
  EXPECT_FLOAT_EQ(empty.m_pLimitsCfg->m_oDetChatterWindow.m_fSeconds, 4.0f);
  ASSERT_NE(empty.m_pStorageAlarms, nullptr);
  EXPECT_EQ(empty.m_pStorageAlarms->m_nRecordAlarm, 0);
  EXPECT_EQ(empty.m_pStorageAlarms->m_nTrendAlarm, 0);
  EXPECT_EQ(empty.m_pTrend, nullptr);

  // Version 0 takes the host's limit; a frequency that is neither 50 nor 60 the host's 50, else 60.
  StringList lines;
  for (const char* line :
       {"[ID]", "SETTINGS_VERS=0", "SYSTEM_FREQUENCY=55", "", "[LIMITS]", "REC_ALARM=4", "", "[END]"})
    lines.AddTail(line);
  StringList again = lines;
  CHelvoCfg repaired(lines);
  EXPECT_EQ(repaired.m_pIdCfg->m_nSettingsVers, 203);
  EXPECT_EQ(repaired.m_nLoadedSetVer, 203);
  EXPECT_EQ(repaired.m_pIdCfg->m_nSystemFrequency, 60);
  EXPECT_EQ(repaired.m_pStorageAlarms->m_nRecordAlarm, 4);

  HostSettings("\"SettingVersionLimit\"=dword:000000d2\r\n\"DefaultSysFreq\"=dword:00000032\r\n");
  CHelvoCfg hosted(again);
  EXPECT_EQ(hosted.m_pIdCfg->m_nSettingsVers, 210);
  EXPECT_EQ(hosted.m_pIdCfg->m_nSystemFrequency, 50);
  EXPECT_TRUE(ui_.messages.empty());
}

// What the engine writes from the records reads back into the same values.
TEST_F(HelvoCfgTest, RecordsSurviveAWriteAndARead) {
  for (int version : {5, 6, 201}) {
    SCOPED_TRACE(version);
    cFilerSections::m_nAChan = 18;
    CHelvoCfg out;
    auto* id = new CIdCfg(&out);
    id->m_strSerialNum = "SN-42";
    id->m_strComments = "Feeder 7";
    id->m_nSettingsVers = version;
    id->m_nNumBanks = 1;
    id->m_nSystemFrequency = 50;
    id->m_nSampleRate = 128;
    id->m_oSetDate.m_lLoadDate = 123456;
    id->m_oSetDate.m_Time = CalendarTime(2021, 7, 8, 10, 11, 12);
    out.m_IdList.AddTail(id);
    auto* limits = new CHelvoLimitsCfg(&out);
    limits->m_oEIChatterWindow.m_fSeconds = 0.5f;  // 200 eighths of a 50 Hz cycle
    limits->m_lEIChatterTime = 3;
    limits->m_oDetChatterWindow.m_fSeconds = 0.25f;  // 25 half cycles
    limits->m_lDetChatterTime = 7;
    limits->m_nRecAlarm = 5;
    out.m_LimitsList.AddTail(limits);
    const std::string path = dir_.File("out.cfg");
    ASSERT_EQ(out.GetSections().WriteCfgFile(path, version, 50), eFilerNoError);
    const std::string text = dir_.Read("out.cfg");
    EXPECT_EQ(text.find("NUM_A_CHANNELS=18") != std::string::npos, version >= 201);
    EXPECT_EQ(text.find("SAMPLE_RATE=128") != std::string::npos, version >= 201);
    EXPECT_NE(text.find("NUM_BANKS=1\r\n"), std::string::npos);

    CHelvoCfg in(path, 0);
    ASSERT_EQ(in.m_eReadResult, eFilerNoError);
    ASSERT_NE(in.m_pIdCfg, nullptr);
    const CIdCfg& back = *in.m_pIdCfg;
    EXPECT_EQ(back.m_strSerialNum, "SN-42");
    EXPECT_EQ(back.m_strComments, "Feeder 7");
    EXPECT_EQ(back.m_nSettingsVers, version);
    EXPECT_EQ(in.m_nLoadedSetVer, version);
    EXPECT_EQ(back.m_nSystemFrequency, 50);
    EXPECT_EQ(back.m_oSetDate.m_lLoadDate, 123456);
    EXPECT_EQ(back.m_strSetDate, id->m_oSetDate.m_Time.Format("%y %b %d %H:%M:%S"));
    EXPECT_EQ(back.m_nNumAChannels, 18);
    EXPECT_EQ(back.m_nNumBanks, version >= 201 ? 3 : 1);       // the generation
    EXPECT_EQ(back.m_nSampleRate, version >= 201 ? 128 : 96);  // a version-6 file has no rate
    EXPECT_TRUE(in.m_IdList.IsEmpty());

    ASSERT_NE(in.m_pLimitsCfg, nullptr);
    EXPECT_FLOAT_EQ(in.m_pLimitsCfg->m_oEIChatterWindow.m_fSeconds, 0.5f);
    EXPECT_EQ(in.m_pLimitsCfg->m_lEIChatterTime, 3);
    EXPECT_FLOAT_EQ(in.m_pLimitsCfg->m_oDetChatterWindow.m_fSeconds, 0.25f);
    EXPECT_EQ(in.m_pLimitsCfg->m_lDetChatterTime, 7);
    const unsigned int alarm = version >= 6 ? 5u : 0u;  // REC_ALARM is written from version 6 on
    EXPECT_EQ(in.m_pLimitsCfg->m_nRecAlarm, alarm);
    EXPECT_EQ(in.m_pStorageAlarms->m_nRecordAlarm, static_cast<int>(alarm));
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(HelvoCfgTest, MeterGroupNamesAndRemovals) {
  CHelvoCfg cfg;
  auto* line = new ListRecord("Line");
  auto* bus = new ListRecord("Bus");
  auto* line2 = new ListRecord("LINE");
  cfg.m_MeterGroupList.AddTail(line);
  cfg.m_MeterGroupList.AddTail(bus);
  cfg.m_MeterGroupList.AddTail(line2);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("line"), line);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("line", line), line2);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("LINE", line2), line);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("bus", bus), nullptr);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("Bus 2"), nullptr);

  // Removing a phasor clears the reference fields the templates name, and only those holding it.
  auto* groups = dynamic_cast<cHelvoSection*>(cfg.GetSection(10));
  auto* trends = dynamic_cast<cHelvoSection*>(cfg.GetSection(13));
  ASSERT_NE(groups, nullptr);
  ASSERT_NE(trends, nullptr);
  groups->LoadReferenceAddress(FieldOf(&ListRecord::m_pRef, 0))
      ->LoadReferenceAddress(FieldOf(&ListRecord::m_pRef, 1));
  trends->LoadReferenceAddress(FieldOf(&ListRecord::m_pRef, 1));
  CPhasor a, b;
  line->m_pRef[0] = &a;
  line->m_pRef[1] = &b;
  bus->m_pRef[1] = &a;
  auto* trend = new ListRecord("trend");
  trend->m_pRef[0] = trend->m_pRef[1] = &a;
  cfg.m_pTrend = trend;
  cfg.Remove(&a);
  EXPECT_EQ(line->m_pRef[0], nullptr);
  EXPECT_EQ(line->m_pRef[1], &b);
  EXPECT_EQ(bus->m_pRef[1], nullptr);
  EXPECT_EQ(trend->m_pRef[0], &a);  // not a reference address of the trend section
  EXPECT_EQ(trend->m_pRef[1], nullptr);

  // Elements are not the configuration's business.
  CElementName element;
  line->m_pRef[0] = &a;
  cfg.Remove(&element);
  EXPECT_EQ(line->m_pRef[0], &a);
  EXPECT_EQ(cfg.m_MeterGroupList.GetCount(), 3u);

  // Records are unlinked, not deleted; the trend in use stops being in use.
  cfg.Remove(static_cast<CFiler*>(bus));
  EXPECT_EQ(cfg.m_MeterGroupList.GetCount(), 2u);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("bus"), nullptr);
  cfg.Remove(static_cast<CFiler*>(bus));  // absent: nothing happens
  cfg.Remove(static_cast<CFiler*>(trend));
  EXPECT_EQ(cfg.m_pTrend, nullptr);
  auto* pmu = new ListRecord;
  cfg.m_PMUIdList.AddTail(pmu);
  cfg.Remove(static_cast<CFiler*>(pmu));
  EXPECT_TRUE(cfg.m_PMUIdList.IsEmpty());
  EXPECT_EQ(ListRecord::s_nLive, 5);
  delete bus;
  delete trend;
  delete pmu;
  line->m_pRef[0] = nullptr;
  line->m_pRef[1] = nullptr;
}

TEST_F(HelvoCfgTest, VersionPredicatesGenerationSwitchAndDeviceImport) {
  CHelvoCfg empty;
  EXPECT_FALSE(empty.IsClassSupported(eAnalogCfg));  // no identification record
  EXPECT_FALSE(empty.IsDCSupported());
  EXPECT_TRUE(CHelvoCfg::IsClassSupported(eTrend, 4u));  // the table forms stay reachable

  StringList lines;
  for (const char* line : {"[ID]", "SETTINGS_VERS=4", "SERIAL_NUM=ab-1", "", "[END]"}) lines.AddTail(line);
  CHelvoCfg cfg(lines);
  CIdCfg* id = cfg.m_pIdCfg;
  ASSERT_NE(id, nullptr);
  EXPECT_TRUE(cfg.IsClassSupported(eTrend));
  EXPECT_FALSE(cfg.IsClassSupported(ePFDetCfg));
  EXPECT_FALSE(cfg.IsDCSupported());
  id->m_nSettingsVers = 5;
  EXPECT_TRUE(cfg.IsClassSupported(ePFDetCfg));
  EXPECT_TRUE(cfg.IsDCSupported());
  id->m_nSettingsVers = -1;
  EXPECT_FALSE(cfg.IsClassSupported(eAnalogCfg));

  // The generation switch.
  CHelvoCfg::m_iIedGen = 1;
  id->m_nNumBanks = 7;
  EXPECT_EQ(cfg.UpdateIedGen(1), 0);
  EXPECT_EQ(id->m_nNumBanks, 1);  // refreshed even without a change
  delete cfg.m_pDspCfg[1];
  cfg.m_pDspCfg[1] = nullptr;
  EXPECT_EQ(cfg.UpdateIedGen(2), 1);
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 2);
  EXPECT_EQ(id->m_nNumBanks, 2);
  ASSERT_NE(cfg.m_pDspCfg[1], nullptr);  // the second board's group is made again
  EXPECT_EQ(cfg.m_pDspCfg[1]->GetParent(), &cfg);
  EXPECT_EQ(cfg.m_pDspCfg[1]->GetDspIndex(), 1);
  for (int bad : {0, 5, -1}) {
    EXPECT_EQ(cfg.UpdateIedGen(bad), 0) << bad;
    EXPECT_EQ(CHelvoCfg::m_iIedGen, 2) << bad;
  }

  // Device definitions.
  sIEDDef def;
  def.m_strSerialNumber = "AB-1";  // same number in other letter case
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 0);
  EXPECT_EQ(id->m_strSerialNum, "ab-1");
  def.m_strSerialNumber = "CD-2";
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 1);
  EXPECT_EQ(id->m_strSerialNum, "CD-2");
  ASSERT_EQ(ui_.Texts().size(), 1u);
  EXPECT_EQ(ui_.Texts()[0],
            "Modifying Serial Number \"ab-1\"to\r\n match the Serial Number \"CD-2\" stored in database.");
  EXPECT_EQ(ui_.messages[0].style, static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));
  id->m_strSerialNum.clear();
  def.m_strSerialNumber = "EF-3";
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 1);  // no number to replace: no message
  EXPECT_EQ(ui_.messages.size(), 1u);
  def.m_strSerialNumber.clear();
  id->m_nNumBanks = 9;
  def.m_nGeneration = 0;
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 0);
  EXPECT_EQ(id->m_nNumBanks, 9);
  def.m_nGeneration = 4;  // a generation hint refreshes for the current generation only
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 0);
  EXPECT_EQ(id->m_nNumBanks, 2);
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 2);
  EXPECT_EQ(empty.ImportParametersFromDatabase(def), 0);
}

// Everything the configuration holds goes with it (the sanitizers check what the counter does not).
TEST_F(HelvoCfgTest, DestructionAndRereadingFreeEverything) {
  {
    const std::string text =
        "[ID]\nSETTINGS_VERS=6\n\n[ID]\nSETTINGS_VERS=5\n\n[LIMITS]\nEI_CHATTER_TIME=2\n\n[LIMITS]\n\n[END]";
    std::string image = SettingsFile(text);
    CHelvoCfg cfg;
    ASSERT_EQ(cfg.ReadCfgFile(image.data(), image.size(), 0), eFilerNoError);
    EXPECT_EQ(cfg.m_pIdCfg->m_nSettingsVers, 6);
    EXPECT_EQ(cfg.m_IdList.GetCount(), 1u);  // a second identification record stays in its list
    EXPECT_TRUE(cfg.m_LimitsList.IsEmpty());
    image = SettingsFile(text);
    ASSERT_EQ(cfg.ReadCfgFile(image.data(), image.size(), 0), eFilerNoError);  // reading again
    ASSERT_NE(cfg.m_pLimitsCfg, nullptr);
    EXPECT_EQ(cfg.m_pLimitsCfg->m_lEIChatterTime, 2);

    for (FilerList* list : {&cfg.m_MeterGroupList, &cfg.m_TrendList, &cfg.m_PMUIdList, &cfg.m_CDRIdList})
      list->AddTail(new ListRecord);
    cfg.m_pTrend = new ListRecord;
    cfg.m_pHostObject = new ListRecord;
    EXPECT_EQ(ListRecord::s_nLive, 6);
  }
  EXPECT_EQ(ListRecord::s_nLive, 0);
}

}  // namespace
}  // namespace helvo
