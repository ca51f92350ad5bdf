// Time as the engine sees it: SYSTEMTIME-like calendar times, FILETIME values (100 ns ticks since
// 1601-01-01 UTC, as Windows keeps file and registry times) and a millisecond tick count. The
// conversions between them are pure functions so that file and registry code can use them
// without a clock; the Clock service adds what needs the host: now, the time zone, the ticks.
#pragma once
#include <cstdint>

namespace platform {

struct SystemTime {
  uint16_t wYear = 0;
  uint16_t wMonth = 0;      // 1..12
  uint16_t wDayOfWeek = 0;  // 0 Sunday .. 6 Saturday
  uint16_t wDay = 0;        // 1..31
  uint16_t wHour = 0;
  uint16_t wMinute = 0;
  uint16_t wSecond = 0;
  uint16_t wMilliseconds = 0;
};

// FILETIME of 1970-01-01 00:00:00 UTC.
inline constexpr uint64_t FILETIME_UNIX_EPOCH = 116444736000000000ULL;

// As Windows: false for values of 2^63 and above; the sub-millisecond part is dropped.
bool FileTimeToSystemTime(uint64_t ftTime, SystemTime& st);
// As Windows: false for a field out of range (years 1601..30827, real dates only); the day of
// the week is not looked at.
bool SystemTimeToFileTime(const SystemTime& st, uint64_t& ftTime);
// Unix seconds (negative before 1970) and nanoseconds 0..999999999; the FILETIME tick is 100 ns,
// so a conversion back keeps the nanoseconds to that step.
void FileTimeToUnixTime(uint64_t ftTime, int64_t& nSeconds, uint32_t& nNanoseconds);
// false when the time lies before 1601 or beyond what a FILETIME holds, or nNanoseconds >= 1e9.
bool UnixTimeToFileTime(int64_t nSeconds, uint32_t nNanoseconds, uint64_t& ftTime);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void GetLocalTime(SystemTime& st) = 0;
  virtual void GetSystemTime(SystemTime& st) = 0;  // UTC
  virtual uint64_t GetSystemTimeAsFileTime() = 0;
  // Milliseconds since the machine started; never goes back.
  virtual uint64_t GetTickCount64() = 0;
  // Suspends the calling thread, as Windows' Sleep does.
  virtual void Sleep(uint32_t nMilliseconds) = 0;
  // As Windows, with the bias of the time zone as it is now (daylight saving time included when
  // it is in effect now), whatever the date converted. ERROR_INVALID_PARAMETER when the result
  // would leave the FILETIME range.
  virtual uint32_t FileTimeToLocalFileTime(uint64_t ftUtc, uint64_t& ftLocal) = 0;
  virtual uint32_t LocalFileTimeToFileTime(uint64_t ftLocal, uint64_t& ftUtc) = 0;
};

}  // namespace platform
