// unknown-section-kind: a section the walk reaches whose name has the form of a handler's section
// ("Kind:name", or a file name with an extension) while no handler of the engine takes it. The
// engine then reads it as a generic section, its lines as copy lines and commands.
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"
#include "option_walk.h"

namespace tarvium::lint {

void CheckSectionKinds(const InfFile& inf, const LineNumbers& numbers, const WalkResult& walk,
                       LintReport& report);

}  // namespace tarvium::lint
