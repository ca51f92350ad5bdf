// printf formatting of a catalog template with a message's arguments, done safely. A placeholder
// is read as printf reads it: flags ("-", "+", " ", "#", "0"), a width and a precision (digits,
// or "*" taking the next argument), a length ("hh", "h", "l", "ll", "I32", "I64", "j", "z", "t",
// "w") and one of the conversions "d i u o x X c s S %". Each placeholder takes the next argument
// whatever its type: a number printed by "%s" shows in decimal, a text printed by a number
// conversion shows as text with the width applied, and a missing argument prints nothing (a
// missing "*" counts as 0). Numbers print as Windows prints them: without a length or with "l"
// as 32-bit values, with "h" as 16-bit and "hh" as 8-bit, with "ll" and "I64" as 64-bit. Any
// other '%' is copied as it is.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/show_message.h"

namespace tarvium {

inline constexpr size_t kMessageTextMax = 2047;  // bytes of a formatted message text

// The formatted text, cut to kMessageTextMax bytes.
std::string FormatMessageText(std::string_view textTemplate, const std::vector<MessageArg>& args);

}  // namespace tarvium
