// Whether the Win32 tests run under Wine rather than Windows, for the few cases where Wine does
// not do what Windows does: Wine's ntdll exports wine_get_version, Windows' does not. Asked
// through the modules service, so that a test needs no Windows header (whose macros would
// replace the interface's constants of the same names).
#pragma once
#include "platform/win32/win32_modules.h"
#include "platform/win_error.h"

namespace tarvium::test {

inline bool RunsUnderWine() {
  platform::win32::Win32Modules modules;
  platform::ModuleHandle hNtdll = platform::ModuleHandle::Invalid;
  if (modules.LoadLibrary("ntdll.dll", hNtdll) != platform::ERROR_SUCCESS) return false;
  const bool bWine = modules.GetProcAddress(hNtdll, "wine_get_version") != nullptr;
  modules.FreeLibrary(hNtdll);
  return bWine;
}

}  // namespace tarvium::test
