// Registry values read as text, the way every text of a setup wants them: strings as they are
// (expandable ones expanded), numbers in decimal, bytes as "xx,xx" hexadecimal, string lists
// with TABs between the strings. Root names are read in their long and short forms.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace tarvium {

struct SetupRun;

inline constexpr size_t kRegTextMax = 32767;

enum class RootName { Unknown, Supported, Unsupported };

// "HKEY_LOCAL_MACHINE", "HKLM", ... (any case). HKEY_PERFORMANCE_DATA and HKEY_DYN_DATA are
// roots the machine does not have: they read as Unsupported.
RootName ParseRootName(std::string_view text, platform::RegRoot& root);

// Reads a value as text (cut to 32767 characters). A value that does not exist counts as success
// with an empty text when the value name is empty; otherwise the registry's error is returned.
uint32_t RegReadText(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                     const std::string& valueName, std::string& text);
// The text of the value's data by its type.
std::string RegValueToText(SetupRun& run, const platform::RegValue& value);

}  // namespace tarvium
