// Case rules of the ANSI code page (Windows-1252) as Windows applies them to file, section, key
// and share names: a name is compared by its upper-case form, and new names keep their case.
// A table of 256 bytes keeps the comparisons cheap enough for every path component.
#pragma once
#include <array>
#include <string>
#include <string_view>

namespace platform {

namespace ansi_case_detail {
// ASCII letters, the Latin-1 letters from 0xE0 (but not the division sign 0xF7), and the four
// letters whose capitals sit in the 0x80 row (š, œ, ž, ÿ).
constexpr std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 0x20);
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 0x20);
  table[0x9A] = 0x8A;
  table[0x9C] = 0x8C;
  table[0x9E] = 0x8E;
  table[0xFF] = 0x9F;
  return table;
}
inline constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();
}  // namespace ansi_case_detail

// The upper-case form of one ANSI character (a-z, the accented letters, š, œ, ž and ÿ). Inline:
// every path component and key comparison goes through it.
inline char AnsiUpperChar(char c) {
  return static_cast<char>(ansi_case_detail::kUpper[static_cast<unsigned char>(c)]);
}
std::string AnsiUpper(std::string_view text);
bool AnsiEqualNoCase(std::string_view a, std::string_view b);
bool AnsiStartsWithNoCase(std::string_view text, std::string_view prefix);
bool AnsiEndsWithNoCase(std::string_view text, std::string_view suffix);
// The lower-case form: the inverse of the upper-case table for the letters it maps.
char AnsiLowerChar(char c);
std::string AnsiLower(std::string_view text);
// Orders two texts by their upper-case forms, byte by byte: negative, 0 or positive.
int AnsiCompareNoCase(std::string_view a, std::string_view b);
// Whether a name matches a pattern in which '*' matches any run of characters and '?' any one
// character (with bQuestionMarkIsWild; else itself), without regard to case.
bool AnsiMatchesPattern(std::string_view pattern, std::string_view name,
                        bool bQuestionMarkIsWild = true);

}  // namespace platform
