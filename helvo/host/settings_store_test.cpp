#include "helvo/host/settings_store.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include "helvo/testing/scoped_env.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "helvo/testing/test_model.h"

namespace helvo {
namespace {

using testing::ScopedEnv;

constexpr const char* kKey = "SOFTWARE\\DQF\\HELVO Voduvez Eroza";

SettingsValue Query(const cSettingsStore& store, const char* name) {
  SettingsValue v;
  EXPECT_TRUE(store.QueryValue(kKey, name, v)) << name;
  return v;
}

TEST(SettingsStoreTest, LocationFollowsEnvironment) {
  ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
  ScopedEnv home("HOME", "/home/u");
  {
    ScopedEnv file("HELVO_SETTINGS_FILE", "/tmp/x.reg");
    EXPECT_EQ(GetSettingsStorePath(), "/tmp/x.reg");
  }
  ScopedEnv file("HELVO_SETTINGS_FILE", "");  // empty counts as not set
  EXPECT_EQ(GetSettingsStorePath(), "/cfg/DQF/HELVO Voduvez Eroza/settings.reg");
  ScopedEnv relative("XDG_CONFIG_HOME", "rel");  // a relative folder counts as not set
  EXPECT_EQ(GetSettingsStorePath(), "/home/u/.config/DQF/HELVO Voduvez Eroza/settings.reg");
  ScopedEnv noHome("HOME", nullptr);
  EXPECT_EQ(GetSettingsStorePath(), "");
}

TEST(SettingsStoreTest, ReadsEveryValueForm) {
  cSettingsStore store;
  ASSERT_EQ(store.Parse("\r\nREGEDIT4\r\n"
                        "; a comment\r\n"
                        "\"Outside\"=dword:00000001\r\n"
                        "[HKEY_CURRENT_USER\\software\\dqf\\helvo voduvez eroza]\r\n"
                        "\"Limit\"=DWORD:D2\r\n"
                        "\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n"
                        "@=\"default\"\r\n"
                        "\"List\"=hex(7):6d,b3,2f,\\\r\n"
                        "  73,00,00\r\n"
                        "\"Bin\"=hex:\r\n"
                        "\"Word\"=hex(4):01,02,03,04\r\n"
                        "\"limit\"=dword:000000d3\r\n"
                        "\"Last\"=dword:5"),
            cSettingsStore::kLoaded);
  EXPECT_TRUE(store.KeyExists("SOFTWARE\\DQF"));  // a parent of a key that is present
  EXPECT_FALSE(store.KeyExists("SOFTWARE\\DQF\\HELVO"));

  std::uint32_t d = 0;
  // Names ignore case; the last occurrence counts.
  EXPECT_TRUE(Query(store, "LIMIT").GetDword(d) && d == 0xD3u);
  EXPECT_EQ(Query(store, "Path").m_Data, "C:\\a \"b\"");
  EXPECT_EQ(Query(store, "").m_Data, "default");
  EXPECT_EQ(Query(store, "List").GetMultiString(), std::vector<std::string>{"m\xB3/s"});
  EXPECT_EQ(Query(store, "Bin").m_nType, REG_BINARY);
  EXPECT_TRUE(Query(store, "Bin").m_Data.empty());
  EXPECT_TRUE(Query(store, "Word").GetDword(d) && d == 0x04030201u);
  EXPECT_TRUE(Query(store, "Last").GetDword(d));  // no line end at the end of the file
  SettingsValue v;
  EXPECT_FALSE(store.QueryValue(kKey, "Outside", v));  // before any key
}

TEST(SettingsStoreTest, MalformedLinesAreSkipped) {
  cSettingsStore store;
  ASSERT_EQ(store.Parse("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n"
                        "\"A\"=dword:123456789\n"  // nine digits
                        "\"D\"=\"bad \\n escape\"\n"
                        "\"E\"=hex(7):6g,00\n"
                        "\"H\"=\"x\" trailing\n"
                        "\"I\"=hex(7):61,\\\n"
                        "[HKEY_CURRENT_USER\\Other]\n"  // not a continuation
                        "\"J\"=dword:1\n"
                        "[HKEY_CURRENT_USER\\Broken\n"
                        "\"K\"=dword:1\n"
                        "[-HKEY_CURRENT_USER\\K]\n"
                        "\"L\"=dword:1\n"
                        "garbage\n"),
            cSettingsStore::kLoaded);
  SettingsValue v;
  for (const char* name : {"A", "D", "E", "H", "J", "K", "L"})
    EXPECT_FALSE(store.QueryValue("K", name, v)) << name;
  ASSERT_TRUE(store.QueryValue("K", "I", v));  // the dangling backslash ends the value
  EXPECT_EQ(v.m_Data, "a");
  EXPECT_TRUE(store.QueryValue("Other", "J", v));
  EXPECT_FALSE(store.QueryValue("Other", "K", v));  // a broken header opens no key

  EXPECT_EQ(store.Parse("Windows Registry Editor Version 5.00\r\n"), cSettingsStore::kNotRegedit4);
  EXPECT_EQ(store.Parse("; comment\nREGEDIT4\n"), cSettingsStore::kNotRegedit4);
  EXPECT_FALSE(store.KeyExists("K"));
  using namespace std::string_literals;
  ASSERT_EQ(store.Parse("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\0\"=dword:1\n"s), cSettingsStore::kLoaded);
  EXPECT_TRUE(store.QueryValue("K", "A\0"s, v));
}

TEST(SettingsStoreTest, SetValueChangesOnlyItsOwnLines) {
  const std::string original =
      "REGEDIT4\r\n\r\n; keep me\r\n[HKEY_CURRENT_USER\\K]\r\n\"A\"=dword:00000001\r\n"
      "\"L\"=hex(7):61,00,\\\r\n  "
      "62,00,00\r\n\"Z\"=\"z\"\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=dword:2\r\n";
  cSettingsStore store;
  ASSERT_EQ(store.Parse(original), cSettingsStore::kLoaded);

  ASSERT_TRUE(store.SetValue("k", "l", SettingsValue::MultiString({"c"})));  // replaces both lines
  ASSERT_TRUE(store.SetValue("K", "New", SettingsValue::String("q\"\\")));   // after the key's last value
  ASSERT_TRUE(store.SetValue("Fresh", "N", SettingsValue::Dword(255)));      // a new key at the end
  EXPECT_EQ(store.GetText(),
            "REGEDIT4\r\n\r\n; keep me\r\n[HKEY_CURRENT_USER\\K]\r\n\"A\"=dword:00000001\r\n"
            "\"L\"=hex(7):63,00,00\r\n\"Z\"=\"z\"\r\n\"New\"=\"q\\\"\\\\\"\r\n\r\n"
            "[HKEY_CURRENT_USER\\Other]\r\n\"A\"=dword:2\r\n\r\n"
            "[HKEY_CURRENT_USER\\Fresh]\r\n\"N\"=dword:000000ff\r\n");

  // A long list is wrapped and reads back as it was written.
  std::vector<std::string> many;
  for (int i = 0; i < 30; ++i) many.push_back("unit" + std::to_string(i));
  ASSERT_TRUE(store.SetValue("K", "L", SettingsValue::MultiString(many)));
  const std::string wrapped = store.GetText();
  for (std::size_t pos = 0, end; pos < wrapped.size(); pos = end + 1) {
    end = wrapped.find('\n', pos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LE(end - pos, 81u);
  }
  cSettingsStore again;
  ASSERT_EQ(again.Parse(store.GetText()), cSettingsStore::kLoaded);
  SettingsValue v;
  ASSERT_TRUE(again.QueryValue("K", "L", v));
  EXPECT_EQ(v.GetMultiString(), many);

  EXPECT_FALSE(store.SetValue("K", "Bad", SettingsValue::String("two\nlines")));

  // A file whose last line ends in a lone carriage return: a value added after that line, or a key
  // added after it, must not leave "\r\r\n", which would turn the header into a line that opens no key.
  for (const char* last : {"[HKEY_CURRENT_USER\\K]\r", "[HKEY_CURRENT_USER\\K]\r\n\"A\"=dword:1\r"}) {
    cSettingsStore cr;
    ASSERT_EQ(cr.Parse(std::string("REGEDIT4\r\n") + last), cSettingsStore::kLoaded);
    ASSERT_TRUE(cr.SetValue("K", "B", SettingsValue::Dword(2)));
    ASSERT_TRUE(cr.SetValue("Other", "C", SettingsValue::Dword(3)));
    EXPECT_EQ(cr.GetText().find("\r\r"), std::string::npos) << last;
    EXPECT_TRUE(cr.QueryValue("K", "B", v) && v.m_Data == SettingsValue::Dword(2).m_Data) << last;
    EXPECT_TRUE(cr.QueryValue("Other", "C", v)) << last;
    EXPECT_EQ(cr.QueryValue("K", "A", v), std::string(last).find("\"A\"") != std::string::npos) << last;
  }

  cSettingsStore empty;  // nothing loaded: a new image
  ASSERT_TRUE(empty.SetValue("K", "A", SettingsValue::Dword(1)));
  EXPECT_EQ(empty.GetText(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=dword:00000001\n");
}

class SettingsFileTest : public ::testing::Test {
 protected:
  bool Write(const char* name, std::uint32_t value) {
    return UpdateSettingsValue(kKey, name, [&](const SettingsValue*, SettingsValue& next) {
      next = SettingsValue::Dword(value);
      return true;
    });
  }

  testing::TempDir dir_;
  ScopedEnv env_{"HELVO_SETTINGS_FILE", dir_.File("sub/settings.reg").c_str()};
};

TEST_F(SettingsFileTest, CreatesUpdatesAndNeverOverwritesForeignFiles) {
  SettingsValue v;
  EXPECT_EQ(QuerySettingsValue(kKey, "A", v), eSettingsQuery::kNoKey);  // no folder, no file

  ASSERT_TRUE(Write("A", 1));
  EXPECT_EQ(dir_.Read("sub/settings.reg"),
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\DQF\\HELVO Voduvez Eroza]\n\"A\"=dword:00000001\n");
  EXPECT_EQ(QuerySettingsValue(kKey, "A", v), eSettingsQuery::kOk);
  EXPECT_EQ(QuerySettingsValue(kKey, "B", v), eSettingsQuery::kNoValue);

  // The update sees the value as stored now, and may decline.
  bool sawCurrent = false;
  EXPECT_FALSE(UpdateSettingsValue(kKey, "A", [&](const SettingsValue* current, SettingsValue&) {
    std::uint32_t d = 0;
    sawCurrent = current && current->GetDword(d) && d == 1;
    return false;
  }));
  EXPECT_TRUE(sawCurrent);

  // Not REGEDIT4: never replaced, and no key opens.
  const std::string foreign = "; my notes\nREGEDIT4\n";
  dir_.Write("sub/settings.reg", foreign);
  EXPECT_EQ(QuerySettingsValue(kKey, "A", v), eSettingsQuery::kNoKey);
  EXPECT_FALSE(Write("A", 2));
  EXPECT_EQ(dir_.Read("sub/settings.reg"), foreign);

  // A file with nothing in it is started afresh.
  dir_.Write("sub/settings.reg", "\r\n \n");
  EXPECT_TRUE(Write("A", 3));
  EXPECT_EQ(dir_.Read("sub/settings.reg").substr(0, 9), "REGEDIT4\n");

  // A store that cannot be read (here a folder in its place) is neither read nor replaced.
  testing::TempDir blocked;
  ASSERT_EQ(mkdir(blocked.File("settings.reg").c_str(), 0700), 0);
  {
    ScopedEnv elsewhere("HELVO_SETTINGS_FILE", blocked.File("settings.reg").c_str());
    EXPECT_EQ(QuerySettingsValue(kKey, "A", v), eSettingsQuery::kNoKey);
    EXPECT_FALSE(Write("A", 4));
  }
  {
    ScopedEnv endless("HELVO_SETTINGS_FILE", "/dev/zero");  // read in bounded memory, then refused
    EXPECT_EQ(QuerySettingsValue(kKey, "A", v), eSettingsQuery::kNoKey);
  }
  EXPECT_EQ(QuerySettingsValue(kKey, "A", v), eSettingsQuery::kOk);
  std::uint32_t d = 0;
  EXPECT_TRUE(v.GetDword(d) && d == 3u);
}

}  // namespace
}  // namespace helvo
