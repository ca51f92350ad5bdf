// White space of the engine's 8-bit Windows-1252 text: only characters below 128 count when
// lines are split and values trimmed. Case rules are platform/ansi_case.h.
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

std::string_view TrimAnsi(std::string_view text);
std::string_view TrimAnsiRight(std::string_view text);
std::string_view TrimAnsiLeft(std::string_view text);

}  // namespace tarvium
