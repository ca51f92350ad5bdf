// The two forms of a registry line. The path form ("HKLM\Key:Name=prefix:value") carries its type
// in a prefix of the value; the comma form ("HKLM,Key,Name,Flags,Value") in the type bits of its
// flags, read through the table below. Both fill the same RegLine, whose data is then built by
// BuildRegData.
#include <array>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "engine/registry_text.h"
#include "platform/ansi_case.h"
#include "sysconfig/reg_line.h"

namespace tarvium {
namespace {

struct ValuePrefix {
  std::string_view prefix;
  uint32_t dwType;
  bool bTextFromHex;
};

constexpr std::array<ValuePrefix, 6> kValuePrefixes = {{
    {"hex:", platform::REG_BINARY, false},
    {"hexsz:", platform::REG_BINARY, true},
    {"multisz:", platform::REG_MULTI_SZ, false},
    {"expandsz:", platform::REG_EXPAND_SZ, false},
    {"dword:", platform::REG_DWORD, false},
    {"qword:", platform::REG_QWORD, false},
}};

constexpr uint32_t kTypeMask = 0xFFFF0001;

struct TypeBits {
  uint32_t dwMasked;
  uint32_t dwType;
  bool bTextFromHex;
};

constexpr std::array<TypeBits, 7> kTypeBits = {{
    {0x00000000, platform::REG_SZ, false},
    {0x00010000, platform::REG_MULTI_SZ, false},
    {0x00020000, platform::REG_EXPAND_SZ, false},
    {0x00000001, platform::REG_BINARY, false},
    {0x00010001, platform::REG_DWORD, false},
    {0x00020001, platform::REG_NONE, false},
    {0x00040001, platform::REG_QWORD, false},
}};
constexpr uint32_t kBinaryFromHexBits = 0x10000001;

bool IsListType(uint32_t dwType) {
  return dwType == platform::REG_BINARY || dwType == platform::REG_NONE ||
         dwType == platform::REG_MULTI_SZ;
}

// Bytes read from hexadecimal are written as a string.
void BuildData(RegLine& reg) {
  reg.data = BuildRegData(reg.dwType, reg.valueText, reg.commaForm, reg.textFromHex);
  if (reg.textFromHex) reg.dwType = platform::REG_SZ;
}

// The root of a line; bRootMissing for the roots the machine does not have.
bool ReadRoot(std::string_view name, RegLine& reg) {
  const RootName kind = ParseRootName(name, reg.root);
  reg.bRootMissing = kind == RootName::Unsupported;
  return kind != RootName::Unknown;
}

// "Key:Name" and "Key:::Name" -> key "Key" or "Key:" and the name after the colon(s).
void SplitValueName(RegLine& reg) {
  const size_t nColon = reg.keyPath.find(':');
  if (nColon == std::string::npos) return;
  const bool bDoubled = nColon + 1 < reg.keyPath.size() && reg.keyPath[nColon + 1] == ':';
  reg.valueName = reg.keyPath.substr(nColon + (bDoubled ? 2 : 1));
  reg.keyPath.resize(nColon + (bDoubled ? 1 : 0));
}

void ReadValuePrefix(RegLine& reg, std::string_view& value) {
  for (const ValuePrefix& row : kValuePrefixes) {
    if (!platform::AnsiStartsWithNoCase(value, row.prefix)) continue;
    reg.dwType = row.dwType;
    reg.textFromHex = row.bTextFromHex;
    value = TrimAnsiLeft(value.substr(row.prefix.size()));
    return;
  }
}

bool ParsePathForm(std::string_view text, const SubstituteVariables& substitute, RegLine& reg) {
  const size_t nSlash = text.find('\\');
  if (nSlash == std::string_view::npos || !ReadRoot(text.substr(0, nSlash), reg)) return false;
  const size_t nEquals = text.find('=', nSlash + 1);
  const std::string_view keyText =
      text.substr(nSlash + 1, nEquals == std::string_view::npos ? std::string_view::npos
                                                                : nEquals - nSlash - 1);
  std::string_view value = nEquals == std::string_view::npos
                               ? std::string_view()
                               : TrimAnsiLeft(text.substr(nEquals + 1));
  reg.keyPath = std::string(TrimAnsiRight(keyText));
  substitute(reg.keyPath);
  // The prefix is read from the substituted value: a variable may hold it.
  std::string valueText(value);
  substitute(valueText);
  std::string_view typed = valueText;
  ReadValuePrefix(reg, typed);
  reg.valueText = std::string(typed);
  SplitValueName(reg);
  substitute(reg.valueName);
  BuildData(reg);
  return true;
}

void ApplyFlags(RegLine& reg) {
  const uint32_t dwMasked = reg.dwFlags & kTypeMask;
  reg.dwType = (dwMasked & 1) ? platform::REG_BINARY : platform::REG_SZ;
  reg.textFromHex = dwMasked == kBinaryFromHexBits;
  for (const TypeBits& row : kTypeBits)
    if (row.dwMasked == dwMasked) reg.dwType = row.dwType;
  reg.noClobber = reg.dwFlags & REGLINE_NOCLOBBER;
  reg.isDelete = reg.isDelete || (reg.dwFlags & REGLINE_DELETE);
  reg.append = reg.dwFlags & REGLINE_APPEND;
  reg.keyOnly = reg.dwFlags & REGLINE_KEYONLY;
}

bool ParseCommaForm(std::string_view text, const SubstituteVariables& substitute, RegLine& reg) {
  const size_t nComma = text.find(',');
  if (nComma == std::string_view::npos || !ReadRoot(TrimAnsi(text.substr(0, nComma)), reg))
    return false;
  reg.commaForm = true;
  const std::string line(text.substr(nComma + 1));
  std::string flagText;
  const char* rest = NextField(line.c_str(), reg.keyPath);
  if (rest) rest = NextField(rest, reg.valueName);
  if (rest) rest = NextField(rest, flagText);
  reg.dwFlags = static_cast<uint32_t>(ReadRegNumber(flagText, true));
  ApplyFlags(reg);
  if (rest) {
    if (IsListType(reg.dwType)) {
      reg.valueText = std::string(TrimAnsiLeft(rest));
    } else {
      NextField(rest, reg.valueText);
      reg.valueText = std::string(TrimAnsiLeft(reg.valueText));
    }
  }
  reg.keyPath = std::string(TrimAnsiRight(reg.keyPath));
  substitute(reg.keyPath);
  substitute(reg.valueName);
  substitute(reg.valueText);
  BuildData(reg);
  return true;
}

}  // namespace

std::string_view RegLineBody(std::string_view line, bool& bDelete) {
  bDelete = !line.empty() && line[0] == '-';
  if (bDelete) line.remove_prefix(1);
  return line;
}

bool ParseRegLine(std::string_view text, const SubstituteVariables& substitute, RegLine& reg) {
  if (ParsePathForm(text, substitute, reg)) return true;
  reg = RegLine{reg.root, false, {}, {}, {}, platform::REG_SZ, {}, 0, reg.isDelete};
  return ParseCommaForm(text, substitute, reg);
}

}  // namespace tarvium
