// The system's text of a Windows error code, as FormatMessageA gives it for FORMAT_MESSAGE_FROM_
// SYSTEM, for the diagnostics that append it to their own text. The codes the platform returns
// have their Windows wording; any other code reads "Error <n>.".
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// The text with the trailing "\r\n" that FormatMessageA leaves on it.
std::string SystemErrorText(uint32_t dwError);

// "error 5: Access is denied." for a tool's one-line diagnostics: the code and its text, with
// insert in the place of the text's "%1" ("error 193: C:\\x.exe is not a valid Win32
// application."); a code without a known text is the number alone.
std::string ErrorCodeText(uint32_t dwError, const std::string& insert = "%1");

}  // namespace platform
