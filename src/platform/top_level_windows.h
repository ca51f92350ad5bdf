// The top-level windows of the machine's running programs, as the script engine's CloseWindow sees
// them: listed with their titles and owning processes (EnumWindows with GetWindowTextA and
// GetWindowThreadProcessId), and sent the messages that end them (SendMessageA with WM_CLOSE,
// WM_DESTROY, or WM_QUERYENDSESSION, the shutdown query a window may refuse). Handles are opaque
// numbers; a Win32 backend holds real window handles behind them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class WindowHandle : uint64_t { Invalid = 0 };

inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUERYENDSESSION = 0x0011;

struct WindowEntry {
  WindowHandle hWnd = WindowHandle::Invalid;
  std::string title;  // ANSI
  uint32_t dwProcessId = 0;
};

class TopLevelWindows {
 public:
  virtual ~TopLevelWindows() = default;
  // Every top-level window of a running program, in no particular order.
  virtual uint32_t EnumWindows(std::vector<WindowEntry>& windows) = 0;
  // Sends one of the messages above and waits until the window has handled it; lResult is its
  // answer (for WM_QUERYENDSESSION non-zero when the window agrees to close). A window that is
  // gone gives ERROR_INVALID_WINDOW_HANDLE, another message ERROR_NOT_SUPPORTED.
  virtual uint32_t SendMessage(WindowHandle hWnd, uint32_t uMsg, int64_t& lResult) = 0;
};

}  // namespace platform
