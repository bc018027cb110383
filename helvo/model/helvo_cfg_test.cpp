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
#include "helvo/testing/model_fixture.h"

namespace helvo {
namespace {

using testing::SettingsFile;

// Stands in for the records the configuration keeps in lists (meter groups, trends): a name, and two
// function pointers that tests register as reference addresses of the section templates.
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

class HelvoCfgTest : public testing::ModelTest {
 protected:
  std::string File(const std::string& name, std::string_view text) {
    return dir_.Write(name, SettingsFile(text));
  }
  static std::string Id(const char* keys) { return std::string("[ID]\n") + keys + "\n\n[END]"; }
};

TEST_F(HelvoCfgTest, GenerationComesFromTheHeaderOfTheFileRead) {
  CHelvoCfg::m_iIedGen = 3;
  CHelvoCfg empty;  // a new configuration starts at generation 1, whatever was read before
  EXPECT_EQ(empty.m_State.m_iIedGen, 1);
  EXPECT_EQ(CHelvoCfg(std::string(), 0).m_pIdCfg, nullptr);  // reads nothing, links nothing

  CHelvoCfg older(File("v6.cfg", Id("SETTINGS_VERS=6\nNUM_BANKS=2")), 0);
  ASSERT_EQ(older.m_eReadResult, eFilerNoError);
  EXPECT_EQ(older.m_State.m_iIedGen, 2);
  EXPECT_EQ(CHelvoCfg::m_iIedGen, 2);  // the statics mirror the configuration last read
  CHelvoCfg newer(File("v201.cfg", Id("SETTINGS_VERS=201\nNUM_A_CHANNELS=36\nSAMPLE_RATE=128")), 0);
  EXPECT_EQ(newer.m_State.m_iIedGen, 4);
  EXPECT_EQ(newer.m_pIdCfg->m_nNumBanks, 4);  // the record carries the generation
  EXPECT_EQ(older.m_State.m_iIedGen, 2);      // each configuration keeps its own

  empty.m_State.m_iIedGen = 2;  // header values that name no generation leave it
  ASSERT_EQ(empty.ReadCfgFile(File("v24.cfg", Id("SETTINGS_VERS=201\nNUM_A_CHANNELS=24")), 0), eFilerNoError);
  EXPECT_EQ(empty.m_State.m_iIedGen, 2);
  EXPECT_EQ(empty.m_pIdCfg, nullptr);  // the path form alone links nothing

  // The reader refuses version 200: nothing read, the configuration's state and the statics stay.
  ASSERT_EQ(empty.ReadCfgFile(File("v200.cfg", Id("SETTINGS_VERS=200\nNUM_BANKS=2")), 0), eFilerReadError);
  EXPECT_EQ(std::tuple(empty.m_State.m_iIedGen, empty.m_State.m_Header.m_nSettingVersion),
            std::tuple(2, 201));
  EXPECT_EQ(CHelvoCfg::m_nSetVer, 201);

  // A memory image sets the header and the generation but not the copies of a read by path: without
  // a rate read by path the record keeps its own.
  std::string image = SettingsFile(Id("SETTINGS_VERS=6\nNUM_BANKS=2\nSAMPLE_RATE=64"));
  CHelvoCfg fromImage;
  ASSERT_EQ(fromImage.ReadCfgFile(image.data(), image.size(), 0), eFilerNoError);
  EXPECT_EQ(fromImage.m_State.m_iIedGen, 2);
  EXPECT_EQ(fromImage.m_State.m_nSRate, -1);
  EXPECT_EQ(fromImage.m_pIdCfg->m_nNumBanks, 2);
  EXPECT_EQ(fromImage.m_pIdCfg->m_nSampleRate, 64);
}

TEST_F(HelvoCfgTest, NewFileIsDeletedOnlyAfterAReadByPath) {
  const std::string text = Id("SETTINGS_VERS=6\nNEWFILE=1\nSERIAL_NUM=A1");
  CHelvoCfg byPath(File("new.cfg", text), 0);
  EXPECT_TRUE(dir_.Names().empty());
  EXPECT_EQ(byPath.m_pIdCfg->m_strSerialNum, "A1");  // still loaded

  File("new.cfg", text);
  std::string image = SettingsFile(text);
  EXPECT_EQ(CHelvoCfg().ReadCfgFile(image.data(), image.size(), 0), eFilerNoError);
  EXPECT_EQ(FromLines({"[ID]", "NEWFILE=1", "", "[END]"})->m_pIdCfg->m_nNewFile, 1);
  CHelvoCfg kept(File("kept.cfg", Id("SETTINGS_VERS=6\nNEWFILE=0")), 0);
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"kept.cfg", "new.cfg"}));
}

