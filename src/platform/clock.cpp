#include "platform/clock.h"

#include <ctime>

#include "text/dates.h"

namespace ks {

int64_t SystemClock::tickMs() const {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

double SystemClock::now() const {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  time_t secs = ts.tv_sec;
  localtime_r(&secs, &local);
  return encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         encodeTime(local.tm_hour, local.tm_min, local.tm_sec,
                    static_cast<int>(ts.tv_nsec / 1000000));
}

Clock& systemClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace ks
