#include "helvo/host/library.h"

#include <gtest/gtest.h>

#include <string>

#include "helvo/host/errors.h"
#include "helvo/platform/runtime_class.h"
#include "helvo/platform/string_table.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using LibraryTest = testing::CfgTest;

TEST_F(LibraryTest, InitialisationLoadsTheStringsOnce) {
  EXPECT_EQ(HelvoLibraryInit() + HelvoLibraryInit(), 2);
  EXPECT_EQ(LoadString(10272), "ANALOG_INPUT");
  for (const char* name : {"CNoSuchCfg", "", "canalogcfg"})
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
