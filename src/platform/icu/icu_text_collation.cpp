// CompareTextNoCase over ICU: one collator of the root order at secondary strength (base letters,
// then accents; case is the third level and is not compared), opened once for the process and
// shared, which ICU allows for comparisons. ANSI text is widened to UTF-16 through the code page
// table in buffers kept per thread, so a comparison allocates nothing once they have grown. Should
// ICU's data be missing, the upper-case byte order of the code page is the fallback.
#include <unicode/ucol.h>

#include <string>
#include <string_view>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/text_collation.h"

namespace platform {
namespace {

// The root order, tailored as Windows orders the code page: the ligatures equal the letters they
// stand for (ß is ss, æ is ae, œ is oe), and the ASCII punctuation and symbols sort by their code,
// with + < = > after them, all just before the digits (ICU's root order groups them otherwise).
constexpr char16_t kLigatureRules[] = u"&ss=\u00DF&ae=\u00E6&AE=\u00C6&oe=\u0153&OE=\u0152";
constexpr std::string_view kAsciiSymbolOrder = " !\"#$%&'()*,-./:;?@[\\]^_`{|}~+<=>";

std::u16string TailoringRules() {
  std::u16string rules = kLigatureRules;
  rules += u"&[before 1]0";
  for (char c : kAsciiSymbolOrder) {
    rules += u'<';
    if (c == '\'') {
      rules += u"''";  // a doubled apostrophe is a literal one
    } else {
      rules += u'\'';
      rules += static_cast<char16_t>(c);
      rules += u'\'';
    }
  }
  return rules;
}

UCollator* OpenCollator() {
  const std::u16string rules = TailoringRules();
  UErrorCode status = U_ZERO_ERROR;
  UParseError parseError;
  UCollator* collator = ucol_openRules(rules.data(), static_cast<int32_t>(rules.size()),
                                       UCOL_DEFAULT, UCOL_SECONDARY, &parseError, &status);
  if (U_FAILURE(status)) {
    ucol_close(collator);
    return nullptr;
  }
  return collator;
}

const UCollator* Collator() {
  static UCollator* const collator = OpenCollator();  // lives as long as the process
  return collator;
}

bool IsWordSortMark(char c) {
  return c == '-' || c == '\'';
}

// The UTF-16 form of an ANSI text, with or without the hyphens and apostrophes.
void Widen(std::string_view text, bool bKeepMarks, std::u16string& wide) {
  wide.clear();
  for (char c : text)
    if (bKeepMarks || !IsWordSortMark(c))
      wide.push_back(AnsiCharToUnicode(static_cast<unsigned char>(c)));
}

int Collate(const UCollator* collator, const std::u16string& a, const std::u16string& b) {
  const UCollationResult result = ucol_strcoll(collator, a.data(), static_cast<int32_t>(a.size()),
                                               b.data(), static_cast<int32_t>(b.size()));
  return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

int CountMarks(std::string_view text) {
  int n = 0;
  for (char c : text) n += IsWordSortMark(c);
  return n;
}

}  // namespace

int CompareTextNoCase(std::string_view a, std::string_view b) {
  const UCollator* collator = Collator();
  if (collator == nullptr) return AnsiCompareNoCase(a, b);
  thread_local std::u16string wideA, wideB;
  Widen(a, false, wideA);
  Widen(b, false, wideB);
  if (const int nOrder = Collate(collator, wideA, wideB); nOrder != 0) return nOrder;
  // Equal apart from hyphens and apostrophes: fewer marks first, then where they stand.
  const int nMarksA = CountMarks(a);
  const int nMarksB = CountMarks(b);
  if (nMarksA != nMarksB) return nMarksA < nMarksB ? -1 : 1;
  if (nMarksA == 0) return 0;
  Widen(a, true, wideA);
  Widen(b, true, wideB);
  return Collate(collator, wideA, wideB);
}

}  // namespace platform
