#include "script/next_argument.h"

namespace tarvium {
namespace {

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// A quoted argument: up to the matching quote, a doubled quote standing for one; then everything
// up to and including the next comma is skipped.
size_t ReadQuoted(std::string_view text, size_t nPos, std::string& out) {
  const char quote = text[nPos++];
  while (nPos < text.size()) {
    if (text[nPos] == quote) {
      if (nPos + 1 < text.size() && text[nPos + 1] == quote) {
        out += quote;
        nPos += 2;
        continue;
      }
      ++nPos;
      break;
    }
    out += text[nPos++];
  }
  const size_t nComma = text.find(',', nPos);
  return nComma == std::string_view::npos ? text.size() : nComma + 1;
}

}  // namespace

size_t NextArgument(std::string_view text, size_t nPos, std::string& out) {
  out.clear();
  while (nPos < text.size() && text[nPos] == ' ') ++nPos;
  if (nPos >= text.size() || IsLineEnd(text[nPos])) return std::string_view::npos;
  if (text[nPos] == '"' || text[nPos] == '\'') return ReadQuoted(text, nPos, out);
  const size_t nComma = text.find(',', nPos);
  const size_t nEnd = nComma == std::string_view::npos ? text.size() : nComma;
  out.assign(text.substr(nPos, nEnd - nPos));
  return nComma == std::string_view::npos ? text.size() : nComma + 1;
}

}  // namespace tarvium
