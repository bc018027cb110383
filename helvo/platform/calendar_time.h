// Calendar time: seconds since 1970 with local-time formatting. Month and day names are always
// English, whatever the process locale, because they are written into settings files.
#pragma once

#include <ctime>
#include <string>

namespace helvo {

class CalendarTime {
 public:
  CalendarTime() = default;
  explicit CalendarTime(std::time_t t) : time_(t) {}
  // Local time from its parts (year like 2024, month 1-12); an invalid date gives time 0.
  CalendarTime(int year, int month, int day, int hour, int minute, int second);

  // Now; when SOURCE_DATE_EPOCH holds a number, that time instead, so saved files are reproducible.
  static CalendarTime GetCurrentTime();

  std::time_t GetTime() const { return time_; }
  void SetTime(std::time_t t) { time_ = t; }

  // strftime-like formatting in local time with English names. Supports %y %Y %b %B %m %d %e %H
  // %M %S %a %A %p %j %%; any other conversion is copied as it stands.
  std::string Format(const char* fmt) const;

  bool operator==(const CalendarTime&) const = default;

 private:
  std::time_t time_ = 0;
};

}  // namespace helvo
