// bad-expression: values the engine evaluates as it stores them. A Set command's "NAME=value" and
// every line of a variable section may call an expression function; the call is read as the
// engine reads it (ReadValueCall): one without a name or ')' shows 5528 and sets nothing, one
// naming no function keeps its text as written.
#pragma once
#include <string_view>

#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"

namespace tarvium::lint {

// The arguments of a Set command line, after the command's name.
void CheckSetArguments(std::string_view arguments, int nLine, LintReport& report);

// The lines of every variable section ([Strings], [SysStrings] and their languages, [Environment]).
void CheckVariableSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report);

}  // namespace tarvium::lint
