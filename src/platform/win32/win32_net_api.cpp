// netapi32 is loaded once and stays loaded; the lookup of an entry point is the only cost a call
// pays for being found at run time.
#include "platform/win32/win32_net_api.h"

#include "platform/win32/win32_wide_text.h"
#include "platform/win32/windows_api.h"
// clang-format off
#include <lm.h>
// clang-format on

namespace platform::win32 {

constexpr size_t kMaxNetTextChars = 255;

void* FindNetApiEntry(const char* name) {
  static const HMODULE hNetApi = LoadLibraryA("netapi32.dll");
  return hNetApi ? reinterpret_cast<void*>(GetProcAddress(hNetApi, name)) : nullptr;
}

void FreeNetBuffer(void* buffer) {
  if (buffer) CALL_NETAPI(NetApiBufferFree, buffer);
}

std::wstring NetText(const std::string& text) {
  std::wstring wide = WideFromAnsi(text);
  if (wide.size() > kMaxNetTextChars) wide.resize(kMaxNetTextChars);
  return wide;
}

wchar_t* NullIfEmpty(std::wstring& text) {
  return text.empty() ? nullptr : text.data();
}

}  // namespace platform::win32
