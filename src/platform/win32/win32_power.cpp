#include "platform/win32/win32_power.h"

#include <vector>

#include "platform/win32/windows_api.h"

#undef ExitWindows
#undef InitiateSystemShutdown

namespace platform::win32 {
namespace {

PowerAction ActionOfFlags(uint32_t uFlags) {
  if (uFlags & EWX_POWEROFF) return PowerAction::PowerOff;
  if (uFlags & EWX_REBOOT) return PowerAction::Restart;
  if (uFlags & EWX_SHUTDOWN) return PowerAction::Shutdown;
  return PowerAction::LogOff;
}

// Shutting down needs SE_SHUTDOWN_NAME enabled in the process token; a log-off does not. When it
// cannot be enabled, the shutdown call itself reports ERROR_PRIVILEGE_NOT_HELD.
void EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  CloseHandle(token);
}

}  // namespace

uint32_t Win32Power::ExitWindows(uint32_t uFlags, uint32_t dwReason) {
  if (request_.action != PowerAction::None) return ERROR_SHUTDOWN_IN_PROGRESS;
  EnableShutdownPrivilege();
  if (!ExitWindowsEx(uFlags, dwReason)) return GetLastError();
  request_ = {
      ActionOfFlags(uFlags), (uFlags & (EWX_FORCE | EWX_FORCEIFHUNG)) != 0, dwReason, 0, {}};
  return ERROR_SUCCESS;
}

uint32_t Win32Power::InitiateSystemShutdown(const std::string& message, uint32_t nTimeoutSeconds,
                                            bool bForceAppsClosed, bool bRebootAfterShutdown,
                                            uint32_t dwReason) {
  if (request_.action != PowerAction::None) return ERROR_SHUTDOWN_IN_PROGRESS;
  EnableShutdownPrivilege();
  std::vector<char> text(message.begin(), message.end());  // the function wants it writable
  text.push_back('\0');
  if (!InitiateSystemShutdownExA(nullptr, text.data(), nTimeoutSeconds, bForceAppsClosed,
                                 bRebootAfterShutdown, dwReason))
    return GetLastError();
  request_ = {bRebootAfterShutdown ? PowerAction::Restart : PowerAction::Shutdown, bForceAppsClosed,
              dwReason, nTimeoutSeconds, message};
  return ERROR_SUCCESS;
}

uint32_t Win32Power::GetPowerRequest(PowerRequest& request) {
  request = request_;
  return ERROR_SUCCESS;
}

// A countdown still running is aborted; one that already ended (ERROR_NO_SHUTDOWN_IN_PROGRESS)
// leaves nothing to abort. A request without a countdown cannot be taken back.
uint32_t Win32Power::ClearPowerRequest() {
  if (request_.nDelaySeconds > 0 && !AbortSystemShutdownA(nullptr)) {
    const DWORD err = GetLastError();
    if (err != ERROR_NO_SHUTDOWN_IN_PROGRESS) return err;
  }
  request_ = {};
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
