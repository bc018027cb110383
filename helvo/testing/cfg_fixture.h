// Fixture for tests of the configuration model: the host's settings store points at a file in a fresh
// temporary folder (missing until a test writes it), the process-wide header and generation statics
// are restored afterwards, and messages are recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "helvo/host/host_settings.h"
#include "helvo/model/class_tables.h"
#include "helvo/platform/user_interface.h"
#include "helvo/testing/test_model.h"

namespace helvo::testing {

class CfgTest : public ::testing::Test {
 protected:
  CfgTest() {
    if (const char* old = std::getenv("HELVO_SETTINGS_FILE")) oldStore_ = old;
    setenv("HELVO_SETTINGS_FILE", dir_.File("settings.reg").c_str(), 1);
    ResetSettingVersionLimit();
  }
  ~CfgTest() override {
    ResetSettingVersionLimit();
    if (oldStore_)
      setenv("HELVO_SETTINGS_FILE", oldStore_->c_str(), 1);
    else
      unsetenv("HELVO_SETTINGS_FILE");
    CHelvoCfgTables::m_iIedGen = gen_;
    CHelvoCfgTables::m_nSetVer = setVer_;
    CHelvoCfgTables::m_nBank = bank_;
    CHelvoCfgTables::m_nAChan = aChan_;
    CHelvoCfgTables::m_nSRate = sRate_;
  }

  // Writes the host's settings: value lines of the application's key.
  void HostSettings(const std::string& values) {
    dir_.Write("settings.reg",
               "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\DQF\\HELVO Voduvez Eroza]\r\n" + values);
    ResetSettingVersionLimit();
  }

  TempDir dir_;
  ScopedFilerStatics statics_;
  RecordingUserInterface ui_;
  ScopedUserInterface scopedUi_{ui_};

 private:
  std::optional<std::string> oldStore_;
  int gen_ = CHelvoCfgTables::m_iIedGen, setVer_ = CHelvoCfgTables::m_nSetVer,
      bank_ = CHelvoCfgTables::m_nBank, aChan_ = CHelvoCfgTables::m_nAChan,
      sRate_ = CHelvoCfgTables::m_nSRate;
};

}  // namespace helvo::testing
