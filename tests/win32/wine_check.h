// Whether the tests run under Wine rather than Windows: Wine's ntdll exports wine_get_version.
// Tests skip, with the reason, the cases where Wine does not do what Windows does.
#pragma once

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX 1
#include <windows.h>

namespace tarvium::test {

inline bool RunsUnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace tarvium::test
