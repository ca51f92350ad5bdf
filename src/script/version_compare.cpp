// Versions are split into views of their parts (no copies); digit parts are compared by length
// and then digit by digit, so parts of any length order as numbers.
#include "script/version_compare.h"

#include <array>

#include "platform/ansi_case.h"
#include "script/decimal_text.h"

namespace tarvium {
namespace {

constexpr size_t kMaxVersionParts = 10;

struct VersionParts {
  std::array<std::string_view, kMaxVersionParts> parts;
  size_t nCount = 0;
};

VersionParts SplitVersion(std::string_view version) {
  VersionParts split;
  while (split.nCount < kMaxVersionParts) {
    const size_t nDot = version.find('.');
    split.parts[split.nCount++] = version.substr(0, nDot);
    if (nDot == std::string_view::npos) break;
    version.remove_prefix(nDot + 1);
  }
  return split;
}

bool IsAllDigits(std::string_view text) {
  return LeadingDigits(text).size() == text.size();
}

int ComparePart(std::string_view a, std::string_view b, size_t nIndex, uint32_t nFormatVersion) {
  if (nFormatVersion >= kNumericVersionPartsFormat) {
    if (IsAllDigits(a) && IsAllDigits(b)) return CompareDigitRuns(a, b);
  } else if (nIndex == 0 && !a.empty() && IsDecimalDigit(a[0])) {
    return CompareDigitRuns(LeadingDigits(a), LeadingDigits(b));
  }
  return platform::AnsiCompareNoCase(a, b);
}

int CompareRevisions(std::string_view a, std::string_view b) {
  if (a == "0") a = {};
  if (b == "0") b = {};
  if (!a.empty() && IsDecimalDigit(a[0]))
    return CompareDigitRuns(LeadingDigits(a), LeadingDigits(b));
  return platform::AnsiCompareNoCase(a, b);
}

int Sign(int n) {
  return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

}  // namespace

int CompareVersions(std::string_view versionA, std::string_view versionB, uint32_t nFormatVersion,
                    std::string_view revisionA, std::string_view revisionB) {
  const VersionParts a = SplitVersion(versionA);
  const VersionParts b = SplitVersion(versionB);
  for (size_t i = 0; i < kMaxVersionParts; ++i) {
    const bool bHasA = i < a.nCount;
    const bool bHasB = i < b.nCount;
    if (!bHasA || !bHasB) {
      if (bHasA != bHasB) return bHasA ? 1 : -1;
      break;
    }
    if (const int nOrder = ComparePart(a.parts[i], b.parts[i], i, nFormatVersion); nOrder != 0)
      return Sign(nOrder);
  }
  return Sign(CompareRevisions(revisionA, revisionB));
}

}  // namespace tarvium
