#include "install/copy_line_fields.h"

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"

namespace tarvium {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The decimal number at the start of the text after its leading blanks (what follows the digits
// does not matter, so the text need not be trimmed); digits past what 63 bits hold are ignored.
int64_t LeadingDecimal(std::string_view text) {
  while (!text.empty() && IsAnsiSpace(text.front())) text.remove_prefix(1);
  int64_t nValue = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    if (nValue < (INT64_MAX - 9) / 10) nValue = nValue * 10 + (c - '0');
  }
  return nValue;
}

uint32_t MediumNumber(std::string_view text) {
  const int64_t nMedium = LeadingDecimal(text);
  if (nMedium <= 0) return 1;
  return nMedium > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(nMedium);
}

void CutBlanks(std::string& text) {
  const std::string_view trimmed = TrimAnsi(text);
  const size_t nStart = static_cast<size_t>(trimmed.data() - text.data());
  text.resize(nStart + trimmed.size());
  text.erase(0, nStart);
}

// Cuts the blanks around a field in place, without a second string. Most fields have none: the
// two looks at its ends are all they cost.
inline void TrimInPlace(std::string& text) {
  if (!text.empty() && (IsAnsiSpace(text.front()) || IsAnsiSpace(text.back()))) CutBlanks(text);
}

// Whether the text holds at least nCommas commas (found with the library's fast search).
bool HasCommas(std::string_view text, int nCommas) {
  size_t nAt = 0;
  for (int i = 0; i < nCommas; ++i) {
    nAt = text.find(',', nAt);
    if (nAt == std::string_view::npos) return false;
    ++nAt;
  }
  return true;
}

}  // namespace

CopyLineFields ParseCopyLine(const std::string& line) {
  CopyLineFields fields;
  ParseCopyLine(line, fields);
  return fields;
}

void ParseCopyLine(const std::string& line, CopyLineFields& fields) {
  std::string& source = fields.source;
  std::string size;
  const char* rest = NextField(line.c_str(), source);
  fields.destination.clear();
  fields.flags.clear();
  fields.name.clear();
  if (rest) rest = NextField(rest, fields.destination);
  if (rest) rest = NextField(rest, fields.flags);
  if (rest) rest = NextField(rest, size);
  if (rest) NextField(rest, fields.name);

  TrimInPlace(source);
  const size_t nColon = source.find(':');
  if (nColon != std::string::npos) {
    fields.nMedium = MediumNumber(std::string_view(source).substr(0, nColon));
    source.erase(0, nColon + 1);
    TrimInPlace(source);
  } else {
    fields.nMedium = MediumNumber(source);
    if (!source.empty()) {
      source.erase(0, 1);
      TrimInPlace(source);
    }
  }
  TrimInPlace(fields.destination);
  TrimInPlace(fields.flags);
  fields.nSize = LeadingDecimal(size);
  TrimInPlace(size);
  fields.bHasSize = !size.empty();
  TrimInPlace(fields.name);
}

int64_t CopyLineSizeField(const std::string& line) {
  // Three fields end before the size field, each at a comma: most lines have fewer commas in
  // all (quoted ones included), and need no field read at all.
  if (!HasCommas(line, 3)) return 0;
  const char* rest = line.c_str();
  for (int i = 0; i < 3 && rest; ++i) rest = SkipField(rest);
  std::string size;
  if (rest) NextField(rest, size);
  return LeadingDecimal(size);
}

}  // namespace tarvium
