// Conversions between the engine's 8-bit ANSI text and Unicode. The Linux build fixes the ANSI
// code page to Windows-1252; a Win32 backend will call MultiByteToWideChar/WideCharToMultiByte.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// UTF-16 code units to ANSI; a character the code page cannot hold becomes '?'. Stops at the
// first zero character, as the Windows conversion of a zero-terminated string does.
std::string Utf16ToAnsi(std::u16string_view text);
// UTF-8 to ANSI through UTF-16; malformed sequences and unmappable characters become '?'.
std::string Utf8ToAnsi(std::string_view text);
// ANSI to UTF-8, for text leaving the engine towards a terminal or a host file.
std::string AnsiToUtf8(std::string_view text);
// Appends the UTF-8 form of ANSI text to `out` (text in plain ASCII is appended as it is).
void AppendAnsiToUtf8(std::string& out, std::string_view text);
// UTF-8 to UTF-16 code units (malformed sequences become U+FFFD).
std::u16string Utf8ToUtf16(std::string_view text);
// The Unicode character of one ANSI byte, and the ANSI byte of a Unicode character ('?' if none).
char16_t AnsiCharToUnicode(unsigned char c);
char UnicodeToAnsiChar(char32_t c);

// ANSI to the OEM code page and back, as CharToOemA and OemToCharA do. The OEM page that goes
// with Windows-1252 (Western European) is code page 850; a character the other page cannot hold
// becomes '?'.
std::string AnsiToOem(std::string_view text);
std::string OemToAnsi(std::string_view text);

}  // namespace platform
