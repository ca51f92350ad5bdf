// The conversions between text and the comma-separated hex byte lists of registry hex values:
// StringToHex writes a text as such a list (one byte per character, or UTF-16 style with a zero
// high byte), HexToString reads one back. Both stop at a zero character, as the zero-terminated
// texts of the engine do.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "script/call_function.h"
#include "script/function_arguments.h"
#include "script/next_argument.h"
#include "script/text_function_bodies.h"

namespace tarvium {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The leading hexadecimal digits of one list entry (blanks before them skipped), as a byte.
uint8_t ReadHexByte(std::string_view entry) {
  size_t nPos = 0;
  while (nPos < entry.size() && (entry[nPos] == ' ' || entry[nPos] == '\t')) ++nPos;
  uint32_t nValue = 0;
  for (int nDigit; nPos < entry.size() && (nDigit = HexDigitValue(entry[nPos])) >= 0; ++nPos)
    nValue = ((nValue << 4) | static_cast<uint32_t>(nDigit)) & 0xFFu;
  return static_cast<uint8_t>(nValue);
}

std::vector<uint8_t> ReadHexList(std::string_view list) {
  std::vector<uint8_t> bytes;
  std::string entry;
  for (size_t nPos = 0; (nPos = NextArgument(list, nPos, entry)) != std::string_view::npos;)
    bytes.push_back(ReadHexByte(entry));
  return bytes;
}

std::string Utf16BytesToAnsi(const std::vector<uint8_t>& bytes) {
  std::u16string units;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const uint8_t nHigh = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    units += static_cast<char16_t>(bytes[i] | (nHigh << 8));
  }
  return platform::Utf16ToAnsi(units);
}

const char kHexDigits[] = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned char c) {
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 0x0F];
  out += ',';
}

}  // namespace

void HexToStringFunction(SetupRun&, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 2);
  const std::vector<uint8_t> bytes = ReadHexList(args.Text(0));
  if (args.Number(1) == 1) {
    result = Utf16BytesToAnsi(bytes);
    return;
  }
  for (uint8_t nByte : bytes) {
    if (nByte == 0) break;
    result += static_cast<char>(nByte);
  }
}

void StringToHexFunction(SetupRun&, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 2);
  const bool bWide = args.Number(1) == 1;
  for (char c : args.Text(0)) {
    if (c == '\0' || result.size() > kFunctionResultMax) break;
    AppendHexByte(result, static_cast<unsigned char>(c));
    if (bWide) result += "00,";
  }
  result += bWide ? "00,00" : "00";
}

}  // namespace tarvium
