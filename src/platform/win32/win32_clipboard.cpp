// The clipboard is opened without an owner window (OpenClipboard(NULL)): the text is handed over
// whole (no delayed rendering), so it stays after this program has ended. Another program may
// hold the clipboard open for a moment; opening is tried a few times before its error counts.
#include "platform/win32/win32_clipboard.h"

#include <cstring>

#include "platform/win_error.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 20;

uint32_t LastError() {
  const DWORD dwError = GetLastError();
  return dwError != ERROR_SUCCESS ? dwError : ERROR_GEN_FAILURE;
}

// The clipboard, open for as long as the session lives.
class ClipboardSession {
 public:
  ClipboardSession() {
    for (int nAttempt = 0; nAttempt < kOpenAttempts; ++nAttempt) {
      if (OpenClipboard(nullptr)) {
        openError_ = ERROR_SUCCESS;
        return;
      }
      openError_ = LastError();
      Sleep(kOpenRetryMs);
    }
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  ~ClipboardSession() {
    if (openError_ == ERROR_SUCCESS) CloseClipboard();
  }
  uint32_t OpenError() const { return openError_; }

 private:
  uint32_t openError_ = ERROR_GEN_FAILURE;
};

// The text as movable global memory with its terminating zero, which SetClipboardData takes over.
HGLOBAL GlobalText(const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!memory) return nullptr;
  void* pBytes = GlobalLock(memory);
  if (!pBytes) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(pBytes, text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  return memory;
}

}  // namespace

uint32_t Win32Clipboard::GetClipboardText(std::string& text) {
  text.clear();
  ClipboardSession session;
  if (session.OpenError() != ERROR_SUCCESS) return session.OpenError();
  if (!IsClipboardFormatAvailable(CF_TEXT)) return ERROR_SUCCESS;
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return LastError();
  const auto* pszText = static_cast<const char*>(GlobalLock(data));
  if (!pszText) return LastError();
  text.assign(pszText, strnlen(pszText, GlobalSize(data)));
  GlobalUnlock(data);
  return ERROR_SUCCESS;
}

uint32_t Win32Clipboard::SetClipboardText(const std::string& text) {
  ClipboardSession session;
  if (session.OpenError() != ERROR_SUCCESS) return session.OpenError();
  if (!EmptyClipboard()) return LastError();
  if (text.empty()) return ERROR_SUCCESS;
  HGLOBAL memory = GlobalText(text);
  if (!memory) return LastError();
  if (!SetClipboardData(CF_TEXT, memory)) {
    const uint32_t err = LastError();
    GlobalFree(memory);
    return err;
  }
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
