#include "engine/ansi_text.h"

#include <array>

namespace tarvium {
namespace {

constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7)
      table[c] = static_cast<unsigned char>(c + 32);  // 0xD7 is the multiplication sign
  table[0x8A] = 0x9A;                                 // S caron
  table[0x8C] = 0x9C;                                 // OE ligature
  table[0x8E] = 0x9E;                                 // Z caron
  table[0x9F] = 0xFF;                                 // Y diaeresis
  return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

}  // namespace

char FoldAnsiCase(char c) {
  return static_cast<char>(kFold[static_cast<unsigned char>(c)]);
}

std::string FoldAnsiCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = FoldAnsiCase(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (FoldAnsiCase(text[i]) != FoldAnsiCase(prefix[i])) return false;
  return true;
}

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
