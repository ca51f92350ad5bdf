#include "install/copy_line_fields.h"

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"

namespace tarvium {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The decimal number at the start of the text; digits past what 63 bits hold are ignored.
int64_t LeadingDecimal(std::string_view text) {
  int64_t nValue = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    if (nValue < (INT64_MAX - 9) / 10) nValue = nValue * 10 + (c - '0');
  }
  return nValue;
}

uint32_t MediumNumber(std::string_view text) {
  const int64_t nMedium = LeadingDecimal(TrimAnsi(text));
  if (nMedium <= 0) return 1;
  return nMedium > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(nMedium);
}

}  // namespace

CopyLineFields ParseCopyLine(std::string_view line) {
  CopyLineFields fields;
  const std::string text(line);
  std::string source, destination, flags, size, name;
  const char* rest = NextField(text.c_str(), source);
  if (rest) rest = NextField(rest, destination);
  if (rest) rest = NextField(rest, flags);
  if (rest) rest = NextField(rest, size);
  if (rest) NextField(rest, name);

  source = std::string(TrimAnsi(source));
  const size_t nColon = source.find(':');
  if (nColon != std::string::npos) {
    fields.nMedium = MediumNumber(std::string_view(source).substr(0, nColon));
    fields.source = TrimAnsi(std::string_view(source).substr(nColon + 1));
  } else {
    fields.nMedium = MediumNumber(source);
    if (!source.empty()) fields.source = TrimAnsi(std::string_view(source).substr(1));
  }
  fields.destination = TrimAnsi(destination);
  fields.flags = TrimAnsi(flags);
  fields.nSize = LeadingDecimal(TrimAnsi(size));
  fields.name = TrimAnsi(name);
  return fields;
}

}  // namespace tarvium
