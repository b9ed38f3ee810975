// The Linux local clock: the time zone's view of the system time.
#include <time.h>

#include "platform/DateTime.h"

namespace platform {

LocalDateTime ToLocal(std::time_t t) {
  struct tm tm {};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

LocalDateTime LocalNow() {
  struct timespec ts {};
  clock_gettime(CLOCK_REALTIME, &ts);
  return ToLocal(ts.tv_sec);
}

}  // namespace platform
