// Case rules of the ANSI code page (Windows-1252) as Windows applies them to file, section, key
// and share names: a name is compared by its upper-case form, and new names keep their case.
// A table of 256 bytes keeps the comparisons cheap enough for every path component.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// The upper-case form of one ANSI character (a-z, the accented letters, š, œ, ž and ÿ).
char AnsiUpperChar(char c);
std::string AnsiUpper(std::string_view text);
bool AnsiEqualNoCase(std::string_view a, std::string_view b);
bool AnsiStartsWithNoCase(std::string_view text, std::string_view prefix);
bool AnsiEndsWithNoCase(std::string_view text, std::string_view suffix);
// The lower-case form: the inverse of the upper-case table for the letters it maps.
char AnsiLowerChar(char c);
std::string AnsiLower(std::string_view text);
// Orders two texts by their upper-case forms, byte by byte: negative, 0 or positive.
int AnsiCompareNoCase(std::string_view a, std::string_view b);

}  // namespace platform
