// FILETIME values of the host's timespecs and back, through the clock's Unix time conversions.
#pragma once
#include <time.h>

#include <cstdint>

#include "platform/clock.h"

namespace platform::emulated {

// 0 for a host time a FILETIME cannot hold (before 1601).
inline uint64_t FileTimeOfTimespec(const timespec& ts) {
  uint64_t ftTime = 0;
  if (!UnixTimeToFileTime(ts.tv_sec, static_cast<uint32_t>(ts.tv_nsec), ftTime)) return 0;
  return ftTime;
}

inline timespec TimespecOfFileTime(uint64_t ftTime) {
  int64_t nSeconds = 0;
  uint32_t nNanoseconds = 0;
  FileTimeToUnixTime(ftTime, nSeconds, nNanoseconds);
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(nSeconds);
  ts.tv_nsec = static_cast<long>(nNanoseconds);
  return ts;
}

inline uint64_t CurrentFileTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return FileTimeOfTimespec(now);
}

}  // namespace platform::emulated
