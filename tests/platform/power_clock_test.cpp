// Power requests recorded in a real machine directory.
#include <gtest/gtest.h>

#include <string>

#include "platform/emulated/machine_power.h"
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

}  // namespace
}  // namespace platform
