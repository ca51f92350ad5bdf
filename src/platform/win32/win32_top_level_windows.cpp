// WM_DESTROY is what a window gets while it is being destroyed, and only its own thread may
// destroy it: a window of this thread is destroyed (DestroyWindow), a window of another thread or
// program is sent the message, whose handling ends a simple program (PostQuitMessage) although
// the window itself stays until its thread destroys it or ends.
#include "platform/win32/win32_top_level_windows.h"

#include <string>

#include "platform/win_error.h"

#include "platform/win32/windows_api.h"
#undef SendMessage

namespace platform::win32 {
namespace {

uint32_t LastErrorOr(DWORD dwFallback) {
  const DWORD dwError = GetLastError();
  return dwError != ERROR_SUCCESS ? dwError : dwFallback;
}

HWND WindowOf(WindowHandle hWnd) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(hWnd));
}

std::string TitleOf(HWND window) {
  std::string title(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  title.resize(
      static_cast<size_t>(GetWindowTextA(window, title.data(), static_cast<int>(title.size()))));
  return title;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM lParam) {
  auto& windows = *reinterpret_cast<std::vector<WindowEntry>*>(lParam);
  DWORD dwProcessId = 0;
  GetWindowThreadProcessId(window, &dwProcessId);
  windows.push_back({static_cast<WindowHandle>(reinterpret_cast<uintptr_t>(window)),
                     TitleOf(window), dwProcessId});
  return TRUE;
}

bool IsOfThisThread(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

}  // namespace

uint32_t Win32TopLevelWindows::EnumWindows(std::vector<WindowEntry>& windows) {
  windows.clear();
  SetLastError(ERROR_SUCCESS);
  if (!::EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&windows)))
    return LastErrorOr(ERROR_SUCCESS);  // EnumWindows may fail with no error when none are left
  return ERROR_SUCCESS;
}

uint32_t Win32TopLevelWindows::SendMessage(WindowHandle hWnd, uint32_t uMsg, int64_t& lResult) {
  lResult = 0;
  const HWND window = WindowOf(hWnd);
  if (hWnd == WindowHandle::Invalid || !IsWindow(window)) return ERROR_INVALID_WINDOW_HANDLE;
  if (uMsg != WM_CLOSE && uMsg != WM_DESTROY && uMsg != WM_QUERYENDSESSION)
    return ERROR_NOT_SUPPORTED;
  if (uMsg == WM_DESTROY && IsOfThisThread(window))
    return DestroyWindow(window) ? ERROR_SUCCESS : LastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
  // The shutdown query asks whether the session may end (wParam 0; lParam 0: a shutdown or
  // restart, not a log-off).
  DWORD_PTR dwAnswer = 0;
  SetLastError(ERROR_SUCCESS);
  if (!SendMessageTimeoutA(window, uMsg, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, kAnswerTimeoutMs,
                           &dwAnswer))
    return LastErrorOr(IsWindow(window) ? ERROR_TIMEOUT : ERROR_INVALID_WINDOW_HANDLE);
  lResult = static_cast<int64_t>(static_cast<LONG_PTR>(dwAnswer));
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
