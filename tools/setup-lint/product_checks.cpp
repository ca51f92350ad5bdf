// The version is read and judged by the engine's own rules (ParseFormatVersion,
// IsAcceptedFormatVersion). A copy line goes into %App% when its destination names it.
#include "product_checks.h"

#include <string>

#include "engine/inf_reader.h"
#include "engine/inf_values.h"
#include "engine/product_identity.h"
#include "engine/setup_context.h"
#include "install/copy_line_fields.h"
#include "platform/ansi_case.h"

namespace tarvium::lint {
namespace {

bool NamesApp(const std::string& destination) {
  return platform::AnsiUpper(destination).find("%APP%") != std::string::npos;
}

}  // namespace

void CheckFormatVersion(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  std::string version;
  GetValue(inf, "Setup", "Version", version, kShortTextSize);
  if (IsAcceptedFormatVersion(ParseFormatVersion(version))) return;
  report.Add(KeyLine(inf, numbers, "Setup", "Version"), Severity::Error, "no-version",
             version.empty() ? "no [Setup] Version: the engine refuses the file (message 5532); "
                               "add [Setup] Version=4.10 or the version the file is written for"
                             : "[Setup] Version=" + version +
                                   " is older than the engine accepts (message 5532)");
}

void CheckApplicationDirectory(const InfFile& inf, const WalkResult& walk, LintReport& report) {
  std::string dir;
  if (GetValue(inf, "Application", "ApplicationDir", dir, kPathSize) && !dir.empty()) return;
  for (const MetCopyLine& met : walk.copyLines) {
    if (!NamesApp(ParseCopyLine(met.line).destination)) continue;
    report.Add(met.nLine, Severity::Warning, "no-appdir",
               "the line copies into the application directory, but [Application] gives no "
               "ApplicationDir: the run installs nothing there and reports success");
    return;
  }
}

}  // namespace tarvium::lint
