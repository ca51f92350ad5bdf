#include "platform/emulated/registry/reg_value_text.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "platform/ansi_case.h"
#include "platform/code_page.h"

namespace platform::emulated {
namespace {

struct TypeName {
  uint32_t dwType;
  const char* name;
};

constexpr TypeName kTypes[] = {
    {REG_NONE, "REG_NONE"},
    {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},
    {REG_DWORD, "REG_DWORD_LITTLE_ENDIAN"},
    {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_LINK, "REG_LINK"},
    {REG_MULTI_SZ, "REG_MULTI_SZ"},
    {REG_QWORD, "REG_QWORD"},
};

uint64_t LittleEndian(const std::vector<uint8_t>& data, size_t nBytes) {
  uint64_t number = 0;
  for (size_t i = 0; i < nBytes && i < data.size(); ++i) number |= uint64_t{data[i]} << (8 * i);
  return number;
}

std::string HexBytes(const std::vector<uint8_t>& data) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (uint8_t byte : data) hex += {kDigits[byte >> 4], kDigits[byte & 15]};
  return hex;
}

std::string MultiSzText(const std::vector<uint8_t>& data) {
  std::string text;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] != 0) continue;
    if (i == start) break;  // the empty string that ends the list
    if (!text.empty()) text += "\\0";
    text.append(data.begin() + static_cast<long>(start), data.begin() + static_cast<long>(i));
    start = i + 1;
  }
  return text;
}

// Decimal, or hexadecimal after "0x"; no sign. QWORDs also take "-" and decimal digits, which wrap
// round as the C library's strtoull does.
bool ParseNumber(std::string_view text, uint64_t nMax, uint64_t& number) {
  const bool bNegative = nMax == ~0ull && text.size() > 1 && text[0] == '-';
  if (bNegative) text.remove_prefix(1);
  int base = 10;
  if (!bNegative && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  if (ec != std::errc() || end != text.data() + text.size() || number > nMax) return false;
  if (bNegative) number = 0 - number;
  return true;
}

void AppendString(std::vector<uint8_t>& data, std::string_view text) {
  data.insert(data.end(), text.begin(), text.end());
  data.push_back(0);
}

// Hex digits two by two; an odd count takes a leading zero ("abc" is 0a bc).
bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& data) {
  const std::string digits = (text.size() % 2 ? "0" : "") + std::string(text);
  for (size_t i = 0; i < digits.size(); i += 2) {
    uint8_t byte = 0;
    auto [end, ec] = std::from_chars(digits.data() + i, digits.data() + i + 2, byte, 16);
    if (ec != std::errc() || end != digits.data() + i + 2) return false;
    data.push_back(byte);
  }
  return true;
}

// The strings of a REG_MULTI_SZ split at separator, or at "\0" without one. No string may be
// empty, but one trailing separator is allowed and a lone separator stands for one empty string.
bool ParseMultiSz(std::string_view text, std::optional<char> separator,
                  std::vector<uint8_t>& data) {
  for (size_t i = 0; i < text.size(); ++i) {
    const bool bEscape = !separator && text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '0';
    const bool bBreak = bEscape || (separator && text[i] == *separator);
    i += bEscape ? 1 : 0;
    data.push_back(bBreak ? 0 : static_cast<uint8_t>(text[i]));
    const size_t n = data.size();
    if (n > 1 && data[n - 2] == 0 && (data[n - 1] == 0 || n == 2)) return false;
  }
  if (!data.empty() && data.back() != 0) data.push_back(0);
  data.push_back(0);
  return true;
}

// REG_NONE data is the text as the Unicode string reg stores, with its terminating zero.
void AppendUtf16String(std::vector<uint8_t>& data, std::string_view text) {
  for (unsigned char c : text) {
    const char16_t unit = AnsiCharToUnicode(c);
    data.push_back(static_cast<uint8_t>(unit & 0xFF));
    data.push_back(static_cast<uint8_t>(unit >> 8));
  }
  data.insert(data.end(), {0, 0});
}

bool ParseNumberData(uint32_t dwType, std::optional<std::string_view> text, RegValue& value,
                     std::string& error) {
  const size_t nBytes = dwType == REG_QWORD ? 8 : 4;
  uint64_t number = 0;
  if (!text && dwType != REG_QWORD) {
    error = RegTypeName(dwType) + " needs data (/d)";
    return false;
  }
  if (text && !ParseNumber(*text, nBytes == 4 ? 0xFFFFFFFFull : ~0ull, number)) {
    error = "'" + std::string(*text) + "' is not a number for " + RegTypeName(dwType);
    return false;
  }
  for (size_t i = 0; i < nBytes; ++i) value.data.push_back(static_cast<uint8_t>(number >> (8 * i)));
  return true;
}

}  // namespace

std::string RegTypeName(uint32_t dwType) {
  for (const TypeName& type : kTypes)
    if (type.dwType == dwType) return type.name;
  return "REG_TYPE_" + std::to_string(dwType);
}

bool ParseRegTypeName(std::string_view name, uint32_t& dwType) {
  for (const TypeName& type : kTypes) {
    if (AnsiEqualNoCase(name, type.name)) {
      dwType = type.dwType;
      return true;
    }
  }
  return false;
}

std::string FormatRegData(const RegValue& value) {
  char number[24];
  switch (value.dwType) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      std::string text(value.data.begin(), value.data.end());
      return text.substr(0, text.find('\0'));
    }
    case REG_MULTI_SZ:
      return MultiSzText(value.data);
    case REG_DWORD:
      if (value.data.size() != 4) break;
      std::snprintf(number, sizeof number, "0x%x",
                    static_cast<unsigned>(LittleEndian(value.data, 4)));
      return number;
    case REG_QWORD:
      if (value.data.size() != 8) break;
      std::snprintf(number, sizeof number, "0x%llx",
                    static_cast<unsigned long long>(LittleEndian(value.data, 8)));
      return number;
    default:
      break;
  }
  return HexBytes(value.data);
}

bool ParseRegData(uint32_t dwType, std::optional<std::string_view> text,
                  std::optional<char> separator, RegValue& value, std::string& error) {
  value = RegValue{dwType, {}};
  const std::string_view data = text.value_or("");
  switch (dwType) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      AppendString(value.data, data);
      return true;
    case REG_NONE:
      AppendUtf16String(value.data, data);
      return true;
    case REG_MULTI_SZ:
      if (ParseMultiSz(data, separator, value.data)) return true;
      error = "'" + std::string(data) + "' holds an empty string for REG_MULTI_SZ";
      return false;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
    case REG_QWORD:
      return ParseNumberData(dwType, text, value, error);
    default:
      if (ParseHexBytes(data, value.data)) return true;
      error = "'" + std::string(data) + "' is not hexadecimal digits";
      return false;
  }
}

}  // namespace platform::emulated
