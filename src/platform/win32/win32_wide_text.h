// Conversions between the engine's ANSI text (the process code page) and the UTF-16 text of the
// Windows functions that have no ANSI form (the network management functions, the known
// folders, the secondary logon).
#pragma once
#include <string>

namespace platform::win32 {

// Characters the code page lacks become '?', as the ANSI functions of Windows give them.
std::string AnsiFromWide(const wchar_t* text);
std::wstring WideFromAnsi(const std::string& text);

}  // namespace platform::win32
