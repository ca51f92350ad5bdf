// The reading rules for the keys of the fixed sections ([Setup], [Application], [Admin], ...):
// numbers, switches, texts cut to their buffer, first fields, the format version and the
// hexadecimal colours. A missing or empty number takes its default; text that is not a number
// reads as 0. The parsers are pure functions of their text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/inf_file.h"

namespace tarvium {

inline constexpr uint32_t kDefaultFormatVersion = 0x300;

// The leading decimal number of the text (blanks and a sign before it allowed), 0 when there is
// none; numbers beyond the 32-bit range are held at its ends.
int32_t ParseDecimal(std::string_view text);
// "4.1" and "4.10" -> 0x410, "4.01" -> 0x401, "4" -> 0x400: major and minor are hexadecimal
// digits, a single minor digit counts as tens. Empty text gives the default 0x300.
uint32_t ParseFormatVersion(std::string_view text);
// A hexadecimal number as "%lx" reads it (blanks, a sign and "0x" allowed before the digits);
// false when there are no digits. A negative number gives its two's complement.
bool ParseHexNumber(std::string_view text, uint32_t& dwValue);

// The number of the key, or nDefault when the key is missing or empty.
int32_t ReadNumberKey(const InfFile& inf, std::string_view section, std::string_view key,
                      int32_t nDefault);
// A number where anything but 0 counts as on.
bool ReadSwitchKey(const InfFile& inf, std::string_view section, std::string_view key,
                   bool bDefault);
// The trimmed value cut to nSize - 1 characters; empty when the key is missing.
std::string ReadTextKey(const InfFile& inf, std::string_view section, std::string_view key,
                        size_t nSize);
// The first comma field of the value read into a 64768-byte buffer: quotes removed, a comma
// outside quotes ends it.
std::string ReadFirstFieldKey(const InfFile& inf, std::string_view section, std::string_view key);

}  // namespace tarvium
