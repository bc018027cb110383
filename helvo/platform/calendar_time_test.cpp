#include "helvo/platform/calendar_time.h"

#include <gtest/gtest.h>

#include "helvo/testing/scoped_env.h"

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

namespace helvo {
namespace {

using testing::ScopedEnv;

// Sets or unsets an environment variable for one scope.

TEST(CalendarTime, FormatsWithEnglishNamesInLocalTime) {
  const CalendarTime t(2024, 3, 4, 9, 5, 3);
  EXPECT_EQ(t.Format("%y %b %d %H:%M:%S"), "24 Mar 04 09:05:03");
  EXPECT_EQ(t.Format("%Y %B %e %a %A %p %j %m %% %q"), "2024 March  4 Mon Monday AM 064 03 % %q");
  EXPECT_EQ(CalendarTime(2023, 12, 31, 23, 0, 0).Format("%b %j %p"), "Dec 365 PM");
  EXPECT_EQ(CalendarTime(2024, 2, 30, 0, 0, 0).Format("%b %d"), "Mar 01");  // normalised like mktime
  EXPECT_EQ(t.Format("100%"), "100%");

  // Names stay English whatever the process locale.
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* german = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
    if ((german = std::setlocale(LC_ALL, name))) break;
  if (!german) GTEST_SKIP() << "no non-English locale installed";
  EXPECT_EQ(CalendarTime(2024, 5, 6, 14, 0, 0).Format("%b %B %a"), "May May Mon");
  EXPECT_EQ(CalendarTime(2024, 12, 1, 0, 0, 0).Format("%b %A"), "Dec Sunday");
  std::setlocale(LC_ALL, previous.c_str());
}

TEST(CalendarTime, SourceDateEpochFixesNow) {
  {
    ScopedEnv env("SOURCE_DATE_EPOCH", "1709543103");
    EXPECT_EQ(CalendarTime::GetCurrentTime().GetTime(), 1709543103);
  }
  for (const char* bad : {"", "12x", "-5", "99999999999999999999999"}) {
    ScopedEnv env("SOURCE_DATE_EPOCH", bad);
    const std::time_t now = std::time(nullptr);
    EXPECT_GE(CalendarTime::GetCurrentTime().GetTime(), now) << bad;
  }
}

}  // namespace
}  // namespace helvo
