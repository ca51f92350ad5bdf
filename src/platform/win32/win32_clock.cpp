// Windows' FileTimeToLocalFileTime and LocalFileTimeToFileTime already apply the bias of the time
// zone as it is now, whatever the date; they do not look at the range, so the result is checked
// here: it must stay below 2^63 and must not have wrapped around zero.
#include "platform/win32/win32_clock.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

constexpr uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFULL;

FILETIME FileTimeOf(uint64_t ftTime) {
  return FILETIME{static_cast<DWORD>(ftTime), static_cast<DWORD>(ftTime >> 32)};
}

uint64_t ValueOf(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

SystemTime SystemTimeOf(const SYSTEMTIME& time) {
  return SystemTime{time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
                    time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
}

using Conversion = BOOL(WINAPI*)(const FILETIME*, LPFILETIME);

// The bias of a zone is less than two days, so a result that moved further went past either end.
uint32_t ConvertInRange(Conversion convert, uint64_t ftFrom, uint64_t& ftTo) {
  const FILETIME from = FileTimeOf(ftFrom);
  FILETIME to{};
  if (!convert(&from, &to)) return GetLastError();
  const uint64_t ftResult = ValueOf(to);
  constexpr uint64_t kTwoDays = 2ULL * 86400 * 10000000;
  const uint64_t nDistance = ftResult > ftFrom ? ftResult - ftFrom : ftFrom - ftResult;
  if (ftResult > kLargestFileTime || nDistance > kTwoDays) return ERROR_INVALID_PARAMETER;
  ftTo = ftResult;
  return ERROR_SUCCESS;
}

}  // namespace

void Win32Clock::GetLocalTime(SystemTime& st) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  st = SystemTimeOf(now);
}

void Win32Clock::GetSystemTime(SystemTime& st) {
  SYSTEMTIME now{};
  ::GetSystemTime(&now);
  st = SystemTimeOf(now);
}

uint64_t Win32Clock::GetSystemTimeAsFileTime() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return ValueOf(now);
}

uint64_t Win32Clock::GetTickCount64() {
  return ::GetTickCount64();
}

void Win32Clock::Sleep(uint32_t nMilliseconds) {
  ::Sleep(nMilliseconds);
}

uint32_t Win32Clock::FileTimeToLocalFileTime(uint64_t ftUtc, uint64_t& ftLocal) {
  return ConvertInRange(::FileTimeToLocalFileTime, ftUtc, ftLocal);
}

uint32_t Win32Clock::LocalFileTimeToFileTime(uint64_t ftLocal, uint64_t& ftUtc) {
  return ConvertInRange(::LocalFileTimeToFileTime, ftLocal, ftUtc);
}

}  // namespace platform::win32
