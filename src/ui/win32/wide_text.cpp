#include "ui/win32/wide_text.h"

#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui::win32 {

std::wstring WideFromUtf8(const std::string& utf8Text) {
  if (utf8Text.empty()) return {};
  const int nSize = static_cast<int>(utf8Text.size());
  const int nLength = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), nSize, nullptr, 0);
  if (nLength <= 0) return {};
  std::wstring wide(static_cast<size_t>(nLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), nSize, wide.data(), nLength);
  return wide;
}

}  // namespace tarvium::ui::win32
