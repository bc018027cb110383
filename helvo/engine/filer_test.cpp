#include "helvo/engine/filer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/testing/test_model.h"

namespace helvo::testing {
namespace {

TEST(FilerModel, LookupsReturnTheFirstRegisteredMatch) {
  TestConfig c;
  EXPECT_EQ(c.GetSectionCount(), 6);
  c.AddFilerSection(10, new CFilerSection(0, 10));
  EXPECT_EQ(c.GetSection(10)->GetName(), "REC");  // first of the two class-10 sections
  EXPECT_EQ(c.GetSection(99), nullptr);
  EXPECT_EQ(c.GetSection(22)->HoldsObjects(), false);

  CFilerSection* rec = c.GetSection(10);
  CFilerEntry* intEntry = rec->FindEntryByOffset(FieldOf(&TestRecord::m_nInt));
  ASSERT_NE(intEntry, nullptr);
  EXPECT_EQ(intEntry->GetKeyName(), "INT");  // not the later OLD_INT alias of the same field
  EXPECT_EQ(rec->FindEntryByName("OLD_INT")->GetOffset(), intEntry->GetOffset());
  EXPECT_EQ(rec->FindEntryByName("DUP")->GetOffset(), FieldOf(&TestRecord::m_nDup));
  EXPECT_EQ(rec->FindEntryByName(""), rec->GetInstanceEntry());
  EXPECT_EQ(rec->GetInstanceEntry()->GetOffset(), FieldOf(&TestRecord::m_nNumber));
  EXPECT_EQ(rec->FindEntryByName("int"), nullptr);
  EXPECT_EQ(rec->FindEntryByOffset(FieldOf(&TestId::m_nBanks)), nullptr);

  // The reader's walk with a position hint finds what the plain look-up finds, whatever the order of
  // the keys: registration order (a name defined twice, DUP, still gives its first definition),
  // reversed, repeated, unknown.
  std::vector<std::string> keys;
  for (const CFilerEntry* e : rec->GetFilerList()) keys.push_back(e->GetKeyName());
  std::vector<std::string> walk = keys;
  walk.insert(walk.end(), keys.rbegin(), keys.rend());
  walk.insert(walk.end(), {"DUP", "DUP", "int", "OLD_INT", "INT", "INT"});
  size_t next = 0;
  for (const std::string& key : walk)
    EXPECT_EQ(rec->FindEntryByName(key, next), rec->FindEntryByName(key)) << key;
  EXPECT_FALSE(FieldOf(&TestRecord::m_nInt) == FieldOf(&TestRecord::m_nDup));

  // A field reference reaches its field in any object of its class and in none of another class.
  TestRecord r;
  TestId id;
  EXPECT_EQ(FieldOf(&TestRecord::m_nInt).Get(&r), &r.m_nInt);
  EXPECT_EQ(FieldOf(&TestRecord::m_Conv).Get(&r), static_cast<CFilerElement*>(&r.m_Conv));
  EXPECT_EQ(FieldOf(&TestRecord::m_nInt).Get(&id), nullptr);
}

TEST(FilerModel, ErrorTextsAndMeterSizes) {
  EXPECT_STREQ(cFilerContainer::ErrorString(eFilerNoError), "UNDEFINED ERROR");
  EXPECT_STREQ(cFilerContainer::ErrorString(eFilerOpenError), "Unable to open File");
  EXPECT_STREQ(cFilerContainer::ErrorString(eFilerReadError), "Error reading File");
  EXPECT_STREQ(cFilerContainer::ErrorString(eFilerWriteError), "Error writing File");
  EXPECT_STREQ(cFilerContainer::ErrorString(eFilerCRCError), "File has invalid CRC");
  const std::pair<int, long> sizes[] = {{-5, 488}, {1, 235}, {4, 235},   {5, 244},
                                        {7, 244},  {8, 488}, {202, 524}, {999, 524}};
  for (auto [version, size] : sizes) EXPECT_EQ(cFilerContainer::GetMeterSize(version), size) << version;
}

}  // namespace
}  // namespace helvo::testing
