// Character classes of the script syntax: blanks separate tokens and items of a condition, and
// function names and operand starts are ASCII letters and digits only.
#pragma once

namespace tarvium {

inline bool IsScriptBlank(char c) {
  return c == ' ' || c == '\t';
}

inline bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline bool IsAsciiAlnum(char c) {
  return IsAsciiLetter(c) || (c >= '0' && c <= '9');
}

}  // namespace tarvium
