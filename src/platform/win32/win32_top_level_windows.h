// The top-level windows of the real Windows. A window handle is the HWND itself. Messages are sent
// with SendMessageTimeoutA, so that a program that has stopped answering (a hung window, or one
// that keeps its answer longer than kAnswerTimeoutMs) cannot stop the setup: the call then fails
// with the error Windows gives (ERROR_TIMEOUT).
#pragma once
#include <cstdint>
#include <vector>

#include "platform/top_level_windows.h"

namespace platform::win32 {

class Win32TopLevelWindows final : public TopLevelWindows {
 public:
  static constexpr uint32_t kAnswerTimeoutMs = 30000;

  uint32_t EnumWindows(std::vector<WindowEntry>& windows) override;
  uint32_t SendMessage(WindowHandle hWnd, uint32_t uMsg, int64_t& lResult) override;
};

}  // namespace platform::win32
