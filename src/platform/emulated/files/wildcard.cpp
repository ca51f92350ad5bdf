// The pattern is first rewritten into the kernel's DOS wildcard forms the way kernel32 does
// before it asks the file system: '?' becomes DOS_QM, '*' before a dot becomes DOS_STAR, and a
// dot before a wildcard or at the end becomes DOS_DOT. A pattern may also hold those forms
// itself, written as '>', '<' and '"'. The match then walks the pattern once, carrying the set of
// name positions reached, so that no pattern takes exponential time.
// Trailing blanks and dots are cut from the pattern as from any name, and a pattern that ended
// in a dot gets one dot back, as kernel32 puts it back after the path was normalised: "*.." and
// "* ." are "*.", a name without a dot, while "*. " becomes "*".
#include "platform/emulated/files/wildcard.h"

#include <string>
#include <vector>

#include "platform/ansi_case.h"

namespace platform::emulated {
namespace {

enum class Token : char { Char, Star, DosStar, DosQm, DosDot };

struct PatternItem {
  Token token;
  char c;
};

std::string TrimPatternEnd(std::string_view pattern) {
  const size_t nKeep = pattern.find_last_not_of(". ") + 1;  // npos + 1 is 0
  std::string trimmed(pattern.substr(0, nKeep));
  if (!pattern.empty() && pattern.back() == '.') trimmed += '.';
  return trimmed;
}

std::vector<PatternItem> CompilePattern(std::string_view original) {
  std::string pattern = TrimPatternEnd(original);
  if (pattern == "*.*") pattern = "*";
  std::vector<PatternItem> items;
  items.reserve(pattern.size());
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '?' || c == '>') {
      items.push_back({Token::DosQm, c});
    } else if (c == '*') {
      items.push_back({next == '.' ? Token::DosStar : Token::Star, c});
    } else if (c == '<') {
      items.push_back({Token::DosStar, c});
    } else if (c == '"' || (c == '.' && (next == '\0' || next == '*' || next == '?'))) {
      items.push_back({Token::DosDot, c});
    } else {
      items.push_back({Token::Char, AnsiUpperChar(c)});
    }
  }
  return items;
}

// Moves every reached position of `name` over one pattern item. DOS_STAR stops at the final dot
// of the name, or takes that dot as its last character and ends there ("<<" is every name, as
// "<" then matches what follows the dot). In "." and "..", '?' may take the dot or pass it.
std::vector<char> Step(const PatternItem& item, std::string_view name, size_t nLastDot,
                       bool bDotEntry, const std::vector<char>& reached) {
  const size_t n = name.size();
  std::vector<char> next(n + 1, 0);
  for (size_t j = 0; j <= n; ++j) {
    if (!reached[j]) continue;
    const bool bAtEnd = j == n;
    switch (item.token) {
      case Token::Char:
        if (!bAtEnd && AnsiUpperChar(name[j]) == item.c) next[j + 1] = 1;
        break;
      case Token::Star:
        for (size_t k = j; k <= n; ++k) next[k] = 1;
        return next;  // every later position is reached already
      case Token::DosStar: {
        // Up to the final dot of the name and just past it, or to the end when no dot lies ahead.
        const bool bDotAhead = nLastDot != std::string_view::npos && nLastDot >= j;
        const size_t nLimit = bDotAhead ? nLastDot + 1 : n;
        for (size_t k = j; k <= nLimit; ++k) next[k] = 1;
        break;
      }
      case Token::DosQm:
        if (bAtEnd || name[j] == '.') next[j] = 1;
        if (!bAtEnd && (name[j] != '.' || bDotEntry)) next[j + 1] = 1;
        break;
      case Token::DosDot:
        if (bAtEnd)
          next[j] = 1;
        else if (name[j] == '.')
          next[j + 1] = 1;
        break;
    }
  }
  return next;
}

}  // namespace

bool HasWildcards(std::string_view pattern) {
  return pattern.find_first_of("*?<>\"") != std::string_view::npos;
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  const bool bDotEntry = name == "." || name == "..";
  if (bDotEntry) name = ".";  // the two entries are listed alike
  const size_t nLastDot = bDotEntry ? std::string_view::npos : name.rfind('.');
  std::vector<char> reached(name.size() + 1, 0);
  reached[0] = 1;
  for (const PatternItem& item : CompilePattern(pattern)) {
    reached = Step(item, name, nLastDot, bDotEntry, reached);
    bool bAny = false;
    for (char r : reached) bAny = bAny || r;
    if (!bAny) return false;
  }
  return reached[name.size()] != 0;
}

}  // namespace platform::emulated
