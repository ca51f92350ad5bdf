// The power service's bookkeeping. A request that goes through really shuts Windows down, so the
// cases that make one run only under Wine, whose InitiateSystemShutdownEx and AbortSystemShutdown
// do nothing but return TRUE (checked in its advapi32). ExitWindowsEx is never let through: under
// Wine it ends every program of the prefix, this test included.
#include "platform/win32/win32_power.h"

#include <gtest/gtest.h>

#include "platform/win_error.h"
#include "win32/wine_check.h"

#undef ExitWindows
#undef InitiateSystemShutdown
#undef ERROR_SUCCESS
#undef ERROR_SHUTDOWN_IN_PROGRESS
#undef EWX_LOGOFF
#undef EWX_REBOOT
#undef EWX_POWEROFF
#undef EWX_FORCE
#undef SHTDN_REASON_MAJOR_SOFTWARE

namespace platform::win32 {
namespace {

TEST(Win32Power, AShutdownIsRecordedAndRefusesTheNextRequests) {
  if (!tarvium::test::RunsUnderWine()) GTEST_SKIP() << "would shut this Windows down";
  const struct {
    bool bReboot;
    bool bForce;
    uint32_t nDelay;
    PowerAction action;
  } kCases[] = {
      {true, true, 30, PowerAction::Restart},
      {false, false, 0, PowerAction::Shutdown},
  };
  for (const auto& test : kCases) {
    Win32Power power;
    PowerRequest request;
    ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
    EXPECT_EQ(request.action, PowerAction::None);
    ASSERT_EQ(power.InitiateSystemShutdown("Setup restarts\nthe machine", test.nDelay, test.bForce,
                                           test.bReboot, SHTDN_REASON_MAJOR_SOFTWARE | 0x3),
              ERROR_SUCCESS);
    EXPECT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
    EXPECT_EQ(request.action, test.action);
    EXPECT_EQ(request.bForce, test.bForce);
    EXPECT_EQ(request.dwReason, SHTDN_REASON_MAJOR_SOFTWARE | 0x3);
    EXPECT_EQ(request.nDelaySeconds, test.nDelay);
    EXPECT_EQ(request.message, "Setup restarts\nthe machine");
    // Refused before Windows is asked: ExitWindowsEx is not reached.
    for (uint32_t uFlags : {EWX_LOGOFF, EWX_REBOOT | EWX_FORCE, EWX_POWEROFF})
      EXPECT_EQ(power.ExitWindows(uFlags, 0), ERROR_SHUTDOWN_IN_PROGRESS) << uFlags;
    EXPECT_EQ(power.InitiateSystemShutdown("", 10, false, true, 0), ERROR_SHUTDOWN_IN_PROGRESS);
    EXPECT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);
    EXPECT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
    EXPECT_EQ(request.action, PowerAction::None);
  }
}

}  // namespace
}  // namespace platform::win32
