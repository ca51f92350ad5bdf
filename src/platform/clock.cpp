// Calendar arithmetic for FILETIME and SYSTEMTIME: days since 1601-01-01 to and from a proleptic
// Gregorian date by the era-based day count (400-year eras of 146097 days), which needs no table
// and no host time functions.
#include "platform/clock.h"

namespace platform {
namespace {

constexpr uint64_t kTicksPerMs = 10000;
constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kTicksPerDay = 86400 * kTicksPerSecond;
constexpr int64_t kDaysFrom1601To1970 = 134774;
constexpr uint64_t kMaxFileTime = 0x7FFFFFFFFFFFFFFFULL;

bool IsLeapYear(int64_t nYear) {
  return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
}

int DaysInMonth(int64_t nYear, int nMonth) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return nMonth == 2 && IsLeapYear(nYear) ? 29 : kDays[nMonth - 1];
}

// Days since 1970-01-01 of a date (months 1..12).
int64_t DaysFromCivil(int64_t nYear, int nMonth, int nDay) {
  nYear -= nMonth <= 2;
  const int64_t nEra = (nYear >= 0 ? nYear : nYear - 399) / 400;
  const int64_t nYearOfEra = nYear - nEra * 400;
  const int64_t nDayOfYear = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
  const int64_t nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
  return nEra * 146097 + nDayOfEra - 719468;
}

void CivilFromDays(int64_t nDays, int64_t& nYear, int& nMonth, int& nDay) {
  nDays += 719468;
  const int64_t nEra = (nDays >= 0 ? nDays : nDays - 146096) / 146097;
  const int64_t nDayOfEra = nDays - nEra * 146097;
  const int64_t nYearOfEra =
      (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
  const int64_t nDayOfYear = nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
  const int64_t nMonthIndex = (5 * nDayOfYear + 2) / 153;
  nDay = static_cast<int>(nDayOfYear - (153 * nMonthIndex + 2) / 5 + 1);
  nMonth = static_cast<int>(nMonthIndex < 10 ? nMonthIndex + 3 : nMonthIndex - 9);
  nYear = nYearOfEra + nEra * 400 + (nMonth <= 2);
}

}  // namespace

bool FileTimeToSystemTime(uint64_t ftTime, SystemTime& st) {
  if (ftTime > kMaxFileTime) return false;
  const int64_t nDays = static_cast<int64_t>(ftTime / kTicksPerDay);
  const uint64_t nMs = (ftTime % kTicksPerDay) / kTicksPerMs;
  int64_t nYear;
  int nMonth, nDay;
  CivilFromDays(nDays - kDaysFrom1601To1970, nYear, nMonth, nDay);
  st.wYear = static_cast<uint16_t>(nYear);
  st.wMonth = static_cast<uint16_t>(nMonth);
  st.wDay = static_cast<uint16_t>(nDay);
  st.wDayOfWeek = static_cast<uint16_t>((nDays + 1) % 7);  // 1601-01-01 was a Monday
  st.wHour = static_cast<uint16_t>(nMs / 3600000);
  st.wMinute = static_cast<uint16_t>(nMs / 60000 % 60);
  st.wSecond = static_cast<uint16_t>(nMs / 1000 % 60);
  st.wMilliseconds = static_cast<uint16_t>(nMs % 1000);
  return true;
}

bool SystemTimeToFileTime(const SystemTime& st, uint64_t& ftTime) {
  if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
      st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 ||
      st.wSecond > 59 || st.wMilliseconds > 999)
    return false;
  const int64_t nDays = DaysFromCivil(st.wYear, st.wMonth, st.wDay) + kDaysFrom1601To1970;
  const uint64_t nMs =
      ((st.wHour * 60ULL + st.wMinute) * 60ULL + st.wSecond) * 1000ULL + st.wMilliseconds;
  ftTime = static_cast<uint64_t>(nDays) * kTicksPerDay + nMs * kTicksPerMs;
  return true;
}

void FileTimeToUnixTime(uint64_t ftTime, int64_t& nSeconds, uint32_t& nNanoseconds) {
  if (ftTime >= FILETIME_UNIX_EPOCH) {
    const uint64_t nTicks = ftTime - FILETIME_UNIX_EPOCH;
    nSeconds = static_cast<int64_t>(nTicks / kTicksPerSecond);
    nNanoseconds = static_cast<uint32_t>(nTicks % kTicksPerSecond * 100);
    return;
  }
  const uint64_t nTicks = FILETIME_UNIX_EPOCH - ftTime;  // before 1970: round towards the past
  const uint64_t nRemainder = nTicks % kTicksPerSecond;
  nSeconds = -static_cast<int64_t>(nTicks / kTicksPerSecond) - (nRemainder ? 1 : 0);
  nNanoseconds = static_cast<uint32_t>(nRemainder ? (kTicksPerSecond - nRemainder) * 100 : 0);
}

bool UnixTimeToFileTime(int64_t nSeconds, uint32_t nNanoseconds, uint64_t& ftTime) {
  constexpr int64_t kMinSeconds = -static_cast<int64_t>(FILETIME_UNIX_EPOCH / kTicksPerSecond);
  constexpr int64_t kMaxSeconds =
      static_cast<int64_t>((UINT64_MAX - FILETIME_UNIX_EPOCH) / kTicksPerSecond) - 1;
  if (nNanoseconds >= 1000000000 || nSeconds < kMinSeconds || nSeconds > kMaxSeconds) return false;
  const uint64_t nMagnitude = static_cast<uint64_t>(nSeconds < 0 ? -nSeconds : nSeconds);
  const uint64_t nBase = nSeconds < 0 ? FILETIME_UNIX_EPOCH - nMagnitude * kTicksPerSecond
                                      : FILETIME_UNIX_EPOCH + nMagnitude * kTicksPerSecond;
  ftTime = nBase + nNanoseconds / 100;
  return true;
}

}  // namespace platform
