#include "helvo/scaling/module_type.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace helvo {
namespace {

std::string Written(cModuleType module, int version) {
  std::string text = "stale";
  int freq = 60;
  EXPECT_EQ(module.ConvertOut(nullptr, text, version, freq), 0u);
  return text;
}

cModuleType Read(const std::string& fileText) {
  cModuleType module(11772);  // anything valid, to see what reading replaces
  std::string text = fileText;
  int freq = 60;
  module.ConvertIn(nullptr, text, freq);
  return module;
}

TEST(ModuleTypeTest, RowsDecodeAndOddRowsAreCleared) {
  const cModuleType dc(11779), low(11783);
  EXPECT_EQ(dc.IsProgrammed() - low.IsProgrammed(), 1);
  EXPECT_EQ(dc.GetFlags(), 0xFFFFFFFFul);
  EXPECT_STREQ(dc.GetUnits(), "");  // "*" reads as empty
  EXPECT_STREQ(low.GetModuleType(), "815212 Low V");
  EXPECT_FLOAT_EQ(low.GetMinValue(), 0.2f);

  for (int id : {IDS_MODULE_HEADER, IDS_MODULE_END, 0, 99999}) {
    const cModuleType m(id);
    EXPECT_EQ(m.IsValid() + m.GetFlags(), 0ul) << id;
    EXPECT_STREQ(m.GetModuleType(), "") << id;
  }

  // A row that cannot be read whole leaves the module as it was.
  cModuleType m(11775);
  EXPECT_EQ(m.ReadResource(IDS_MODULE_HEADER), 0);
  EXPECT_STREQ(m.GetModuleType(), "815204 5Aac");
  EXPECT_EQ(m.DecodeString("815299 X,*,F0,1,V,2,3"), 0);                                 // seven columns
  EXPECT_EQ(m.DecodeString(std::string(40, 'n').append(",*,F0,1,V,2,3,4").c_str()), 0);  // name too long
  EXPECT_EQ(m.DecodeString("N,*,F0,1,Volts123,2,3,4"), 0);                               // unit too long
  EXPECT_EQ(m.DecodeString(",*,F0,1,V,2,3,4"), 0);                                       // empty name
  EXPECT_EQ(m.DecodeString(nullptr), 0);
  EXPECT_STREQ(m.GetModuleType(), "815204 5Aac");
  EXPECT_FLOAT_EQ(m.GetPhaseErr(), 3.1f);

  // Columns as the C library's scanning reads them: blanks before numbers, a 0x prefix, exponents.
  EXPECT_EQ(m.DecodeString("N,O, 0x1f,1e1,*mV, -2.5,.5,7"), 1);
  EXPECT_EQ(m.GetFlags(), 0x1Ful);
  EXPECT_FLOAT_EQ(m.GetNominalValue(), 10.0f);
  EXPECT_STREQ(m.GetUnits(), "");
  EXPECT_FLOAT_EQ(m.GetMinValue(), 0.5f);

  // Numbers do not depend on the process's locale (a decimal comma would split the columns).
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
    EXPECT_EQ(m.DecodeString("N,O,F0,0.4,V,1,2,3"), 1);
    EXPECT_FLOAT_EQ(m.GetNominalValue(), 0.4f);
    std::setlocale(LC_NUMERIC, "C");
  }
}

TEST(ModuleTypeTest, SetModuleTypeMatchesCatalogueNumberOrOldName) {
  cModuleType m;
  EXPECT_EQ(m.SetModuleType("815203"), 1);
  EXPECT_STREQ(m.GetModuleType(), "815203 480Vac");
  EXPECT_EQ(m.SetModuleType("AC:5A:20x"), 1);
  EXPECT_STREQ(m.GetModuleType(), "815204 5Aac");
  EXPECT_EQ(m.SetModuleType("815210 anything after"), 1);
  EXPECT_STREQ(m.GetModuleType(), "815210 1Aac");
  EXPECT_FLOAT_EQ(m.GetPhaseErr(), 0.7f);

  for (const char* miss : {"8152", "81520", "ac:5a:20x", "AC:5A:20", "", "*"}) {
    cModuleType valid(11772);
    EXPECT_EQ(valid.SetModuleType(miss), 0) << miss;
    EXPECT_EQ(valid.IsValid(), 0) << miss;
  }
  EXPECT_EQ(m.SetModuleType(nullptr), 0);
  EXPECT_EQ(m.IsValid(), 0);
}

TEST(ModuleTypeTest, FileTextFollowsVersion) {
  cModuleType old = Read("AC:69V:2x");
  EXPECT_STREQ(old.GetModuleType(), "815201 69Vac Common Neutral");
  EXPECT_EQ(Written(old, 5), "815201");
  EXPECT_EQ(Written(old, 201), "815201");
  EXPECT_EQ(Written(old, 4), "AC:69V:2x");

  EXPECT_EQ(Written(Read("815202"), 4), "");  // no old name

  cModuleType unknown = Read("999999 unknown");
  EXPECT_EQ(unknown.IsValid(), 0);
  EXPECT_EQ(Written(unknown, 4) + Written(unknown, 201), "");
}

}  // namespace
}  // namespace helvo
