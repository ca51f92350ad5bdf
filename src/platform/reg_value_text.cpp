#include "platform/reg_value_text.h"

#include <algorithm>
#include <charconv>

#include "platform/multi_sz.h"

namespace platform {

namespace {

std::string HexBytes(const std::vector<uint8_t>& data) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t byte : data) {
    if (!text.empty()) text += ',';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

uint64_t LittleEndian(const std::vector<uint8_t>& data, size_t nBytes) {
  uint64_t nValue = 0;
  for (size_t i = std::min(nBytes, data.size()); i-- > 0;) nValue = nValue << 8 | data[i];
  return nValue;
}

}  // namespace

std::string RegValueText(const RegValue& value) {
  const std::string text(value.data.begin(), value.data.end());
  switch (value.dwType) {
    case REG_SZ:
      return "REG_SZ:" + text.substr(0, text.find('\0'));
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ:" + text.substr(0, text.find('\0'));
    case REG_DWORD:
    case REG_QWORD: {
      char buffer[20];
      const auto result =
          std::to_chars(buffer, buffer + sizeof buffer,
                        LittleEndian(value.data, value.dwType == REG_DWORD ? 4 : 8), 16);
      return std::string(value.dwType == REG_DWORD ? "REG_DWORD:0x" : "REG_QWORD:0x") +
             std::string(buffer, result.ptr);
    }
    case REG_MULTI_SZ: {
      std::string joined;
      for (const std::string& item : DecodeMultiSz(value.data)) joined += item + '|';
      return "REG_MULTI_SZ:" + joined;
    }
    case REG_BINARY:
      return "REG_BINARY:" + HexBytes(value.data);
    default:
      return "hex(" + std::to_string(value.dwType) + "):" + HexBytes(value.data);
  }
}

}  // namespace platform
