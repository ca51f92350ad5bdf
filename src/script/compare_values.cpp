// The kind of comparison is chosen in a fixed order: integers first, then versions, then text.
#include "script/compare_values.h"

#include "platform/text_collation.h"
#include "script/decimal_text.h"
#include "script/version_compare.h"

namespace tarvium {

bool LooksLikeVersion(std::string_view text) {
  if (text.find('.') == std::string_view::npos) return false;
  for (char c : text)
    if (c != '.' && !IsDecimalDigit(c)) return false;
  return true;
}

int CompareValues(std::string_view a, std::string_view b, uint32_t nFormatVersion) {
  if (IsDecimalInteger(a) && IsDecimalInteger(b)) {
    const int32_t nA = ReadDecimal(a);
    const int32_t nB = ReadDecimal(b);
    return nA < nB ? -1 : (nA > nB ? 1 : 0);
  }
  if (LooksLikeVersion(a) && LooksLikeVersion(b)) return CompareVersions(a, b, nFormatVersion);
  const int nOrder = platform::CompareTextNoCase(a, b);
  return nOrder < 0 ? -1 : (nOrder > 0 ? 1 : 0);
}

}  // namespace tarvium
