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
  EXPECT_EQ(HelvoLibraryInit(), 1);
  EXPECT_EQ(HelvoLibraryInit(), 1);
  EXPECT_EQ(LoadString(10272), "ANALOG_INPUT");

  int created = 0;
  for (const sClassInfo& row : CHelvoCfgTables::ClassTable) {
    if (!row.m_pClass) continue;
    std::unique_ptr<CObject> obj(RuntimeClass::CreateObject(row.m_pClass->m_lpszClassName));
    ASSERT_NE(obj, nullptr) << row.m_pClass->m_lpszClassName;
    EXPECT_EQ(obj->GetRuntimeClass(), row.m_pClass);
    ++created;
  }
  EXPECT_GE(created, 20);
  for (const char* name : {"CAnalogCfg", "CHelvoCfg", "cTrend", "CMeterGroup", "ceTrendOption", "cFLInput"}) {
    std::unique_ptr<CObject> obj(RuntimeClass::CreateObject(name));
    ASSERT_NE(obj, nullptr) << name;
    EXPECT_STREQ(obj->GetRuntimeClass()->m_lpszClassName, name);
  }
  // Not a class, a name in another letter case, and a class that is not created by name.
  for (const char* name : {"CNoSuchCfg", "", "canalogcfg", "CActionBlock"})
    EXPECT_EQ(RuntimeClass::CreateObject(name), nullptr) << name;
}

TEST_F(LibraryTest, WriteFailureReportAndHostException) {
  cVoduvezErozaErrorHandler(3, 132, true, false, true);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text,
            "Error 132 (module 3): The settings file could not be created or written. The previous file, if "
            "any, is unchanged.");
  EXPECT_EQ(ui_.messages[0].style & 0xF0u, MB_ICONERROR);

  const cVoduvezErozaErrorHandler silent(7, 9, false, true, true);  // neither shown nor thrown
  EXPECT_EQ(ui_.messages.size(), 1u);
  const cErrorHandler copy = silent;
  EXPECT_EQ(copy.GetErrorString(), "Error 9 (module 7): An unexpected error occurred.");
  EXPECT_EQ(copy.GetModulet(), 7);
  EXPECT_EQ(copy.GetErrort(), 9);
  EXPECT_EQ(cVoduvezErozaErrorHandler().GetErrorString(), "");

  std::string text = "lost";
  const cDQFexception original(text, 0xBEEF);
  text = "changed";  // the message was copied
  cDQFexception other(std::string("x"), 1);
  other = original;
  try {
    throw other;
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "lost");
    EXPECT_EQ(dynamic_cast<const cDQFexception&>(e).status(), 0xBEEF);
  }
}

}  // namespace
}  // namespace helvo
