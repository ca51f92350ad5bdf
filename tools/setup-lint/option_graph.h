// The options as a graph: the tree their path names make ([Copy] then [Options], a parent named
// before its children), the dependencies of [OptionDependencies] and the exclusive groups of
// [OptionGroups]. Rules: option-order (a child before its parent, or no parent at all: the engine
// stops the run), option-cycle (options that select each other in a circle),
// one-member-group (an exclusive choice with nothing to choose from), unknown-option (a
// dependency or group naming no option) and duplicate-key for an option named twice.
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"

namespace tarvium::lint {

void CheckOptionGraph(const InfFile& inf, const LineNumbers& numbers, LintReport& report);

}  // namespace tarvium::lint
