// Restart, log-off and shutdown through ExitWindowsEx and InitiateSystemShutdownEx, with the
// shutdown privilege enabled first. The service keeps what this process asked for: once a request
// went through, Windows is going down and further requests fail with ERROR_SHUTDOWN_IN_PROGRESS;
// clearing the request aborts a shutdown that is still counting down.
#pragma once
#include "platform/power.h"

namespace platform::win32 {

class Win32Power final : public Power {
 public:
  uint32_t ExitWindows(uint32_t uFlags, uint32_t dwReason) override;
  uint32_t InitiateSystemShutdown(const std::string& message, uint32_t nTimeoutSeconds,
                                  bool bForceAppsClosed, bool bRebootAfterShutdown,
                                  uint32_t dwReason) override;
  uint32_t GetPowerRequest(PowerRequest& request) override;
  uint32_t ClearPowerRequest() override;

 private:
  PowerRequest request_;  // action None until a request of this process went through
};

}  // namespace platform::win32
