// The data of a registry line, built from its value text by type. Byte lists are read item by
// item, an item being quoted only when the quote follows its comma directly; an item that is no
// hexadecimal number stores 0, as does a number that is none. Everything stops at the line's
// data limit.
#include <string>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "sysconfig/reg_line.h"

namespace tarvium {

uint64_t ReadRegNumber(std::string_view text, bool bDecimal, bool* pbWhole) {
  text = TrimAnsi(text);
  // A minus sign wraps the number around, as the C library's unsigned readers do: a counter
  // that went below zero is stored as its 32-bit pattern and reads back as the same number.
  const bool bNegative = !text.empty() && text[0] == '-';
  if (bNegative) text.remove_prefix(1);
  const bool bPrefixed = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (bPrefixed) text.remove_prefix(2);
  const bool bHex = bPrefixed || !bDecimal;
  uint64_t nValue = 0;
  size_t nDigits = 0;
  for (; nDigits < text.size(); ++nDigits) {
    const char c = text[nDigits];
    const int nDigit = bHex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (nDigit < 0) break;
    nValue = nValue * (bHex ? 16 : 10) + static_cast<uint64_t>(nDigit);
  }
  if (pbWhole && (nDigits == 0 || nDigits < text.size())) *pbWhole = false;
  return bNegative ? 0 - nValue : nValue;
}

namespace {

void AppendLittleEndian(std::vector<uint8_t>& data, uint64_t nValue, int nBytes) {
  for (int i = 0; i < nBytes; ++i) data.push_back(static_cast<uint8_t>(nValue >> (8 * i)));
}

// 'text' or "text" at the start of item, a doubled quote standing for one; returns the length
// read up to and with the closing quote.
size_t ReadQuoted(std::string_view text, std::string& out) {
  const char cQuote = text[0];
  size_t i = 1;
  while (i < text.size()) {
    if (text[i] == cQuote) {
      if (i + 1 < text.size() && text[i + 1] == cQuote) {
        out += cQuote;
        i += 2;
        continue;
      }
      return i + 1;
    }
    out += text[i++];
  }
  return i;
}

std::vector<uint8_t> BuildByteList(std::string_view text, bool bTextFromHex, bool* pbWhole) {
  std::vector<uint8_t> data;
  size_t nPos = 0;
  while (nPos < text.size() && !IsLineEnd(text[nPos])) {
    const char c = text[nPos];
    size_t nEnd = nPos;
    if (c == '"' || c == '\'') {
      std::string quoted;
      nEnd += ReadQuoted(text.substr(nPos), quoted);
      data.insert(data.end(), quoted.begin(), quoted.end());
      if (!bTextFromHex) data.push_back(0);
    }
    const size_t nComma = text.find(',', nEnd);
    if (nEnd == nPos) {
      const uint64_t nByte = ReadRegNumber(text.substr(nPos, nComma - nPos), false, pbWhole);
      if (pbWhole && nByte > 0xFF) *pbWhole = false;
      data.push_back(static_cast<uint8_t>(nByte));
    }
    if (nComma == std::string_view::npos) break;
    nPos = nComma + 1;
  }
  return data;
}

// Each non-empty item, split at TABs, is one string.
std::vector<uint8_t> BuildStringList(std::string_view text) {
  std::vector<uint8_t> data;
  const std::string list(text);
  std::string item;
  for (const char* rest = NextField(list.c_str(), item); rest; rest = NextField(rest, item)) {
    size_t nStart = 0;
    while (nStart <= item.size()) {
      const size_t nTab = std::min(item.find('\t', nStart), item.size());
      if (nTab > nStart) {
        data.insert(data.end(), item.begin() + nStart, item.begin() + nTab);
        data.push_back(0);
      }
      nStart = nTab + 1;
    }
  }
  data.push_back(0);
  return data;
}

}  // namespace

std::vector<uint8_t> BuildRegData(uint32_t dwType, std::string_view text, bool bDecimalNumbers,
                                  bool bTextFromHex, bool* pbWhole) {
  std::vector<uint8_t> data;
  switch (dwType) {
    case platform::REG_MULTI_SZ:
      data = BuildStringList(text);
      break;
    case platform::REG_BINARY:
    case platform::REG_NONE:
      data = BuildByteList(text, bTextFromHex, pbWhole);
      break;
    case platform::REG_DWORD:
      AppendLittleEndian(data, ReadRegNumber(text, bDecimalNumbers, pbWhole), 4);
      break;
    case platform::REG_QWORD:
      AppendLittleEndian(data, ReadRegNumber(text, bDecimalNumbers, pbWhole), 8);
      break;
    default:
      data.assign(text.begin(), text.end());
      data.push_back(0);
  }
  if (data.size() > kRegLineDataMax) data.resize(kRegLineDataMax);
  return data;
}

}  // namespace tarvium
