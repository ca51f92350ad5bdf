// JSON string literals for the machine-readable reports of the tools (lint findings, run plans):
// quotes, backslashes and control characters escaped; the text must already be UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

std::string JsonString(std::string_view text);

}  // namespace tarvium
