#include "helvo/host/ied_def.h"

#include <gtest/gtest.h>

#include <string>

#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using IedDefTest = testing::CfgTest;

TEST_F(IedDefTest, ActiveDefinitionIsReadFromTheStore) {
  cIEDDef def;
  std::string name = "stale";
  EXPECT_EQ(def.GetActiveIED(name), 0);  // no store
  EXPECT_EQ(name, "");

  const std::string key = "[HKEY_CURRENT_USER\\SOFTWARE\\DQF\\HELVO Voduvez Eroza";
  dir_.Write("settings.reg",
             "REGEDIT4\n\n" + key + "]\n\"ActiveIED\"=\"North \\\"A\\\"\"\n\n" + key +
                 "\\IEDs\\North \"A\"]\n\"SerialNumber\"=\"hx-0042\"\n\"Generation\"=dword:3\n"
                 "\"RefChannel888\"=dword:00000100\n\n" +
                 key + "\\IEDs\\South]\n\"Generation\"=dword:00010001\n\"RefChannel888\"=\"1\"\n");
  EXPECT_EQ(def.GetActiveIED(name), 1);
  EXPECT_EQ(name, "North \"A\"");
  EXPECT_EQ(def.ReadFromRegistry(name.c_str()), 1);
  EXPECT_EQ(def.m_strSerialNumber, "hx-0042");
  EXPECT_EQ(def.m_nGeneration, 3);
  EXPECT_EQ(def.m_nRefChannel888, 1);

  // Another definition: every field is reset first; values out of range or of another type read as 0.
  EXPECT_EQ(def.ReadFromRegistry("south"), 1);
  EXPECT_EQ(def.m_strSerialNumber, "");
  EXPECT_EQ(def.m_nGeneration, 0);
  EXPECT_EQ(def.m_nRefChannel888, 0);

  for (const char* bad : {"", "Missing", "North \"A\"\\..", "x]"})
    EXPECT_EQ(def.ReadFromRegistry(bad), 0) << bad;
  EXPECT_EQ(def.ReadFromRegistry(nullptr), 0);
}

}  // namespace
}  // namespace helvo
