// Messages the engine broadcasts to all top-level windows: the setting change that tells running
// programs that an INI section or the environment changed (SendMessageTimeout to HWND_BROADCAST
// with WM_WININICHANGE, SMTO_ABORTIFHUNG), and the shell's change notifications (SHChangeNotify
// with a path, such as a new network share), and the font-table change (WM_FONTCHANGE posted to
// HWND_BROADCAST). The emulated machine has no windows; it records each
// broadcast as a machine event that tests and people can read.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

inline constexpr uint32_t SHCNE_NETSHARE = 0x00000200;

class WindowBroadcast {
 public:
  virtual ~WindowBroadcast() = default;
  // Broadcasts WM_WININICHANGE with `area` (an INI section name or "Environment"), waiting at most
  // nTimeoutMs for each window. ERROR_SUCCESS, or the error of sending.
  virtual uint32_t BroadcastSettingChange(const std::string& area, uint32_t nTimeoutMs) = 0;
  // Tells the shell about a change to the object at the Windows path (SHChangeNotify with
  // SHCNF_PATH).
  virtual uint32_t NotifyShellChange(uint32_t dwEventId, const std::string& path) = 0;
  // Posts WM_FONTCHANGE to all top-level windows, without waiting for them.
  virtual uint32_t PostFontChange() = 0;
  // The broadcasts and notifications made so far, oldest first, as "WM_WININICHANGE <area>",
  // "SHChangeNotify 0x<event> <path>" and "WM_FONTCHANGE" lines.
  virtual std::vector<std::string> SettingChanges() = 0;
};

}  // namespace platform
