// The readers of values that hold several items: comma-separated fields with quoting, and flag
// lists (a decimal number, or flag words joined by '+', '|', ')' or blanks).
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvium {

// Reads the next field of a comma list into `field` and returns the rest, or null when there are
// no more fields (an empty rest or one at a line end). A field quoted with " or ' holds
// everything between its quotes, a doubled quote standing for one; anything after the closing
// quote up to the next comma is passed over. An unquoted field keeps its trailing blanks.
const char* NextField(const char* rest, std::string& field);
// Passes over the next field as NextField reads it, without keeping it.
const char* SkipField(const char* rest);

struct FlagName {
  std::string_view name;
  uint32_t dwValue;
};

inline constexpr uint32_t kUnknownFlags = 0xFFFFFFFFu;

// Or-s the values of the flag words of `text`; a word not in the table gives kUnknownFlags.
uint32_t ParseFlags(std::string_view text, std::span<const FlagName> table);

}  // namespace tarvium