TEST_F(HelvoCfgTest, MissingRecordsAndInvalidValuesAreRepaired) {
  CHelvoCfg empty(File("empty.cfg", "[END]"), 0);
  ASSERT_TRUE(empty.m_pIdCfg && empty.m_pLimitsCfg && empty.m_pStorageAlarms);
  EXPECT_EQ(empty.m_pIdCfg->m_nNumBanks, empty.m_State.m_iIedGen);
  EXPECT_EQ(empty.m_nLoadedSetVer, 203);

  auto repaired = FromLines(
      {"[ID]", "SETTINGS_VERS=0", "SYSTEM_FREQUENCY=55", "", "[LIMITS]", "REC_ALARM=4", "", "[END]"});
  EXPECT_EQ(repaired->m_pIdCfg->m_nSettingsVers, 203);
  EXPECT_EQ(repaired->m_pIdCfg->m_nSystemFrequency, 60);
  EXPECT_EQ(repaired->m_pStorageAlarms->m_nRecordAlarm, 4);
  HostSettings("\"SettingVersionLimit\"=dword:000000d2\r\n");
  EXPECT_EQ(FromLines({"[ID]", "SETTINGS_VERS=0", "", "[END]"})->m_nLoadedSetVer, 210);
}

TEST_F(HelvoCfgTest, RecordsSurviveAWriteAndARead) {
  for (int version : {5, 6, 201}) {
    SCOPED_TRACE(version);
    CHelvoCfg out;
    auto* id = new CIdCfg(&out);
    id->m_nSettingsVers = version;
    id->m_nSystemFrequency = 50;
    id->m_nSampleRate = 128;
    out.m_IdList.AddTail(id);
    auto* limits = new CHelvoLimitsCfg(&out);
    limits->m_oEIChatterWindow.m_fSeconds = 0.5f;    // 200 eighths of a 50 Hz cycle
    limits->m_oDetChatterWindow.m_fSeconds = 0.25f;  // 25 half cycles
    limits->m_nRecAlarm = 5;
    out.m_LimitsList.AddTail(limits);
    const std::string path = dir_.File("out.cfg");
    ASSERT_EQ(out.GetSections().WriteCfgFile(path, version, 50), eFilerNoError);
    CHelvoCfg in(path, 0);
    ASSERT_NE(in.m_pIdCfg, nullptr);
    const CIdCfg& back = *in.m_pIdCfg;
    EXPECT_EQ(back.m_nSettingsVers, version);
    EXPECT_EQ(back.m_nSystemFrequency, 50);
    EXPECT_EQ(back.m_nNumBanks, version >= 201 ? 3 : 1);       // the generation
    EXPECT_EQ(back.m_nSampleRate, version >= 201 ? 128 : 96);  // older files carry no rate
    EXPECT_FLOAT_EQ(in.m_pLimitsCfg->m_oEIChatterWindow.m_fSeconds, 0.5f);
    EXPECT_FLOAT_EQ(in.m_pLimitsCfg->m_oDetChatterWindow.m_fSeconds, 0.25f);
    EXPECT_EQ(in.m_pStorageAlarms->m_nRecordAlarm, version >= 6 ? 5 : 0);  // REC_ALARM from version 6
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(HelvoCfgTest, RemovingClearsReferencesAndUnlinksRecords) {
  CHelvoCfg cfg;
  auto* line = new ListRecord("Line");
  auto* bus = new ListRecord("Bus");
  for (ListRecord* g : {line, bus}) cfg.m_MeterGroupList.AddTail(g);
  EXPECT_EQ(cfg.VerifyMeterGroupNamed("line", bus), line);  // names compare ignoring case

  // Removing a phasor clears the reference fields the templates name, and only those holding it.
  dynamic_cast<cHelvoSection*>(cfg.GetSection(10))
      ->LoadReferenceAddress(FieldOf(&ListRecord::m_pRef, 0))
      ->LoadReferenceAddress(FieldOf(&ListRecord::m_pRef, 1));
  dynamic_cast<cHelvoSection*>(cfg.GetSection(13))->LoadReferenceAddress(FieldOf(&ListRecord::m_pRef, 1));
  CPhasor a, b;
  line->m_pRef[0] = bus->m_pRef[1] = &a;
  line->m_pRef[1] = &b;
  auto* trend = new ListRecord;
  trend->m_pRef[0] = trend->m_pRef[1] = &a;
  cfg.m_pTrend = trend;
  cfg.Remove(&a);
  EXPECT_EQ(line->m_pRef[0], nullptr);
  EXPECT_EQ(line->m_pRef[1], &b);
  EXPECT_EQ(bus->m_pRef[1], nullptr);
  EXPECT_EQ(trend->m_pRef[0], &a);  // not a reference address of the trend section
  EXPECT_EQ(trend->m_pRef[1], nullptr);

  CElementName element;
  cfg.Remove(&element);  // elements are their channel group's business
  EXPECT_EQ(cfg.m_MeterGroupList.GetCount(), 2u);

  // Records are unlinked, not deleted; the trend in use stops being in use.
  cfg.Remove(static_cast<CFiler*>(bus));
  cfg.Remove(static_cast<CFiler*>(trend));
  EXPECT_EQ(cfg.m_MeterGroupList.GetCount(), 1u);
  EXPECT_EQ(cfg.m_pTrend, nullptr);
  EXPECT_EQ(ListRecord::s_nLive, 3);
  delete bus;
  delete trend;
}

TEST_F(HelvoCfgTest, VersionPredicatesGenerationSwitchAndDeviceImport) {
  EXPECT_FALSE(CHelvoCfg().IsClassSupported(eAnalogCfg));  // no identification record
  auto owned = FromLines({"[ID]", "SETTINGS_VERS=4", "SERIAL_NUM=ab-1", "", "[END]"});
  CHelvoCfg& cfg = *owned;
  CIdCfg* id = cfg.m_pIdCfg;
  EXPECT_FALSE(cfg.IsClassSupported(ePFDetCfg));  // by the record's version
  id->m_nSettingsVers = -1;
  EXPECT_FALSE(cfg.IsClassSupported(eAnalogCfg));

  id->m_nNumBanks = 7;
  EXPECT_EQ(cfg.UpdateIedGen(1), 0);
  EXPECT_EQ(id->m_nNumBanks, 1);  // refreshed even without a change
  delete cfg.m_pDspCfg[1];
  cfg.m_pDspCfg[1] = nullptr;
  EXPECT_EQ(cfg.UpdateIedGen(2), 1);
  EXPECT_EQ(id->m_nNumBanks, 2);
  ASSERT_NE(cfg.m_pDspCfg[1], nullptr);  // the second board's group is made again, attached
  EXPECT_EQ(cfg.m_pDspCfg[1]->GetConfiguration(), &cfg);
  EXPECT_EQ(cfg.UpdateIedGen(5), 0);  // no such generation

  sIEDDef def;
  def.m_strSerialNumber = "AB-1";  // the same number in other letter case
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 0);
  def.m_strSerialNumber = "CD-2";
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 1);
  EXPECT_EQ(id->m_strSerialNum, "CD-2");
  EXPECT_EQ(ui_.messages.size(), 1u);
  id->m_strSerialNum.clear();
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 1);
  EXPECT_EQ(ui_.messages.size(), 1u);  // nothing replaced: no message
  def.m_nGeneration = 4;               // a generation hint refreshes for the current generation
  id->m_nNumBanks = 9;
  EXPECT_EQ(cfg.ImportParametersFromDatabase(def), 0);
  EXPECT_EQ(id->m_nNumBanks, 2);
}

