// The shared helpers of the dialog driver (dialog_windows.h). Sent messages wait five seconds at
// most and give up on a window that stopped answering, so a hung setup fails a test instead of
// hanging it.
#include "win32/dialogs/dialog_windows.h"

namespace tarvium::test::dialogs {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

}  // namespace

HWND AsWindow(uint64_t handle) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
}

uint64_t AsNumber(HWND window) {
  return reinterpret_cast<uintptr_t>(window);
}

std::string Utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int nLength = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                          nullptr, 0, nullptr, nullptr);
  std::string text(nLength > 0 ? nLength : 0, '\0');
  if (nLength > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                        nLength, nullptr, nullptr);
  return text;
}

std::wstring WideOf(const std::string& text) {
  if (text.empty()) return {};
  const int nLength =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(nLength > 0 ? nLength : 0, L'\0');
  if (nLength > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        nLength);
  return wide;
}

LRESULT Send(HWND window, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, uMsg, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
    return 0;
  return static_cast<LRESULT>(result);
}

std::string ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return Utf8Of(name);
}

// The visible top-level windows of a process.

}  // namespace tarvium::test::dialogs
