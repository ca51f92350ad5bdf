// FILETIME (100 ns since 1601-01-01 UTC) and the host's timespec (since 1970), both ways.
#pragma once
#include <time.h>

#include <cstdint>

namespace platform::emulated {

inline constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
inline constexpr int64_t kFileTimeTicksPerSecond = 10000000LL;

inline uint64_t FileTimeOfTimespec(const timespec& ts) {
  const int64_t nTicks =
      (static_cast<int64_t>(ts.tv_sec) + kSecondsFrom1601To1970) * kFileTimeTicksPerSecond +
      ts.tv_nsec / 100;
  return nTicks < 0 ? 0 : static_cast<uint64_t>(nTicks);
}

inline timespec TimespecOfFileTime(uint64_t ftTime) {
  const auto nTicks = static_cast<int64_t>(ftTime);
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(nTicks / kFileTimeTicksPerSecond - kSecondsFrom1601To1970);
  ts.tv_nsec = static_cast<long>(nTicks % kFileTimeTicksPerSecond) * 100;
  return ts;
}

inline uint64_t CurrentFileTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return FileTimeOfTimespec(now);
}

}  // namespace platform::emulated
