// Power requests recorded in a real machine directory, and the time conversions checked against
// the host's own calendar (timegm) on dates where calendars go wrong: the FILETIME epoch, leap
// days, the Unix epoch, dates before it, and the ends of the ranges.
#include <stdlib.h>
#include <time.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/emulated/machine/host_clock.h"
#include "platform/emulated/machine/machine_power.h"
#include "platform/win_error.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

TEST(MachinePower, RecordsOneRequestUntilCleared) {
  tarvium::test::TempDir machine;
  const std::string file = machine.Path() + "/power_request.txt";
  MachinePower power(file);
  PowerRequest request;
  ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
  EXPECT_EQ(request.action, PowerAction::None);

  ASSERT_EQ(power.ExitWindows(EWX_REBOOT | EWX_FORCEIFHUNG, SHTDN_REASON_MAJOR_SOFTWARE),
            ERROR_SUCCESS);
  // The machine is going down: a later request is refused and the first one stays.
  EXPECT_EQ(power.ExitWindows(EWX_LOGOFF, 0), ERROR_SHUTDOWN_IN_PROGRESS);
  ASSERT_EQ(MachinePower(file).GetPowerRequest(request), ERROR_SUCCESS);  // another process
  EXPECT_EQ(request.action, PowerAction::Restart);
  EXPECT_TRUE(request.bForce);
  EXPECT_EQ(request.dwReason, SHTDN_REASON_MAJOR_SOFTWARE);

  const std::pair<uint32_t, PowerAction> kinds[] = {
      {EWX_LOGOFF, PowerAction::LogOff},
      {EWX_SHUTDOWN, PowerAction::Shutdown},
      {EWX_POWEROFF | EWX_REBOOT, PowerAction::PowerOff}};
  for (const auto& [uFlags, action] : kinds) {
    ASSERT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);
    ASSERT_EQ(power.ExitWindows(uFlags, 0), ERROR_SUCCESS);
    ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
    EXPECT_EQ(request.action, action) << uFlags;
    EXPECT_FALSE(request.bForce);
  }

  ASSERT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);
  const std::string message = "Restarting for\nSetup \\ Demo\\n";
  ASSERT_EQ(power.InitiateSystemShutdown(message, 30, false, true, 7), ERROR_SUCCESS);
  ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
  EXPECT_EQ(request.action, PowerAction::Restart);
  EXPECT_EQ(request.message, message);
  EXPECT_EQ(request.nDelaySeconds, 30u);
  EXPECT_EQ(request.dwReason, 7u);
  ASSERT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);
  EXPECT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);  // nothing left to clear is no error
  ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
  EXPECT_EQ(request.action, PowerAction::None);

  EXPECT_EQ(MachinePower(machine.Path() + "/no/such/dir/file").ExitWindows(EWX_REBOOT, 0),
            ERROR_PATH_NOT_FOUND);
}

// Unix seconds of a UTC date by the host's calendar.
int64_t HostUnixTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond) {
  tm date{};
  date.tm_year = nYear - 1900;
  date.tm_mon = nMonth - 1;
  date.tm_mday = nDay;
  date.tm_hour = nHour;
  date.tm_min = nMinute;
  date.tm_sec = nSecond;
  return static_cast<int64_t>(::timegm(&date));
}

