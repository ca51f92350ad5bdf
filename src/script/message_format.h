// printf formatting of a catalog template with a message's arguments, done safely: only the
// conversions the catalog uses are known ("%s", "%S", "%d", "%ld", "%u" and "%%"), each takes the
// next argument whatever its type, and a missing argument prints nothing. Any other '%' is copied
// as it is. Numbers print as Windows prints them: "%d" and "%ld" as 32-bit signed, "%u" as 32-bit
// unsigned values.
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
