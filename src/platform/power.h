// Restart, log-off and shutdown of the machine as the engine asks for them (ExitWindowsEx and
// InitiateSystemShutdownEx). The emulated machine never acts on the host: it records the request,
// and the machine tool's reboot carries it out and clears it. Once a request is recorded, further
// ones fail with ERROR_SHUTDOWN_IN_PROGRESS, as they do on a Windows machine that is going down.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// ExitWindowsEx flags.
inline constexpr uint32_t EWX_LOGOFF = 0x00;
inline constexpr uint32_t EWX_SHUTDOWN = 0x01;
inline constexpr uint32_t EWX_REBOOT = 0x02;
inline constexpr uint32_t EWX_FORCE = 0x04;
inline constexpr uint32_t EWX_POWEROFF = 0x08;
inline constexpr uint32_t EWX_FORCEIFHUNG = 0x10;

// Shutdown reason: major reason "software" (SHTDN_REASON_MAJOR_SOFTWARE).
inline constexpr uint32_t SHTDN_REASON_MAJOR_SOFTWARE = 0x00030000;

enum class PowerAction { None, LogOff, Shutdown, PowerOff, Restart };

struct PowerRequest {
  PowerAction action = PowerAction::None;
  bool bForce = false;  // applications are closed without asking (EWX_FORCE, EWX_FORCEIFHUNG)
  uint32_t dwReason = 0;
  uint32_t nDelaySeconds = 0;  // the countdown InitiateSystemShutdownEx was given
  std::string message;         // ANSI; shown to users during the countdown
};

class Power {
 public:
  virtual ~Power() = default;
  // Each returns ERROR_SUCCESS or the Windows error.
  // EWX_POWEROFF wins over EWX_REBOOT, which wins over EWX_SHUTDOWN; none of them is a log-off.
  virtual uint32_t ExitWindows(uint32_t uFlags, uint32_t dwReason) = 0;
  virtual uint32_t InitiateSystemShutdown(const std::string& message, uint32_t nTimeoutSeconds,
                                          bool bForceAppsClosed, bool bRebootAfterShutdown,
                                          uint32_t dwReason) = 0;
  // The recorded request; action None when there is none.
  virtual uint32_t GetPowerRequest(PowerRequest& request) = 0;
  // Forgets the recorded request (after a reboot of the machine, or an aborted shutdown).
  virtual uint32_t ClearPowerRequest() = 0;
};

}  // namespace platform
