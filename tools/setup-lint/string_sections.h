// missing-strings: the string sections of the languages. A file that gives per-language string
// sections ("Strings:07", "Strings:09,01"; likewise "SysStrings") declares its languages; then, for
// each base that has such sections, each declared language must find a section by the engine's
// choice (its own, the UseStringSection one, or the plain one), and every key one language's
// section gives must be in the others, or that language's texts read it as empty.
#pragma once
#include <string_view>

#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"

namespace tarvium::lint {

// Whether the engine loads the section's "Name=value" lines as variables, one after the other:
// [Strings] and [SysStrings], also in a language's form ("Strings:07"), and [Environment].
bool IsVariableSection(std::string_view name);

void CheckStringSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report);

}  // namespace tarvium::lint
