// How a text refers to variables, as pure functions: where the references are (a mark followed by
// the end, a comma or a digit is plain text, two marks are one, an unclosed mark runs to the end)
// and what name a reference carries once its prefix, short-form and drive marks and its suffix are
// split off. ReplaceVariables walks texts with these, and so does anything that must know which
// names a text uses without a run (the setup file checker).
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

struct ReferenceParts {
  std::string name;  // upper-cased, without the marks below
  char cPrefix = 0;
  char cSuffix = 0;
  bool bShortForm = false;
  bool bDriveMark = false;
};

// The parts of the text between two marks.
ReferenceParts SplitReference(std::string_view text);

// Calls onText(piece) for every stretch of plain text (a literal mark is a piece of its own) and
// onReference(inner) for the text between the marks of every reference, in order.
template <class OnText, class OnReference>
void WalkReferences(std::string_view text, char cMark, OnText onText, OnReference onReference) {
  size_t nPos = 0;
  while (nPos < text.size()) {
    const size_t nMark = text.find(cMark, nPos);
    if (nMark != nPos)
      onText(text.substr(nPos, nMark == std::string_view::npos ? nMark : nMark - nPos));
    if (nMark == std::string_view::npos) return;
    const char cNext = nMark + 1 < text.size() ? text[nMark + 1] : '\0';
    const size_t nClose = text.find(cMark, nMark + 1);
    if (cNext == '\0' || cNext == ',' || (cNext >= '0' && cNext <= '9')) {
      onText(text.substr(nMark, 1));
      nPos = nMark + 1;
    } else if (cNext == cMark) {
      onText(text.substr(nMark, 1));
      nPos = nMark + 2;
    } else if (nClose == std::string_view::npos) {
      onText(text.substr(nMark));
      return;
    } else {
      onReference(text.substr(nMark + 1, nClose - nMark - 1));
      nPos = nClose + 1;
    }
  }
}

}  // namespace tarvium
