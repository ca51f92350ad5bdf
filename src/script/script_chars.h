// Character classes of the script syntax: blanks separate tokens and items of a condition;
// function names are ASCII letters and digits only, while a comparison may start with any letter
// of the ANSI code page.
#pragma once
#include "engine/ansi_text.h"

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

inline bool IsAnsiAlnum(char c) {
  return IsAnsiLetter(c) || (c >= '0' && c <= '9');
}

}  // namespace tarvium
