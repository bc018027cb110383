#include "helvo/host/library.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "helvo/host/errors.h"
#include "helvo/model/class_tables.h"
#include "helvo/platform/string_table.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

class LibraryTest : public testing::CfgTest {};

TEST_F(LibraryTest, EveryModelClassIsCreatedByName) {
  EXPECT_EQ(HelvoLibraryInit() + HelvoLibraryInit(), 2);
  EXPECT_EQ(LoadString(10272), "ANALOG_INPUT");
  for (const sClassInfo& row : CHelvoCfgTables::ClassTable) {
    if (!row.m_pClass) continue;
    std::unique_ptr<CObject> obj(RuntimeClass::CreateObject(row.m_pClass->m_lpszClassName));
    ASSERT_NE(obj, nullptr) << row.m_pClass->m_lpszClassName;
    EXPECT_EQ(obj->GetRuntimeClass(), row.m_pClass);
  }
  for (const char* name : {"CAnalogCfg", "CHelvoCfg", "cTrend", "CMeterGroup", "cFLInput"})
    EXPECT_NE(std::unique_ptr<CObject>(RuntimeClass::CreateObject(name)), nullptr) << name;
  for (const char* name : {"CNoSuchCfg", "", "canalogcfg", "CActionBlock"})  // CActionBlock: not by name
    EXPECT_EQ(RuntimeClass::CreateObject(name), nullptr) << name;
}

TEST_F(LibraryTest, WriteFailureReportAndHostException) {
  cVoduvezErozaErrorHandler(3, 132, true, false, true);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text,
            "Error 132 (module 3): The settings file could not be created or written. The previous file, if "
            "any, is unchanged.");
  const cVoduvezErozaErrorHandler silent(7, 9, false, true, true);  // neither shown nor thrown
  EXPECT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(silent.GetErrorString(), "Error 9 (module 7): An unexpected error occurred.");

  std::string text = "lost";
  cDQFexception copy(std::string("x"), 1);
  copy = cDQFexception(text, 0xBEEF);
  text = "changed";
  try {
    throw copy;
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "lost");
    EXPECT_EQ(dynamic_cast<const cDQFexception&>(e).status(), 0xBEEF);
  }
}

}  // namespace
}  // namespace helvo
