#include "engine/inf_fields.h"

#include <cstring>

#include "engine/ansi_text.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

bool AtLineEnd(const char* p) {
  return !*p || IsLineEnd(*p);
}

bool IsFlagSeparator(char c) {
  return c == '+' || c == '|' || c == ')' || c == ' ' || c == '\t';
}

// The field rules, handing each stretch of field text to `keep` (a quoted field's doubled quote
// ends a stretch, so that only one of its two quotes is kept).
template <typename Keep>
const char* ScanField(const char* rest, Keep keep) {
  if (!rest || AtLineEnd(rest)) return nullptr;
  while (!AtLineEnd(rest) && IsAnsiSpace(*rest)) ++rest;
  const bool bQuoted = *rest == '"' || *rest == '\'';
  const char endMark = bQuoted ? *rest++ : ',';
  const char stops[] = {endMark, '\r', '\n', '\0'};
  const char* stretch = rest;
  for (;;) {
    rest += std::strcspn(rest, stops);
    if (*rest != endMark || !bQuoted || rest[1] != endMark) break;
    keep(stretch, rest + 1);  // a doubled quote stands for one
    rest += 2;
    stretch = rest;
  }
  keep(stretch, rest);
  if (bQuoted) {
    if (*rest == endMark) ++rest;
    while (!AtLineEnd(rest) && *rest != ',') ++rest;
  }
  if (*rest == ',') ++rest;
  return rest;
}

}  // namespace

const char* NextField(const char* rest, std::string& field) {
  field.clear();
  return ScanField(rest, [&field](const char* begin, const char* end) {
    field.append(begin, static_cast<size_t>(end - begin));
  });
}

const char* SkipField(const char* rest) {
  return ScanField(rest, [](const char*, const char*) {});
}

uint32_t ParseFlags(std::string_view text, std::span<const FlagName> table) {
  if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
    uint32_t dwValue = 0;
    for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
      dwValue = dwValue * 10 + static_cast<uint32_t>(text[i] - '0');
    return dwValue;
  }
  uint32_t dwFlags = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && !IsFlagSeparator(text[end])) ++end;
    if (end > start) {
      const std::string_view word = text.substr(start, end - start);
      bool bKnown = false;
      for (const FlagName& flag : table)
        if (platform::AnsiEqualNoCase(flag.name, word)) dwFlags |= flag.dwValue, bKnown = true;
      if (!bKnown) return kUnknownFlags;
    }
    start = end + 1;
  }
  return dwFlags;
}

}  // namespace tarvium
