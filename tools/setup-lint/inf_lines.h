// The lines of a loaded setup information file with the numbers they have in the file: the
// engine's section cursor finds them, a table of line starts numbers them.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/inf_file.h"

namespace tarvium::lint {

// The name in a section header ("[Name]" at header).
std::string SectionHeaderName(const char* header);

class LineNumbers {
 public:
  explicit LineNumbers(const InfFile& inf);
  // The 1-based line of the file that holds pos (a position in the file's text).
  int LineOf(const char* pos) const;

 private:
  const char* pText_;
  std::vector<size_t> lineFeeds_;
};

// Calls visit(line, lineNumber) for every line of the section that starts at sectionStart, as the
// engine reads them for a generic section (comments dropped, no continued lines).
void ForEachSectionLine(const InfFile& inf, const LineNumbers& numbers, const char* sectionStart,
                        const std::function<void(const std::string&, int)>& visit);

}  // namespace tarvium::lint
