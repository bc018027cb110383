#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/functions/analog.h"
#include "helvo/functions/fault_locator.h"
#include "helvo/functions/logic.h"
#include "helvo/functions/pf_detector.h"
#include "helvo/functions/summation.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/saving/confirm_dialog.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using Lines = std::vector<std::string>;

Lines Join(std::initializer_list<Lines> parts) {
  Lines out;
  for (const Lines& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// One board of generation 1, made by a version-5 configuration.
class VersionScanTest : public testing::CfgTest {
 protected:
  VersionScanTest() {
    cFilerSections::m_nSettingVersion = CHelvoCfgTables::m_nSetVer = 5;
    cFilerSections::m_nDSPBanks = 1;
    CHelvoCfgTables::FunctionsPerDsp(eAnalogCfg);
    id_->m_nSettingsVers = cfg_.m_nLoadedSetVer = 5;
    id_->m_nNumBanks = 1;
    cfg_.m_pIdCfg = id_;
    cfg_.m_pLimitsCfg = new CHelvoLimitsCfg(&cfg_);
    cfg_.m_pStorageAlarms = new cStorageAlarms(&cfg_);
    std::string name = "Line1";
    line_ = new CElementName(name, group_);
    group_->Add(line_);
  }

  template <class T>
  T* File(T* p, int channel) {
    p->SetChannelNumber(channel);
    group_->Add(p);
    return p;
  }
  CAnalogCfg* Analog(unsigned long flags, int channel) {
    return File(new CAnalogCfg(group_, line_, flags), channel);
  }
  Lines Scan(int version, Lines lines = {}) {
    StringList list;
    for (const std::string& l : lines) list.AddTail(l);
    cfg_.PreDumpScan(list, version);
    return Lines(list.begin(), list.end());
  }

  CHelvoCfg cfg_;
  CIdCfg* id_ = new CIdCfg(&cfg_);
  cHelvoDspCfg* group_ = cfg_.m_pDspCfg[0];
  CElementName* line_ = nullptr;
};

TEST_F(VersionScanTest, EachOlderVersionListsWhatItLoses) {
  CAnalogCfg* va = Analog(0x10, 1);
  va->m_oHMagAct.m_bAction[CActionBlock::kNotifyAction] = 1;
  va->m_oLMagAct.m_bAction[CActionBlock::kNotifyAction] = 1;
  va->m_oDetParams.m_fSwell = 115.0f;
  Analog(0x20, 4);  // default sag and swell, module with an old name: never listed
  CAnalogCfg* ia = Analog(0x100, 2);
  ia->m_oModuleType.SetModuleType("815205");  // no old name
  group_->SetRefChannel(ia);
  Analog(CAnalogCfg::kDCType, 3);
  auto* sum = File(new CSummationCfg(group_, line_, 0x1000), 1);
  sum->m_fInputAOffset[2] = 0.5f;
  File(new cLogicCfg(group_, line_), 1);
  File(new cFaultLocCfg(group_, line_), 1)->m_Inputs[cFaultLocCfg::eIB].m_orefPhasor.m_pPhasor = sum;
  File(new cPFDetCfg(group_, line_), 1);
  for (int i = 1; i <= 10; ++i) new CMeterGroup("G" + std::to_string(i), &cfg_);
  new cTrend(&cfg_);
  cfg_.m_pStorageAlarms->m_nRecordAlarm = 3;  // the contact the host edits; REC_ALARM still 0

  // The blocks in the order the scan lists them.
  const std::vector<Lines> block = {
      {"Version 1 Setting Files do not support Logic and Fault Locator Functions.",
       "The following Functions will be removed from the setting file:", "Line1:Logic", "Line1:FLoc",
       "Line1:PF", " "},
      {"Recorders that expect Version 1 or 2 Setting Files do not support Notify",
       "detector actions.  While existing Notify settings will be preserved, they",
       "will be inoperative until the recorder has been upgraded and the Setting",
       "file converted to Version 3 (or above).  The following detectors are", "affected:", "Line1:Va[HiLev]",
       "Line1:Va[LoLev]", " "},
      {"Versions 1,2, and 3 Setting Files do not support more than 8 Meter Groups.",
       "Any excess will be removed.  The following Meter Groups will be affected:", "G9", "G10", " "},
      {"Trending is not supported in Setting Files with versions earlier",
       " than Version 4.  All Trend definitions will be dropped.", " "},
      {"Sag and Swell detector definitions are not supported in Setting Files",
       "with versions earlier than Version 4.  The following Analog Channels",
       "will lose their Sag and Swell detector definitions:", "Line1:Va", " "},
      {"Angle Offsets in Summation channels are not supported in Setting",
       "Files with versions earlier than Version 4.  The following Summation",
       "Channels will lose their Angle Offset definitions:", "Line1:VaSum", " "},
      {"Configurable angle reference channels are not supported in Setting",
       "Files with versions earlier than Version 5.  The following Channel",
       "Groups are affected:", "Channel Group 1", " "},
      {"DC analog channels are not supported in Setting Files with versions",
       "earlier than Version 5.  The following Analog Channel definitions", "will be removed:", "Line1:DC",
       " "},
      {"The following analog channels are configured with a Module Type that",
       "cannot be supported in Setting Files earlier than Version 5.  The",
       "following Analog Channel definitions will be removed:", "Line1:Ia", " "},
      {"Power Factor Detectors are not supported in Setting Files with versions",
       "earlier than Version 5.  The following Power factor Detector definitions",
       "will be removed:", "Line1:PF", " "},
      {"An alarm to be used as an \"Almost Full\" indicator for Recordings",
       "is not available for Setting Files with versions earlier than Version 6.",
       "Your setting for this parameter will be lost, and no contact will be", "assigned.", " "},
      {"Fault Locator channels with Summation Current Inputs are not supported",
       "in Setting Files with versions earlier than Version 6.  The following",
       "Fault Locator channels may be removed, or some or all of their current",
       "input definitions may be removed:", "Line1:FLoc", " "},
  };
  const auto from = [&](int first) {
    Lines out;
    for (int b = first; b <= 12; ++b) out = Join({out, block[b - 1]});
    return out;
  };
  for (int version : {1, 2, 3}) EXPECT_EQ(Scan(version), from(version)) << version;
  EXPECT_EQ(Scan(4), from(7));
  EXPECT_EQ(Scan(5), from(11));
  for (int version : {6, 7, 201}) EXPECT_EQ(Scan(version), Lines{}) << version;

  // A configuration made for version 2 knows no Notify; the scan appends to what the list holds.
  id_->m_nSettingsVers = 2;
  EXPECT_EQ(Scan(2, {"kept"}), Join({{"kept"}, from(3)}));

  // The contact saving writes is the storage alarms' one, whatever REC_ALARM still says.
  cfg_.m_pStorageAlarms->m_nRecordAlarm = 0;
  cfg_.m_pLimitsCfg->m_nRecAlarm = 5;
  EXPECT_EQ(Scan(5), from(12));
}

TEST_F(VersionScanTest, NewerFamilyAndDownwardConversion) {
  EXPECT_EQ(Scan(201), Lines{});
  id_->m_nNumBanks = 2;  // a two-board recorder
  const Lines merge = {"HELVO 7700 supports only Channel Group 1. This conversion",
                       "merges the settings created under Channel Group 2 into Channel Group 1.",
                       "All the element names in Channel Group2 will be appended with ':2'",
                       "and displayed under Channel Group 1"};
  const Lines pmu = {"All Phasor Measurement Unit (PMU) configuration information, if present",
                     "will be removed from the setting file"};
  const Lines pmuCdr = {"All Phasor Measurement Unit (PMU) and Continuous Disturbance Recording (CDR)",
                        " configuration information, if present will be removed from the setting file"};
  const Lines cdr = {"All Continuous Disturbance Recording (CDR) configuration information, if present",
                     "will be removed from the setting file"};
  EXPECT_EQ(Scan(201), merge);
  EXPECT_EQ(Scan(204), merge);  // every newer version folds the second group
  cfg_.m_nLoadedSetVer = 202;
  EXPECT_EQ(Scan(201), Join({merge, pmu}));
  EXPECT_EQ(Scan(202), merge);
  cfg_.m_nLoadedSetVer = 203;
  EXPECT_EQ(Scan(201), Join({merge, pmuCdr}));
  EXPECT_EQ(Scan(202), Join({merge, cdr}));
  EXPECT_EQ(Scan(203), merge);
  cfg_.m_nLoadedSetVer = 201;
  new cTrend(&cfg_);
  EXPECT_EQ(Scan(5, {"kept"}), (Lines{"kept", "DownwardConversionError"}));
}

TEST_F(VersionScanTest, ConfirmationDialogShowsTheLinesAndReturnsTheAnswer) {
  StringList lines;
  lines.AddTail("first");
  lines.AddTail(" ");
  cConfirmVersionDlg dlg(nullptr, &lines);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.DoModal(), IDOK);  // each showing starts from an empty edit box
  ASSERT_EQ(ui_.dialogs.size(), 2u);
  const DialogModel& shown = ui_.dialogs[1];
  EXPECT_EQ(shown.title, "Generate HELVO Setting File");
  EXPECT_EQ(shown.editText, "first\r\n \r\n");
  ASSERT_EQ(shown.buttons.size(), 2u);
  EXPECT_EQ(shown.buttons[0].text, "Continue");

  ui_.reply = IDNO;  // anything but Continue cancels
  EXPECT_EQ(cConfirmVersionDlg(nullptr, nullptr).DoModal(), IDCANCEL);
  EXPECT_EQ(ui_.dialogs.back().editText, "");
  EXPECT_TRUE(ui_.messages.empty());

  // A sink that only shows message boxes still shows the dialog's texts, and continues.
  struct MessagesOnly : UserInterface {
    int MessageBox(CWnd*, const std::string& text, const std::string& title, unsigned) override {
      shown = title + "|" + text;
      return IDCANCEL;
    }
    std::string shown;
  } boxes;
  ScopedUserInterface scoped(boxes);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(boxes.shown, "Generate HELVO Setting File|" + dlg.GetModel().staticText + "\nfirst\r\n \r\n");
}

}  // namespace
}  // namespace helvo
