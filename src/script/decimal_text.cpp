// Reading is done in 64 bits and clamped, so that no digit string can overflow.
#include "script/decimal_text.h"

#include <limits>

namespace tarvium {

int32_t ReadDecimal(std::string_view text) {
  size_t nPos = 0;
  while (nPos < text.size() && (text[nPos] == ' ' || text[nPos] == '\t')) ++nPos;
  bool bNegative = false;
  if (nPos < text.size() && (text[nPos] == '-' || text[nPos] == '+'))
    bNegative = text[nPos++] == '-';
  const int64_t nLimit = bNegative ? -int64_t{std::numeric_limits<int32_t>::min()}
                                   : int64_t{std::numeric_limits<int32_t>::max()};
  int64_t nValue = 0;
  for (; nPos < text.size() && IsDecimalDigit(text[nPos]); ++nPos) {
    nValue = nValue * 10 + (text[nPos] - '0');
    if (nValue > nLimit) nValue = nLimit;
  }
  return static_cast<int32_t>(bNegative ? -nValue : nValue);
}

bool IsDecimalInteger(std::string_view text) {
  if (text.empty()) return false;
  for (size_t i = text[0] == '-' ? 1 : 0; i < text.size(); ++i)
    if (!IsDecimalDigit(text[i])) return false;
  return true;
}

std::string_view LeadingDigits(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && IsDecimalDigit(text[n])) ++n;
  return text.substr(0, n);
}

int CompareDigitRuns(std::string_view a, std::string_view b) {
  while (!a.empty() && a[0] == '0') a.remove_prefix(1);
  while (!b.empty() && b[0] == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int nOrder = a.compare(b);
  return nOrder < 0 ? -1 : (nOrder > 0 ? 1 : 0);
}

}  // namespace tarvium
