// bad-command: a command line of a generic section the walk reaches (or the command an IF line
// chooses) that names no command of the engine's command table while it cannot be a program
// either (a bare word: no path, extension or variable), or that gives a command fewer arguments
// than its handler needs (message 5528 at run time).
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"
#include "option_walk.h"

namespace tarvium::lint {

void CheckCommands(const InfFile& inf, const LineNumbers& numbers, const WalkResult& walk,
                   LintReport& report);

}  // namespace tarvium::lint
