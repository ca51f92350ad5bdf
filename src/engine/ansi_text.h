// White space and letters of the engine's 8-bit Windows-1252 text: only characters below 128
// count as blanks when lines are split and values trimmed. Case rules are platform/ansi_case.h.
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
// Letters of the ANSI code page: ASCII letters and the accented and ligature letters above 127.
inline bool IsAnsiLetter(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return true;
  if (u >= 0xC0) return u != 0xD7 && u != 0xF7;
  return u == 0x83 || u == 0x8A || u == 0x8C || u == 0x8E || u == 0x9A || u == 0x9C || u == 0x9E ||
         u == 0x9F || u == 0xAA || u == 0xB5 || u == 0xBA;
}

// The value of a hexadecimal digit, -1 for any other character.
inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view TrimAnsi(std::string_view text);
std::string_view TrimAnsiRight(std::string_view text);
std::string_view TrimAnsiLeft(std::string_view text);

}  // namespace tarvium
