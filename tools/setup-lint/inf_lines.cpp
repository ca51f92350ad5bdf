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

void ForEachSectionLine(const InfFile& inf, const LineNumbers& numbers, const char* sectionStart,
                        const std::function<void(const std::string&, int)>& visit) {
  if (!sectionStart) return;
  InfSection cursor;
  OpenSection(cursor, inf, sectionStart, false, false, false);
  std::string line;
  for (const char* pLine : cursor.lineStarts) {
    ReadLine(pLine, &line, kVariableLineSize, false, false);
    visit(line, numbers.LineOf(pLine));
  }
}

}  // namespace tarvium::lint
