// missing-strings: the string sections of the languages. A file that gives per-language string
// sections ("Strings:07", "Strings:09,01"; likewise "SysStrings") declares its languages; then each
// language the wizard speaks must find a section by the engine's choice (its own, the
// UseStringSection one, or the plain one), and every key one language's section gives must be in
// the others, or that language's texts read it as empty.
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"

namespace tarvium::lint {

void CheckStringSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report);

}  // namespace tarvium::lint
