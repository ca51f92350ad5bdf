#include "platform/win32/win32_font_table.h"

#include "platform/win32/windows_api.h"

// The ANSI functions are called by name; the macros would rename this class's methods.
#undef AddFontResource
#undef RemoveFontResource

namespace platform::win32 {

int Win32FontTable::AddFontResource(const std::string& path) {
  return ::AddFontResourceA(path.c_str());
}

bool Win32FontTable::RemoveFontResource(const std::string& path) {
  return ::RemoveFontResourceA(path.c_str()) != FALSE;
}

}  // namespace platform::win32
