// What a run needs before it installs anything: a format version the engine accepts, and an
// application directory for the files that go into %App%.
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"
#include "option_walk.h"

namespace tarvium::lint {

void CheckFormatVersion(const InfFile& inf, const LineNumbers& numbers, LintReport& report);
void CheckApplicationDirectory(const InfFile& inf, const WalkResult& walk, LintReport& report);

}  // namespace tarvium::lint
