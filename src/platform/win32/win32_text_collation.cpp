// CompareTextNoCase on Windows: the system's own locale-independent comparison, which the
// interface describes.
#include <algorithm>
#include <climits>

#include "platform/ansi_case.h"
#include "platform/text_collation.h"

#include "platform/win32/windows_api.h"

namespace platform {
namespace {

int LengthOf(std::string_view text) {
  return static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
}

// The system refuses a null text even of no characters.
const char* CharsOf(std::string_view text) {
  return text.empty() ? "" : text.data();
}

}  // namespace

int CompareTextNoCase(std::string_view a, std::string_view b) {
  const int nResult = ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, CharsOf(a), LengthOf(a),
                                       CharsOf(b), LengthOf(b));
  if (nResult == 0) return AnsiCompareNoCase(a, b);  // refused: the code page's upper-case order
  return nResult - CSTR_EQUAL;                       // CSTR_LESS_THAN, _EQUAL, _GREATER_THAN
}

}  // namespace platform
