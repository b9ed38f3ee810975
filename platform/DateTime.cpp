#include "platform/DateTime.h"

namespace platform {
namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

uint32_t ToDosDateTime(const LocalDateTime& t) {
  if (t.year < 1980 || t.year > 2107) return 0xFFFFFFFFu;
  uint32_t date = static_cast<uint32_t>(((t.year - 1980) << 9) | (t.month << 5) | t.day);
  uint32_t time = static_cast<uint32_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
  return (date << 16) | time;
}

uint32_t TimeToDosDateTime(std::time_t t) { return ToDosDateTime(ToLocal(t)); }

bool TryEncodeDateTime(const LocalDateTime& t, DateTimeValue& out) {
  if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59)
    return false;
  // Days from 0001-01-01 to the date, then shifted so that 1899-12-30 is day 0.
  int y = t.year - 1;
  long days = y * 365L + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < t.month; ++m) days += DaysInMonth(t.year, m);
  days += t.day - 1;
  const long kEpoch = 693593;  // days from 0001-01-01 to 1899-12-30
  out = static_cast<double>(days - kEpoch) + (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
  return true;
}

bool TryDosDateTimeToValue(uint32_t dos, DateTimeValue& out) {
  LocalDateTime t;
  uint32_t date = dos >> 16, time = dos & 0xFFFF;
  t.year = 1980 + static_cast<int>(date >> 9);
  t.month = static_cast<int>((date >> 5) & 15);
  t.day = static_cast<int>(date & 31);
  t.hour = static_cast<int>(time >> 11);
  t.minute = static_cast<int>((time >> 5) & 63);
  t.second = static_cast<int>((time & 31) * 2);
  return TryEncodeDateTime(t, out);
}

DateTimeValue NowValue() {
  DateTimeValue v = 0;
  TryEncodeDateTime(LocalNow(), v);
  return v;
}

}  // namespace platform
