// Which string section a run loads for a language: "Strings:07,01" (primary and sub-language in
// lower-case hexadecimal), else "Strings:07", else the section an [Application] key names, else
// the base name itself. The same choice serves "SysStrings" with the installation language.
#pragma once
#include <cstdint>
#include <string>

#include "engine/inf_file.h"

namespace tarvium {

// The section name for the locale lcid; pszFallbackKey is the [Application] key
// ("UseStringSection") read when neither language section exists.
std::string ChooseStringSection(const InfFile& inf, const char* pszBase, uint32_t lcid,
                                const char* pszFallbackKey);

}  // namespace tarvium
