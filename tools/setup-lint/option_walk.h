// The sections an installation reaches, found as the engine finds them: the option lines of
// [Copy] and [Options] name their sections, and "#Name, Flags" lines in those name more. Each
// line on the way is checked: option and reference flags, names of sections the file lacks, the
// flags of copy lines and IF lines.
#pragma once
#include <string>
#include <vector>

#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"

namespace tarvium::lint {

struct MetCopyLine {
  std::string line;  // as the engine reads it
  int nLine = 0;
};

struct WalkResult {
  std::vector<MetCopyLine> copyLines;  // every copy line met, in the order met
  std::vector<std::string> sections;   // every section reached, in the order met
};

WalkResult WalkOptionSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report);

}  // namespace tarvium::lint
