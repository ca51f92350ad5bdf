#include "platform/emulated/registry/reg_value_text.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "platform/ansi_case.h"

namespace platform::emulated {
namespace {

struct TypeName {
  uint32_t dwType;
  const char* name;
};

constexpr TypeName kTypes[] = {
    {REG_NONE, "REG_NONE"},           {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},         {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_LINK, "REG_LINK"},           {REG_MULTI_SZ, "REG_MULTI_SZ"},
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

bool ParseNumber(std::string_view text, uint64_t nMax, uint64_t& number) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  return ec == std::errc() && end == text.data() + text.size() && number <= nMax;
}

void AppendString(std::vector<uint8_t>& data, std::string_view text) {
  data.insert(data.end(), text.begin(), text.end());
  data.push_back(0);
}

bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& data) {
  if (text.size() % 2 != 0) return false;
  for (size_t i = 0; i < text.size(); i += 2) {
    uint8_t byte = 0;
    auto [end, ec] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
    if (ec != std::errc() || end != text.data() + i + 2) return false;
    data.push_back(byte);
  }
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

bool ParseRegData(uint32_t dwType, std::string_view text, std::string_view separator,
                  RegValue& value, std::string& error) {
  value = RegValue{dwType, {}};
  uint64_t number = 0;
  switch (dwType) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      AppendString(value.data, text);
      return true;
    case REG_MULTI_SZ:
      for (size_t start = 0; !text.empty();) {
        const size_t end = separator.empty() ? std::string_view::npos : text.find(separator, start);
        AppendString(value.data, text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + separator.size();
      }
      value.data.push_back(0);
      return true;
    case REG_DWORD:
    case REG_QWORD: {
      const size_t nBytes = dwType == REG_DWORD ? 4 : 8;
      if (!ParseNumber(text.empty() ? "0" : text, nBytes == 4 ? 0xFFFFFFFFull : ~0ull, number)) {
        error = "'" + std::string(text) + "' is not a number for " + RegTypeName(dwType);
        return false;
      }
      for (size_t i = 0; i < nBytes; ++i)
        value.data.push_back(static_cast<uint8_t>(number >> (8 * i)));
      return true;
    }
    default:
      if (!ParseHexBytes(text, value.data)) {
        error = "'" + std::string(text) + "' is not an even number of hex digits";
        return false;
      }
      return true;
  }
}

}  // namespace platform::emulated
