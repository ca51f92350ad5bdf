// The trace texts of the RAR library's error codes and of the module trust check.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

// The text of an ERAR_ code (11 to 24) for the archive at `archive`; while opening, 15 has the
// text of 13. An unknown code gets the text of ERAR_UNKNOWN.
std::string RarErrorText(int nCode, bool bOpening, const std::string& archive);

// The text of a trust-check result, with its line end.
std::string TrustResultText(uint32_t nResult);

}  // namespace tarvium
