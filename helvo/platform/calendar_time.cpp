#include "helvo/platform/calendar_time.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "helvo/platform/format.h"

namespace helvo {

namespace {

constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string Abbrev(const char* name) {
  return std::string(name, 3);
}

// mktime re-reads the time zone on every call, replacing the C library's copy of its name. The C
// library locks that internally, where a thread checker cannot see it; conversions on several threads
// (saves of different configurations) take turns here.
std::mutex& TimeZoneMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

CalendarTime::CalendarTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  std::time_t t;
  {
    std::lock_guard lock(TimeZoneMutex());
    t = std::mktime(&tm);
  }
  time_ = t == static_cast<std::time_t>(-1) ? 0 : t;
}

CalendarTime CalendarTime::GetCurrentTime() {
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(epoch, &end, 10);
    if (end != epoch && *end == '\0' && errno == 0 && v >= 0)
      return CalendarTime(static_cast<std::time_t>(v));
  }
  return CalendarTime(std::time(nullptr));
}

std::string CalendarTime::Format(const char* fmt) const {
  std::tm tm{};
  const std::time_t t = time_;
  {
    std::lock_guard lock(TimeZoneMutex());
    if (!localtime_r(&t, &tm)) return std::string();
  }
  const int mon = tm.tm_mon >= 0 && tm.tm_mon < 12 ? tm.tm_mon : 0;
  const int wday = tm.tm_wday >= 0 && tm.tm_wday < 7 ? tm.tm_wday : 0;
  std::string out;
  for (const char* p = fmt; *p; ++p) {
    if (*p != '%' || p[1] == '\0') {
      out += *p;
      continue;
    }
    ++p;
    switch (*p) {
      case 'y':
        out += helvo::Format("%02d", ((tm.tm_year % 100) + 100) % 100);
        break;
      case 'Y':
        out += helvo::Format("%d", tm.tm_year + 1900);
        break;
      case 'b':
        out += Abbrev(kMonths[mon]);
        break;
      case 'B':
        out += kMonths[mon];
        break;
      case 'm':
        out += helvo::Format("%02d", tm.tm_mon + 1);
        break;
      case 'd':
        out += helvo::Format("%02d", tm.tm_mday);
        break;
      case 'e':
        out += helvo::Format("%2d", tm.tm_mday);
        break;
      case 'H':
        out += helvo::Format("%02d", tm.tm_hour);
        break;
      case 'M':
        out += helvo::Format("%02d", tm.tm_min);
        break;
      case 'S':
        out += helvo::Format("%02d", tm.tm_sec);
        break;
      case 'a':
        out += Abbrev(kDays[wday]);
        break;
      case 'A':
        out += kDays[wday];
        break;
      case 'p':
        out += tm.tm_hour < 12 ? "AM" : "PM";
        break;
      case 'j':
        out += helvo::Format("%03d", tm.tm_yday + 1);
        break;
      case '%':
        out += '%';
        break;
      default:
        out += '%';
        out += *p;
        break;
    }
  }
  return out;
}

}  // namespace helvo
