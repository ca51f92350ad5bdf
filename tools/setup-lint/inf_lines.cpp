#include "inf_lines.h"

#include <algorithm>

#include "engine/inf_reader.h"
#include "engine/replace_variables.h"

namespace tarvium::lint {

std::string SectionHeaderName(const char* header) {
  std::string name;
  for (const char* p = header + 1; *p && *p != ']' && *p != '\r' && *p != '\n'; ++p) name += *p;
  return name;
}

LineNumbers::LineNumbers(const InfFile& inf) : pText_(inf.Text()) {
  const std::string_view text = inf.View();
  for (size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1))
    lineFeeds_.push_back(i);
}

int LineNumbers::LineOf(const char* pos) const {
  const size_t nOffset = static_cast<size_t>(pos - pText_);
  const auto it = std::lower_bound(lineFeeds_.begin(), lineFeeds_.end(), nOffset);
  return static_cast<int>(it - lineFeeds_.begin()) + 1;
}

int LineNumbers::LineAfter(const char* pos, int nFrom) const {
  const size_t nOffset = static_cast<size_t>(pos - pText_);
  size_t nIndex = static_cast<size_t>(nFrom - 1);
  while (nIndex < lineFeeds_.size() && lineFeeds_[nIndex] < nOffset) ++nIndex;
  return static_cast<int>(nIndex) + 1;
}

// The section starts on the line after its header: the header is the last one before the start.
int SectionHeaderLine(const InfFile& inf, const LineNumbers& numbers, std::string_view name) {
  const char* start = FindSection(inf, name);
  if (!start) return 0;
  const char* found = nullptr;
  for (const char* header : inf.SectionIndex()) {
    if (!header || header >= start) break;
    found = header;
  }
  return found ? numbers.LineOf(found) : 0;
}

void ForEachReadSection(const InfFile& inf, const LineNumbers& numbers,
                        const std::function<void(const std::string&, const char*, int)>& visit) {
  for (const char* header : inf.SectionIndex()) {
    if (!header) break;
    const std::string name = SectionHeaderName(header);
    const char* start = FindSection(inf, name);
    const int nHeaderLine = numbers.LineOf(header);
    if (start && numbers.LineOf(start) - 1 == nHeaderLine) visit(name, start, nHeaderLine);
  }
}

void ForEachSectionLine(const InfFile& inf, const LineNumbers& numbers, const char* sectionStart,
                        const std::function<void(const std::string&, int)>& visit) {
  if (!sectionStart) return;
  InfSection cursor;
  OpenSection(cursor, inf, sectionStart, false, false, false);
  std::string line;
  int nLine = 0;
  for (const char* pLine : cursor.lineStarts) {
    ReadLine(pLine, &line, kVariableLineSize, false, false);
    nLine = nLine == 0 ? numbers.LineOf(pLine) : numbers.LineAfter(pLine, nLine);
    visit(line, nLine);
  }
}

int KeyLine(const InfFile& inf, const LineNumbers& numbers, std::string_view section,
            std::string_view key) {
  if (const char* line = FindKeyLine(inf, section, key)) return numbers.LineOf(line);
  const int nHeader = SectionHeaderLine(inf, numbers, section);
  return nHeader ? nHeader : 1;
}

}  // namespace tarvium::lint
