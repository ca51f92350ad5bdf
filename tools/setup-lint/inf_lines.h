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
  // The same for a pos at or after the start of line nFrom: found by stepping on from there, so
  // that the lines of a section, met in order, are numbered without a search each.
  int LineAfter(const char* pos, int nFrom) const;

 private:
  const char* pText_;
  std::vector<size_t> lineFeeds_;
};

// The line of the header of the section the engine reads under name (the first of that name, in
// any case); 0 when the file has none.
int SectionHeaderLine(const InfFile& inf, const LineNumbers& numbers, std::string_view name);

// The line of the section's key (the first of it), else the section's header, else 1.
int KeyLine(const InfFile& inf, const LineNumbers& numbers, std::string_view section,
            std::string_view key);

// Calls visit(name, sectionStart, headerLine) for every section the engine reads: the first of
// each name (in any case); a later one of the same name is never read.
void ForEachReadSection(const InfFile& inf, const LineNumbers& numbers,
                        const std::function<void(const std::string&, const char*, int)>& visit);

// Calls visit(line, lineNumber) for every line of the section that starts at sectionStart, as the
// engine reads them for a generic section (comments dropped, no continued lines).
void ForEachSectionLine(const InfFile& inf, const LineNumbers& numbers, const char* sectionStart,
                        const std::function<void(const std::string&, int)>& visit);

}  // namespace tarvium::lint
