// The escapes of texts that setup information files give for messages: the two characters "\n"
// are a line break and "\\" is one backslash; any other backslash stays as written.
#pragma once
#include <string>

namespace tarvium {

std::string ResolveTextEscapes(const std::string& text);

}  // namespace tarvium
