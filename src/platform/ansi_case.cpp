// Case rules of Windows-1252 over the upper-case table of the header; the lower-case table is
// its inverse.
#include "platform/ansi_case.h"

#include <array>

namespace platform {
namespace {

using ansi_case_detail::kUpper;

std::array<unsigned char, 256> MakeLowerTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 0; c < 256; ++c)
    if (kUpper[c] != c) table[kUpper[c]] = static_cast<unsigned char>(c);
  return table;
}

const std::array<unsigned char, 256> kLower = MakeLowerTable();

}  // namespace

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

bool AnsiMatchesPattern(std::string_view pattern, std::string_view name, bool bQuestionMarkIsWild) {
  size_t p = 0, n = 0, nStar = std::string_view::npos, nResume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      nStar = p++;
      nResume = n;
    } else if (p < pattern.size() && ((bQuestionMarkIsWild && pattern[p] == '?') ||
                                      AnsiUpperChar(pattern[p]) == AnsiUpperChar(name[n]))) {
      ++p;
      ++n;
    } else if (nStar != std::string_view::npos) {
      p = nStar + 1;
      n = ++nResume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace platform
