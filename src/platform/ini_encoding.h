// The encodings an INI file may be stored in, as the profile functions honour them: 8-bit ANSI,
// UTF-16LE after the byte-order mark FF FE, and UTF-8 after EF BB BF. A file is read into ANSI
// text for scanning and written back in the encoding it had, so that a change to a Unicode file
// (desktop.ini and many application files) does not append an ANSI block to it.
#pragma once
#include <string>
#include <string_view>

namespace platform {

enum class IniEncoding { Ansi, Utf16Le, Utf8 };

// The text of the file's bytes as ANSI, and the encoding they were in.
std::string DecodeIniBytes(std::string_view bytes, IniEncoding& encoding);
// ANSI text as the bytes of a file in `encoding`, with its byte-order mark.
std::string EncodeIniText(std::string_view text, IniEncoding encoding);

}  // namespace platform
