#include "install/copy_flags.h"

#include <span>

#include "platform/ansi_case.h"

namespace tarvium {
namespace {

bool IsFlagSeparator(char c) {
  return c == '+' || c == '|' || c == ')' || c == ' ' || c == '\t';
}

bool LookUp(std::span<const FlagName> table, std::string_view word, uint32_t& dwFlags) {
  for (const FlagName& flag : table)
    if (platform::AnsiEqualNoCase(flag.name, word)) return dwFlags |= flag.dwValue, true;
  return false;
}

}  // namespace

bool ParseCopyLineFlags(std::string_view text, uint32_t& dwCopyFlags, uint32_t& dwAttributes) {
  dwCopyFlags = dwAttributes = 0;
  size_t nStart = 0;
  while (nStart < text.size()) {
    size_t nEnd = nStart;
    while (nEnd < text.size() && !IsFlagSeparator(text[nEnd])) ++nEnd;
    const std::string_view word = text.substr(nStart, nEnd - nStart);
    if (!word.empty() && !LookUp(kCopyFlagNames, word, dwCopyFlags) &&
        !LookUp(kAttributeNames, word, dwAttributes))
      return false;
    nStart = nEnd + 1;
  }
  return true;
}

}  // namespace tarvium
