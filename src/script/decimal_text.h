// Decimal numbers as the script language reads and writes them: leading blanks, an optional sign,
// then the leading digits (none gives 0), held in a signed 32-bit integer. Values beyond its
// range stop at its limits instead of wrapping, so that a long digit string still orders right.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvium {

int32_t ReadDecimal(std::string_view text);

// True when the text is non-empty and holds only digits after an optional leading '-'
// (a lone "-" counts, and reads as 0).
bool IsDecimalInteger(std::string_view text);

// Orders two runs of decimal digits by their numeric value, whatever their length.
int CompareDigitRuns(std::string_view a, std::string_view b);

// The leading run of decimal digits of a text.
std::string_view LeadingDigits(std::string_view text);

inline bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace tarvium
