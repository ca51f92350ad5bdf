// The upper-case table of Windows-1252: ASCII letters, the Latin-1 letters from 0xE0 (but not
// the division sign 0xF7), and the four letters whose capitals sit in the 0x80 row.
#include "platform/ansi_case.h"

#include <array>

namespace platform {
namespace {

std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 0x20);
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 0x20);
  table[0x9A] = 0x8A;  // š -> Š
  table[0x9C] = 0x8C;  // œ -> Œ
  table[0x9E] = 0x8E;  // ž -> Ž
  table[0xFF] = 0x9F;  // ÿ -> Ÿ
  return table;
}

const std::array<unsigned char, 256> kUpper = MakeUpperTable();

std::array<unsigned char, 256> MakeLowerTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 0; c < 256; ++c)
    if (kUpper[c] != c) table[kUpper[c]] = static_cast<unsigned char>(c);
  return table;
}

const std::array<unsigned char, 256> kLower = MakeLowerTable();

}  // namespace

char AnsiUpperChar(char c) {
  return static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
}

std::string AnsiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AnsiUpperChar(c);
  return out;
}

bool AnsiEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AnsiUpperChar(a[i]) != AnsiUpperChar(b[i])) return false;
  return true;
}

char AnsiLowerChar(char c) {
  return static_cast<char>(kLower[static_cast<unsigned char>(c)]);
}

std::string AnsiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AnsiLowerChar(c);
  return out;
}

int AnsiCompareNoCase(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int ca = kUpper[static_cast<unsigned char>(a[i])];
    const int cb = kUpper[static_cast<unsigned char>(b[i])];
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool AnsiStartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && AnsiEqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool AnsiEndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         AnsiEqualNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace platform
