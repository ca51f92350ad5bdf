// Power requests of the emulated machine, kept as a small text file in the machine directory
// (MachinePower machinePower(machineDir + "/power_request.txt")). A text file rather than the
// registry because the machine tool and people read it, and because it must survive the engine:
// a child setup may record the request its parent later sees.
#pragma once
#include <string>

#include "platform/power.h"

namespace platform {

class MachinePower final : public Power {
 public:
  explicit MachinePower(std::string recordFile);

  uint32_t ExitWindows(uint32_t uFlags, uint32_t dwReason) override;
  uint32_t InitiateSystemShutdown(const std::string& message, uint32_t nTimeoutSeconds,
                                  bool bForceAppsClosed, bool bRebootAfterShutdown,
                                  uint32_t dwReason) override;
  uint32_t GetPowerRequest(PowerRequest& request) override;
  uint32_t ClearPowerRequest() override;

 private:
  uint32_t Record(const PowerRequest& request);

  std::string recordFile_;
};

}  // namespace platform
