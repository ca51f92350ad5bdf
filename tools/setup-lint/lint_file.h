// Checks a loaded setup information file with every rule of setup-lint.
#pragma once
#include "engine/inf_file.h"
#include "lint_report.h"

namespace tarvium::lint {

void LintFile(const InfFile& inf, LintReport& report);

}  // namespace tarvium::lint
