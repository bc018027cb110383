// Fixture for tests of the configuration model: the host's settings store points at a file in a fresh
// temporary folder (missing until a test writes it), the process-wide header and generation statics
// are restored afterwards, and messages are recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "helvo/host/host_settings.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/user_interface.h"
#include "helvo/testing/scoped_env.h"
#include "helvo/testing/test_model.h"

namespace helvo::testing {

class CfgTest : public ::testing::Test {
 protected:
  CfgTest() { ResetSettingVersionLimit(); }
  ~CfgTest() override {
    ResetSettingVersionLimit();
    CHelvoCfgTables::m_iIedGen = gen_;
    CHelvoCfgTables::m_nSetVer = setVer_;
    CHelvoCfgTables::m_nBank = bank_;
    CHelvoCfgTables::m_nAChan = aChan_;
    CHelvoCfgTables::m_nSRate = sRate_;
  }

  // The header of "the file last read": `version` with `banks` boards of `analogs` inputs at `rate`;
  // derives the generation.
  static void SetFile(int version, int banks = 1, int analogs = 18, int rate = 96) {
    cFilerSections::m_nSettingVersion = CHelvoCfgTables::m_nSetVer = version;
    cFilerSections::m_nDSPBanks = banks;
    cFilerSections::m_nAChan = analogs;
    cFilerSections::m_nSampleRate = rate;
    CHelvoCfgTables::FunctionsPerDsp(eAnalogCfg);
  }
  // The same header as the one cfg read last (its own state, with the copies a read by path takes).
  static void SetFile(CHelvoCfg& cfg, int version, int banks = 1, int analogs = 18, int rate = 96) {
    sCfgState& state = cfg.m_State;
    state.m_Header.m_nSettingVersion = version;
    state.m_Header.m_nDSPBanks = banks;
    state.m_Header.m_nAChan = analogs;
    state.m_Header.m_nSampleRate = rate;
    state.TakeHeaderCopies();
  }

  // Writes the host's settings: value lines of the application's key. Unless told to keep it, the
  // remembered version limit is forgotten so that the next use reads the new settings.
  void HostSettings(const std::string& values, bool keepLimit = false) {
    dir_.Write("settings.reg",
               "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\DQF\\HELVO Voduvez Eroza]\r\n" + values);
    if (!keepLimit) ResetSettingVersionLimit();
  }

  TempDir dir_;
  ScopedEnv store_{"HELVO_SETTINGS_FILE", dir_.File("settings.reg").c_str()};
  ScopedFilerStatics statics_;
  RecordingUserInterface ui_;
  ScopedUserInterface scopedUi_{ui_};

 private:
  int gen_ = CHelvoCfgTables::m_iIedGen, setVer_ = CHelvoCfgTables::m_nSetVer,
      bank_ = CHelvoCfgTables::m_nBank, aChan_ = CHelvoCfgTables::m_nAChan,
      sRate_ = CHelvoCfgTables::m_nSRate;
};

// A one-board file of `Version` (generation 1 for versions up to 7), as IdSection(Version) says.
template <int Version>
class HeaderTest : public CfgTest {
 protected:
  HeaderTest() { SetFile(Version); }
};

}  // namespace helvo::testing
