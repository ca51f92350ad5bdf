// The rules over single values of the file: keys longer than the room the engine reads them into,
// encrypted values that the engine's guard would not decrypt, and an administrator section
// without the application directory an administrator setup takes from it.
#pragma once
#include "engine/inf_file.h"
#include "inf_lines.h"
#include "lint_report.h"

namespace tarvium::lint {

void CheckValueLengths(const InfFile& inf, const LineNumbers& numbers, LintReport& report);
void CheckEncryptedValues(const InfFile& inf, const LineNumbers& numbers, LintReport& report);
void CheckAdminDirectory(const InfFile& inf, const LineNumbers& numbers, LintReport& report);

}  // namespace tarvium::lint
