#include "engine/ansi_text.h"

namespace tarvium {

std::string_view TrimAnsiLeft(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsAnsiSpace(text[i])) ++i;
  return text.substr(i);
}

std::string_view TrimAnsiRight(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && IsAnsiSpace(text[n - 1])) --n;
  return text.substr(0, n);
}

std::string_view TrimAnsi(std::string_view text) {
  return TrimAnsiRight(TrimAnsiLeft(text));
}

}  // namespace tarvium
