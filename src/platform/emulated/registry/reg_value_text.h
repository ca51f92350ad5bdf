// Registry values as a person reads and types them, in the forms the Windows reg command uses:
// type names ("REG_SZ"), data shown as text, 0x-hex numbers, strings of a REG_MULTI_SZ joined by
// "\0", and bytes as upper-case hex. The machine tool and the machine diff both use them.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace platform::emulated {

std::string RegTypeName(uint32_t dwType);
// REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD (also _LITTLE_ENDIAN and _BIG_ENDIAN), REG_QWORD,
// REG_BINARY, REG_NONE, REG_LINK (any case); false for any other name.
bool ParseRegTypeName(std::string_view name, uint32_t& dwType);

// The data as reg query shows it (ANSI text).
std::string FormatRegData(const RegValue& value);
// Builds a value from typed text as reg add takes it (text is null without /d): numbers in
// decimal or 0x-hex (required for the DWORD types, 0 for a QWORD without data), bytes as hex
// digits, REG_NONE as the text, REG_MULTI_SZ strings split at separator or at "\\0" without one.
// False with a reason on malformed data.
bool ParseRegData(uint32_t dwType, std::optional<std::string_view> text,
                  std::optional<char> separator, RegValue& value, std::string& error);

}  // namespace platform::emulated
