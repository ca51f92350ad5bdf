// The system's text of a Windows error code, as FormatMessageA gives it for FORMAT_MESSAGE_FROM_
// SYSTEM, for the diagnostics that append it to their own text. The codes the platform returns
// have their Windows wording; any other code reads "Error <n>.".
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// The text with the trailing "\r\n" that FormatMessageA leaves on it.
std::string SystemErrorText(uint32_t dwError);

}  // namespace platform
