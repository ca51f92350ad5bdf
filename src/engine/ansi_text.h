// Character rules of the engine's 8-bit Windows-1252 text: what counts as white space when
// trimming (only characters below 128), and case folding for names compared without regard to
// case (the Windows-1252 letters fold as the system locale folds them).
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

inline bool IsAnsiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
inline bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

char FoldAnsiCase(char c);
std::string FoldAnsiCase(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
std::string_view TrimAnsi(std::string_view text);
std::string_view TrimAnsiRight(std::string_view text);
std::string_view TrimAnsiLeft(std::string_view text);

}  // namespace tarvium
