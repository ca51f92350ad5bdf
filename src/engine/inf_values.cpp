#include "engine/inf_values.h"

#include <algorithm>
#include <limits>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "engine/setup_context.h"

namespace tarvium {
namespace {

// Reads hexadecimal digits from pos on; nDigits tells how many there were.
uint32_t ReadHexDigits(std::string_view text, size_t& pos, size_t& nDigits) {
  uint32_t dwValue = 0;
  nDigits = 0;
  for (; pos < text.size() && HexDigit(text[pos]) >= 0; ++pos, ++nDigits)
    dwValue = (dwValue << 4) | static_cast<uint32_t>(HexDigit(text[pos]));
  return dwValue;
}

size_t SkipBlanks(std::string_view text, size_t pos) {
  while (pos < text.size() && IsAnsiSpace(text[pos])) ++pos;
  return pos;
}

}  // namespace

int32_t ParseDecimal(std::string_view text) {
  size_t pos = SkipBlanks(text, 0);
  const bool bNegative = pos < text.size() && text[pos] == '-';
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t nValue = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
    nValue = std::min(nValue * 10 + (text[pos] - '0'), kLimit);
  if (bNegative) return static_cast<int32_t>(-nValue);
  return static_cast<int32_t>(std::min(nValue, kLimit - 1));
}

uint32_t ParseFormatVersion(std::string_view text) {
  text = TrimAnsi(text);
  if (text.empty()) return kDefaultFormatVersion;
  size_t pos = 0;
  size_t nDigits = 0;
  const uint32_t dwMajor = ReadHexDigits(text, pos, nDigits);
  uint32_t dwMinor = 0;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    dwMinor = ReadHexDigits(text, pos, nDigits);
    if (nDigits == 1) dwMinor <<= 4;
  }
  return (dwMajor << 8) | dwMinor;
}

bool ParseHexNumber(std::string_view text, uint32_t& dwValue) {
  size_t pos = SkipBlanks(text, 0);
  const bool bNegative = pos < text.size() && text[pos] == '-';
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
  // "0x" counts as a prefix only when a digit follows; otherwise the 0 is the number
  if (pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
      HexDigit(text[pos + 2]) >= 0)
    pos += 2;
  size_t nDigits = 0;
  const uint32_t dwDigits = ReadHexDigits(text, pos, nDigits);
  if (nDigits == 0) return false;
  dwValue = bNegative ? 0u - dwDigits : dwDigits;
  return true;
}

int32_t ReadNumberKey(const InfFile& inf, std::string_view section, std::string_view key,
                      int32_t nDefault) {
  std::string value;
  if (!GetValue(inf, section, key, value, kShortTextSize) || value.empty()) return nDefault;
  return ParseDecimal(value);
}

bool ReadSwitchKey(const InfFile& inf, std::string_view section, std::string_view key,
                   bool bDefault) {
  return ReadNumberKey(inf, section, key, bDefault ? 1 : 0) != 0;
}

std::string ReadTextKey(const InfFile& inf, std::string_view section, std::string_view key,
                        size_t nSize) {
  std::string value;
  GetValue(inf, section, key, value, nSize);
  return value;
}

std::string ReadFirstFieldKey(const InfFile& inf, std::string_view section, std::string_view key) {
  const std::string value = ReadTextKey(inf, section, key, kVariableLineSize);
  std::string field;
  NextField(value.c_str(), field);
  return field;
}

}  // namespace tarvium
