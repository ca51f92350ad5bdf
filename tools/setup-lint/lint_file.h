// Checks a loaded setup information file with every rule of setup-lint.
#pragma once
#include "engine/inf_file.h"
#include "lint_report.h"
#include "media_check.h"

namespace tarvium::lint {

// pMedia: the setup's media, when given (the rules over copy line sources run only then).
void LintFile(const InfFile& inf, LintReport& report, Media* pMedia = nullptr);

}  // namespace tarvium::lint
