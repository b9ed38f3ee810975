// Local date and time: the clock, MS-DOS packed date and time, and a day-count date-time
// value (days since 1899-12-30, fraction of a day as time) used for comparisons.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

struct LocalDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

using DateTimeValue = double;

// The current local date and time (clock_gettime and localtime_r; GetLocalTime on Windows).
LocalDateTime LocalNow();
// Local date and time of a time_t.
LocalDateTime ToLocal(std::time_t t);

// Packs into DOS form: date in the high 16 bits, time in the low 16 bits (2-second
// resolution). Years outside 1980..2107 cannot be given: returns 0xFFFFFFFF.
uint32_t ToDosDateTime(const LocalDateTime& t);
// The DOS time of a modification time, 0xFFFFFFFF when it cannot be given.
uint32_t TimeToDosDateTime(std::time_t t);

// Date-time value of a calendar date and time; false when the fields are no valid date
// and time of day.
bool TryEncodeDateTime(const LocalDateTime& t, DateTimeValue& out);
// Date-time value of a DOS date and time; false when it is not a valid date and time.
bool TryDosDateTimeToValue(uint32_t dos, DateTimeValue& out);
DateTimeValue NowValue();

}  // namespace platform
