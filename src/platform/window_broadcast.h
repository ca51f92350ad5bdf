// Messages the engine broadcasts to all top-level windows: the setting change that tells running
// programs that an INI section or the environment changed (SendMessageTimeout to HWND_BROADCAST
// with WM_WININICHANGE, SMTO_ABORTIFHUNG). The emulated machine has no windows; it records each
// broadcast as a machine event that tests and people can read.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class WindowBroadcast {
 public:
  virtual ~WindowBroadcast() = default;
  // Broadcasts WM_WININICHANGE with `area` (an INI section name or "Environment"), waiting at most
  // nTimeoutMs for each window. ERROR_SUCCESS, or the error of sending.
  virtual uint32_t BroadcastSettingChange(const std::string& area, uint32_t nTimeoutMs) = 0;
  // The broadcasts made so far, oldest first, as "WM_WININICHANGE <area>" lines.
  virtual std::vector<std::string> SettingChanges() = 0;
};

}  // namespace platform
