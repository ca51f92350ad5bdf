#include "platform/win32/win32_wide_text.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// A character the code page lacks becomes '?', never a look-alike of it: a best-fit letter could
// name another folder that exists, where '?' names none.
std::string AnsiFromWide(const wchar_t* text) {
  if (!text || !*text) return {};
  const int nBytes =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, nullptr);
  if (nBytes <= 1) return {};
  std::string ansi(static_cast<size_t>(nBytes), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, ansi.data(), nBytes, nullptr,
                      nullptr);
  ansi.resize(static_cast<size_t>(nBytes - 1));
  return ansi;
}

std::wstring WideFromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int nChars =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(nChars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), nChars);
  return wide;
}

}  // namespace platform::win32
