#include "ui/text_layout.h"

#include <cctype>

namespace tarvium::ui {
namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte length of the first nColumns characters of the text.
size_t BytesOfColumns(std::string_view text, size_t nColumns) {
  size_t i = 0;
  for (size_t nSeen = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i])) continue;
    if (nSeen++ == nColumns) break;
  }
  return i;
}

void WrapParagraph(std::string_view paragraph, size_t nWidth, std::vector<std::string>& lines) {
  std::string line;
  size_t nLineWidth = 0;
  auto flush = [&] {
    lines.push_back(line);
    line.clear();
    nLineWidth = 0;
  };
  while (!paragraph.empty()) {
    const size_t nWordEnd = paragraph.find(' ');
    std::string_view word = paragraph.substr(0, nWordEnd);
    paragraph.remove_prefix(nWordEnd == std::string_view::npos ? paragraph.size() : nWordEnd + 1);
    while (DisplayWidth(word) > nWidth) {  // a word longer than a line is cut
      if (nLineWidth > 0) flush();
      const size_t nCut = BytesOfColumns(word, nWidth);
      line = std::string(word.substr(0, nCut));
      flush();
      word.remove_prefix(nCut);
    }
    const size_t nWordWidth = DisplayWidth(word);
    if (nLineWidth > 0 && nLineWidth + 1 + nWordWidth > nWidth) flush();
    if (nLineWidth > 0) {
      line += ' ';
      ++nLineWidth;
    }
    line += word;
    nLineWidth += nWordWidth;
  }
  lines.push_back(line);
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

size_t DisplayWidth(std::string_view utf8Text) {
  size_t nWidth = 0;
  for (char c : utf8Text)
    if (!IsContinuationByte(c)) ++nWidth;
  return nWidth;
}

std::vector<std::string> WrapText(std::string_view utf8Text, size_t nWidth) {
  std::vector<std::string> lines;
  if (nWidth == 0) nWidth = 1;
  std::string text;
  for (char c : utf8Text)
    if (c != '\r') text += c == '\t' ? ' ' : c;
  std::string_view rest = text;
  while (true) {
    const size_t nBreak = rest.find('\n');
    WrapParagraph(rest.substr(0, nBreak), nWidth, lines);
    if (nBreak == std::string_view::npos) break;
    rest.remove_prefix(nBreak + 1);
  }
  return lines;
}

char AccessKey(std::string_view label) {
  for (size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] != '&') continue;
    if (label[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(label[i + 1])));
  }
  return '\0';
}

std::vector<std::string> DropDownEntries(std::string_view defaultText) {
  std::vector<std::string> entries;
  if (defaultText.find(';') == std::string_view::npos) return entries;
  while (true) {
    const size_t nSeparator = defaultText.find(';');
    const std::string_view part = Trimmed(defaultText.substr(0, nSeparator));
    if (!part.empty()) entries.emplace_back(part);
    if (nSeparator == std::string_view::npos) break;
    defaultText.remove_prefix(nSeparator + 1);
  }
  return entries;
}

std::string FitLine(std::string_view utf8Text, size_t nWidth) {
  if (DisplayWidth(utf8Text) <= nWidth) return std::string(utf8Text);
  if (nWidth <= 3) return std::string(utf8Text.substr(0, BytesOfColumns(utf8Text, nWidth)));
  return std::string(utf8Text.substr(0, BytesOfColumns(utf8Text, nWidth - 3))) + "...";
}

}  // namespace tarvium::ui