TEST_F(HelvoCfgTest, DestructionAndRereadingFreeEverything) {
  {
    const std::string text =
        "[ID]\nSETTINGS_VERS=6\n\n[ID]\nSETTINGS_VERS=5\n\n[LIMITS]\nEI_CHATTER_TIME=2\n\n[LIMITS]\n\n[END]";
    CHelvoCfg cfg;
    for (int read = 0; read < 2; ++read) {
      std::string image = SettingsFile(text);
      ASSERT_EQ(cfg.ReadCfgFile(image.data(), image.size(), 0), eFilerNoError);
      EXPECT_TRUE(cfg.m_LimitsList.IsEmpty());  // duplicates are discarded
      EXPECT_EQ(cfg.m_pLimitsCfg->m_lEIChatterTime, 2);
    }
    EXPECT_EQ(cfg.m_IdList.GetCount(), 2u);  // duplicate identification records stay listed
    for (FilerList* list : {&cfg.m_MeterGroupList, &cfg.m_TrendList, &cfg.m_PMUIdList, &cfg.m_CDRIdList})
      list->AddTail(new ListRecord);
    cfg.m_pTrend = new ListRecord;
    cfg.m_pHostObject = new ListRecord;
  }
  EXPECT_EQ(ListRecord::s_nLive, 0);
}

}  // namespace
}  // namespace helvo
