#include "platform/win32/win32_window_broadcast.h"

#include <cstdio>

#include "platform/win32/windows_api.h"

#include <shlobj.h>

namespace platform::win32 {

// The area travels as the message's text argument; Windows copies it into the receiving
// processes (and converts it for windows that take wide text). An answer of 0 with an error code
// is a failure (ERROR_TIMEOUT when a window did not answer in time); 0 without one is taken as
// sent, since a broadcast has no single window whose answer it returns.
uint32_t Win32WindowBroadcast::BroadcastSettingChange(const std::string& area,
                                                      uint32_t nTimeoutMs) {
  DWORD_PTR result = 0;
  SetLastError(ERROR_SUCCESS);
  const LRESULT sent = SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                                           reinterpret_cast<LPARAM>(area.c_str()), SMTO_ABORTIFHUNG,
                                           nTimeoutMs, &result);
  if (!sent) {
    const DWORD dwError = GetLastError();
    if (dwError != ERROR_SUCCESS) return dwError;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  changes_.push_back("WM_WININICHANGE " + area);
  return ERROR_SUCCESS;
}

uint32_t Win32WindowBroadcast::NotifyShellChange(uint32_t dwEventId, const std::string& path) {
  SHChangeNotify(static_cast<LONG>(dwEventId), SHCNF_PATHA | SHCNF_FLUSH, path.c_str(), nullptr);
  char szEvent[16];
  std::snprintf(szEvent, sizeof szEvent, "0x%08lX", static_cast<unsigned long>(dwEventId));
  std::lock_guard<std::mutex> lock(mutex_);
  changes_.push_back(std::string("SHChangeNotify ") + szEvent + " " + path);
  return ERROR_SUCCESS;
}

uint32_t Win32WindowBroadcast::PostFontChange() {
  if (!PostMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0)) return GetLastError();
  std::lock_guard<std::mutex> lock(mutex_);
  changes_.push_back("WM_FONTCHANGE");
  return ERROR_SUCCESS;
}

std::vector<std::string> Win32WindowBroadcast::SettingChanges() {
  std::lock_guard<std::mutex> lock(mutex_);
  return changes_;
}

}  // namespace platform::win32
