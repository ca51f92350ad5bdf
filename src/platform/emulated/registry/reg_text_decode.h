// The character side of .reg text: which encoding a file is in and its text as Windows-1252.
// Reading and writing share it so that both agree on what a UTF-16LE file looks like.
#pragma once
#include <string>
#include <string_view>

namespace platform::emulated {

// UTF-16LE after its BOM, UTF-8 after its BOM or when the bytes are valid UTF-8, else the bytes as
// Windows-1252 (how REGEDIT4 files are written).
std::string DecodeRegTextBytes(std::string_view bytes);

// UTF-16LE bytes to Windows-1252, keeping zero characters (they separate REG_MULTI_SZ strings).
// An odd last byte counts as a character of its own.
std::string Utf16LeToAnsi(std::string_view bytes);

}  // namespace platform::emulated
