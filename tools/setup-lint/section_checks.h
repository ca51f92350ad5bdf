// The rules over sections that a handler of their own reads, found by name as the engine's
// section dispatch finds them: registry lines the registry-line parser rejects, and a "Path" key
// in an autoexec.bat section.
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"

namespace tarvium::lint {

void CheckSpecialSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report);

}  // namespace tarvium::lint
