// undefined-variable: a %Name% reference on a line the installation reads (the product's own
// sections, the option lines and every section the walk reaches) whose name nothing defines: not
// the engine's predefined table, not what the engine sets as it runs, not the Windows session's
// environment, and nowhere in the file (a key of any section, a prompt's variable, a Set, For,
// counter or Tokenize target). Such a reference reads as the empty text at run time.
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"
#include "option_walk.h"

namespace tarvium::lint {

void CheckUndefinedVariables(const InfFile& inf, const LineNumbers& numbers, const WalkResult& walk,
                             LintReport& report);

}  // namespace tarvium::lint