TEST(Clock, ConvertsCalendarTimesBothWays) {
  // 1601-01-01 is FILETIME 0, a Monday.
  SystemTime st;
  ASSERT_TRUE(FileTimeToSystemTime(0, st));
  EXPECT_EQ(st.wYear, 1601);
  EXPECT_EQ(st.wMonth, 1);
  EXPECT_EQ(st.wDay, 1);
  EXPECT_EQ(st.wDayOfWeek, 1);

  const SystemTime dates[] = {
      {1601, 1, 0, 1, 0, 0, 0, 0},   {1700, 2, 0, 28, 23, 59, 59, 999},
      {1900, 3, 0, 1, 0, 0, 0, 0},   {1969, 12, 0, 31, 23, 59, 59, 500},
      {1970, 1, 0, 1, 0, 0, 0, 0},   {2000, 2, 0, 29, 12, 34, 56, 789},
      {2038, 1, 0, 19, 3, 14, 8, 0}, {2100, 3, 0, 1, 0, 0, 0, 1},
  };
  for (const SystemTime& date : dates) {
    uint64_t ftTime = 0;
    ASSERT_TRUE(SystemTimeToFileTime(date, ftTime)) << date.wYear;
    int64_t nSeconds = 0;
    uint32_t nNanoseconds = 0;
    FileTimeToUnixTime(ftTime, nSeconds, nNanoseconds);
    EXPECT_EQ(nSeconds, HostUnixTime(date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute,
                                     date.wSecond))
        << date.wYear;
    EXPECT_EQ(nNanoseconds, date.wMilliseconds * 1000000u);
    uint64_t ftBack = 0;
    ASSERT_TRUE(UnixTimeToFileTime(nSeconds, nNanoseconds, ftBack));
    EXPECT_EQ(ftBack, ftTime);
    SystemTime back;
    ASSERT_TRUE(FileTimeToSystemTime(ftTime, back));
    EXPECT_EQ(std::tie(back.wYear, back.wMonth, back.wDay, back.wHour, back.wMinute, back.wSecond,
                       back.wMilliseconds),
              std::tie(date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute, date.wSecond,
                       date.wMilliseconds));
    const time_t host = static_cast<time_t>(nSeconds);
    tm hostDate{};
    ::gmtime_r(&host, &hostDate);
    EXPECT_EQ(back.wDayOfWeek, hostDate.tm_wday) << date.wYear;
  }

  // Invalid fields and the ends of the ranges, as Windows has them.
  uint64_t ftTime = 0;
  for (const SystemTime& bad :
       {SystemTime{2001, 2, 0, 29}, SystemTime{1900, 2, 0, 29}, SystemTime{2000, 13, 0, 1},
        SystemTime{2000, 1, 0, 1, 24}, SystemTime{1600, 12, 0, 31},
        SystemTime{2000, 1, 0, 1, 0, 0, 0, 1000}})
    EXPECT_FALSE(SystemTimeToFileTime(bad, ftTime)) << bad.wYear << "-" << bad.wMonth;
  ASSERT_TRUE(FileTimeToSystemTime(0x7FFFFFFFFFFFFFFFULL, st));
  EXPECT_EQ(std::tie(st.wYear, st.wMonth, st.wDay),
            std::make_tuple(uint16_t{30828}, uint16_t{9}, uint16_t{14}));
  EXPECT_FALSE(FileTimeToSystemTime(0x8000000000000000ULL, st));
  EXPECT_FALSE(UnixTimeToFileTime(HostUnixTime(1600, 12, 31, 23, 59, 59), 0, ftTime));
  EXPECT_FALSE(UnixTimeToFileTime(0, 1000000000, ftTime));
  // The 100 ns step: nanoseconds below it are dropped, not rounded.
  ASSERT_TRUE(UnixTimeToFileTime(-1, 999999999, ftTime));
  int64_t nSeconds = 0;
  uint32_t nNanoseconds = 0;
  FileTimeToUnixTime(ftTime, nSeconds, nNanoseconds);
  EXPECT_EQ(std::make_pair(nSeconds, nNanoseconds), std::make_pair(int64_t{-1}, 999999900u));
}

TEST(Clock, LocalTimeFollowsTheHostZone) {
  const char* pszOldZone = ::getenv("TZ");
  const std::string oldZone = pszOldZone ? pszOldZone : "";
  ::setenv("TZ", "TST-2", 1);  // two hours east of UTC, no daylight saving time
  ::tzset();
  HostClock clock;
  uint64_t ftUtc = 0, ftLocal = 0, ftBack = 0;
  ASSERT_TRUE(SystemTimeToFileTime({2000, 2, 0, 29, 23, 30}, ftUtc));
  ASSERT_EQ(clock.FileTimeToLocalFileTime(ftUtc, ftLocal), ERROR_SUCCESS);
  SystemTime local;
  ASSERT_TRUE(FileTimeToSystemTime(ftLocal, local));
  EXPECT_EQ(std::tie(local.wMonth, local.wDay, local.wHour),
            std::make_tuple(uint16_t{3}, uint16_t{1}, uint16_t{1}));
  ASSERT_EQ(clock.LocalFileTimeToFileTime(ftLocal, ftBack), ERROR_SUCCESS);
  EXPECT_EQ(ftBack, ftUtc);
  EXPECT_EQ(clock.LocalFileTimeToFileTime(0, ftBack), ERROR_INVALID_PARAMETER);

  // Local time is UTC plus the zone's offset; ticks never go back.
  SystemTime now;
  clock.GetLocalTime(now);
  const uint64_t ftUtcNow = clock.GetSystemTimeAsFileTime();
  uint64_t ftNow = 0;
  ASSERT_TRUE(SystemTimeToFileTime(now, ftNow));
  EXPECT_GT(ftNow, ftUtcNow + 3600ULL * 10000000);
  EXPECT_LE(ftNow, ftUtcNow + 7200ULL * 10000000);
  const uint64_t nTicks = clock.GetTickCount64();
  EXPECT_GE(clock.GetTickCount64(), nTicks);

  if (pszOldZone)
    ::setenv("TZ", oldZone.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace platform
