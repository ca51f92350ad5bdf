// One registry line of a setup information file, parsed: where it writes (root, key path, value
// name), what it writes (type and bytes) and how (the flag bits of the comma form). Parsing is a
// pure function of the text; variables are substituted through a callback so that the parser is
// tested and fuzzed without a run.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tarvium {

inline constexpr size_t kRegLineDataMax = 64768;

// Flag bits of the comma form besides the type bits.
inline constexpr uint32_t REGLINE_NOCLOBBER = 0x2;
inline constexpr uint32_t REGLINE_DELETE = 0x4;
inline constexpr uint32_t REGLINE_APPEND = 0x8;
inline constexpr uint32_t REGLINE_KEYONLY = 0x10;

struct RegLine {
  platform::RegRoot root = platform::RegRoot::LocalMachine;
  bool bRootMissing = false;  // HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA: not on this machine
  std::string keyPath;
  std::string valueName;
  std::string valueText;  // the value as written, variables substituted (the trace shows it)
  uint32_t dwType = platform::REG_SZ;
  std::vector<uint8_t> data;
  uint32_t dwFlags = 0;
  bool isDelete = false;
  bool noClobber = false;
  bool append = false;
  bool keyOnly = false;
  bool textFromHex = false;
  bool commaForm = false;
};

using SubstituteVariables = std::function<void(std::string&)>;

// The text of a registry section's line after its leading "-", which makes it a delete line.
std::string_view RegLineBody(std::string_view line, bool& bDelete);

// Parses a line whose leading "-" (isDelete) is already taken off. False when the line is not a
// registry line (no known root before its first "\" or ","): such lines are skipped.
bool ParseRegLine(std::string_view text, const SubstituteVariables& substitute, RegLine& reg);

// A number, hexadecimal after "0x" or when !bDecimal, decimal otherwise; the digits stop at the
// first character that is none (no digits: 0); a leading "-" negates it modulo 2^64. *pbWhole,
// when given, is cleared when the text is not read to its end (no digits, or others after them).
uint64_t ReadRegNumber(std::string_view text, bool bDecimal, bool* pbWhole = nullptr);

// The bytes of a value text for a type: strings with their NUL, string lists ending in two,
// numbers little-endian, byte lists of hexadecimal items and quoted texts. bDecimalNumbers: a
// number without "0x" is decimal (comma form) rather than hexadecimal (path form). *pbWhole,
// when given, is cleared when a number of the text is not read whole (a byte list's item
// included, and one that does not fit its byte).
std::vector<uint8_t> BuildRegData(uint32_t dwType, std::string_view text, bool bDecimalNumbers,
                                  bool bTextFromHex, bool* pbWhole = nullptr);

}  // namespace tarvium
