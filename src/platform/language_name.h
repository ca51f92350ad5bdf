// The system's English name of a Windows language identifier, as VerLanguageName gives it on an
// English system ("English (United States)" for 0x0409). The Linux build carries a table of the
// common languages; a Win32 backend will call VerLanguageName.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// The name of wLanguage: the language and its region when the identifier is known, the language
// alone for an identifier with an unknown region of a known language, "Language Neutral" for 0,
// "Unknown language" otherwise.
std::string VerLanguageName(uint16_t wLanguage);

}  // namespace platform
