// Checks a loaded setup information file with every rule of setup-lint.
#pragma once
#include <string_view>

#include "engine/inf_file.h"
#include "lint_report.h"
#include "media_check.h"

namespace tarvium::lint {

// infFile: the file's path; pMedia: the setup's media, when given (the rules over copy line
// sources run only then).
void LintFile(const InfFile& inf, std::string_view infFile, LintReport& report,
              Media* pMedia = nullptr);

}  // namespace tarvium::lint
