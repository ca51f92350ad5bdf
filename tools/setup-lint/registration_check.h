// The product's entry in the programs list: its name, and the setup information file its
// removal command starts, which a copy line must install where the command looks for it.
#pragma once
#include <string_view>

#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"
#include "option_walk.h"

namespace tarvium::lint {

// infFile: the checked file's path; its own name is the one the removal command names.
void CheckRegistration(const InfFile& inf, std::string_view infFile, const LineNumbers& numbers,
                       const WalkResult& walk, LintReport& report);

}  // namespace tarvium::lint
