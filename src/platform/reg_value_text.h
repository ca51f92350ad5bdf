// A registry value as one line of text, the way change lists and plans show it:
// "REG_SZ:text", "REG_DWORD:0x10", "REG_MULTI_SZ:a|b|", "REG_BINARY:01,ff".
#pragma once
#include <string>

#include "platform/registry.h"

namespace platform {

std::string RegValueText(const RegValue& value);

}  // namespace platform
