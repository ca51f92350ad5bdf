// bad-condition over [Requirements]: each line is split into its alternatives and each one read as
// the engine reads it before the installation starts (RequirementAlternatives,
// ReadRequirementForm).
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"

namespace tarvium::lint {

void CheckRequirementLines(const InfFile& inf, const LineNumbers& numbers, LintReport& report);

}  // namespace tarvium::lint
