// Setting-change broadcasts to the top-level windows of the running Windows, and the record of
// those this process made.
#pragma once
#include <mutex>

#include "platform/window_broadcast.h"

namespace platform::win32 {

class Win32WindowBroadcast final : public WindowBroadcast {
 public:
  // SendMessageTimeoutA to HWND_BROADCAST with WM_WININICHANGE (WM_SETTINGCHANGE, the same
  // message) and SMTO_ABORTIFHUNG: a hung window is skipped, a slow one is waited for at most
  // nTimeoutMs. A broadcast that Windows sent is recorded, one that failed is not.
  uint32_t BroadcastSettingChange(const std::string& area, uint32_t nTimeoutMs) override;
  // SHChangeNotify with SHCNF_PATHA and SHCNF_FLUSH, recorded as the emulated machine records it.
  uint32_t NotifyShellChange(uint32_t dwEventId, const std::string& path) override;
  // PostMessageA to HWND_BROADCAST, recorded when Windows took the message.
  uint32_t PostFontChange() override;
  std::vector<std::string> SettingChanges() override;

 private:
  std::mutex mutex_;
  std::vector<std::string> changes_;
};

}  // namespace platform::win32
