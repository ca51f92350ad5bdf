// Host time for the emulated machine. Local time is UTC plus the zone's current offset, the same
// offset FileTimeToLocalFileTime applies, so that GetLocalTime and a converted "now" agree. The
// tick count uses CLOCK_BOOTTIME, which like the Windows tick count goes on during suspend.
#include "platform/emulated/machine/host_clock.h"

#include <time.h>

#include "platform/win_error.h"

namespace platform {
namespace {

constexpr int64_t kTicksPerSecond = 10000000;

uint32_t AddBias(uint64_t ftTime, int64_t nBias, uint64_t& ftResult) {
  const uint64_t nMagnitude = static_cast<uint64_t>(nBias < 0 ? -nBias : nBias);
  if (nBias < 0 ? ftTime < nMagnitude : ftTime > 0x7FFFFFFFFFFFFFFFULL - nMagnitude)
    return ERROR_INVALID_PARAMETER;
  ftResult = nBias < 0 ? ftTime - nMagnitude : ftTime + nMagnitude;
  return ERROR_SUCCESS;
}

}  // namespace

int64_t HostClock::CurrentBiasTicks() {
  const time_t now = ::time(nullptr);
  if (now == biasSecond_) return nBiasTicks_;
  tm local{};
  nBiasTicks_ = ::localtime_r(&now, &local) ? local.tm_gmtoff * kTicksPerSecond : 0;
  biasSecond_ = now;
  return nBiasTicks_;
}

uint64_t HostClock::GetSystemTimeAsFileTime() {
  if (ftFixedLocal_) {
    uint64_t ftUtc = 0;
    LocalFileTimeToFileTime(*ftFixedLocal_, ftUtc);
    return ftUtc;
  }
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  uint64_t ftNow = 0;
  UnixTimeToFileTime(now.tv_sec, static_cast<uint32_t>(now.tv_nsec), ftNow);
  return ftNow;
}

void HostClock::GetSystemTime(SystemTime& st) {
  FileTimeToSystemTime(GetSystemTimeAsFileTime(), st);
}

void HostClock::GetLocalTime(SystemTime& st) {
  if (ftFixedLocal_) {
    FileTimeToSystemTime(*ftFixedLocal_, st);
    return;
  }
  uint64_t ftLocal = 0;
  FileTimeToLocalFileTime(GetSystemTimeAsFileTime(), ftLocal);
  FileTimeToSystemTime(ftLocal, st);
}

void HostClock::Sleep(uint32_t nMilliseconds) {
  timespec interval{static_cast<time_t>(nMilliseconds / 1000),
                    static_cast<long>(nMilliseconds % 1000) * 1000000L};
  while (nanosleep(&interval, &interval) != 0) {
  }
}

uint64_t HostClock::GetTickCount64() {
  timespec now{};
  ::clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

uint32_t HostClock::FileTimeToLocalFileTime(uint64_t ftUtc, uint64_t& ftLocal) {
  return AddBias(ftUtc, CurrentBiasTicks(), ftLocal);
}

uint32_t HostClock::LocalFileTimeToFileTime(uint64_t ftLocal, uint64_t& ftUtc) {
  return AddBias(ftLocal, -CurrentBiasTicks(), ftUtc);
}

bool HostClock::FixLocalTime(const SystemTime& st) {
  uint64_t ftLocal = 0;
  if (!SystemTimeToFileTime(st, ftLocal)) return false;
  ftFixedLocal_ = ftLocal;
  return true;
}

}  // namespace platform
