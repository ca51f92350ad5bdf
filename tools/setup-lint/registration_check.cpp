// The removal command names %App%\ + [Application] SetupInfDir + the file's own name, as the
// engine builds it (InfPathIn). Where a copy line puts its file is worked out as text, %App% kept
// as written: a relative destination lies below %App%, and one that names a folder (empty,
// ending in '\', DIRECTORY, or a last name without an extension, as %App% or %Windows%) gets the
// source's path. A folder the machine holds is known only at run time.
#include "registration_check.h"

#include <string>

#include "engine/inf_reader.h"
#include "engine/setup_context.h"
#include "install/copy_flags.h"
#include "install/copy_line_fields.h"
#include "install/file_path_parts.h"
#include "install/uninstall_commands.h"
#include "platform/ansi_case.h"

namespace tarvium::lint {
namespace {

// The engine writes the programs list's entry only for a product with an UninstallKeyName: one
// without is not listed by its author's choice (a component, a test fixture).
const char* UninstallKeyLine(const InfFile& inf) {
  return FindKeyLine(inf, "Application", "UninstallKeyName");
}

// A destination from a drive, the root or a directory variable; any other lies below %App%.
bool IsRootedDestination(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') ||
         (!path.empty() && (path[0] == '\\' || path[0] == '%'));
}

std::string Joined(std::string dir, std::string_view rest) {
  if (!dir.empty() && dir.back() != '\\') dir.push_back('\\');
  return dir.append(rest);
}

bool NamesFolder(std::string_view destination, uint32_t dwCopyFlags) {
  return destination.empty() || destination.back() == '\\' || (dwCopyFlags & COPY_DIRECTORY) ||
         FileNameOf(destination).find('.') == std::string::npos;
}

// The installed path of a copy line's file, "" for a line that installs none.
std::string InstalledPath(const std::string& line) {
  const CopyLineFields fields = ParseCopyLine(line);
  uint32_t dwCopyFlags = 0, dwAttributes = 0;
  if (!ParseCopyLineFlags(fields.flags, dwCopyFlags, dwAttributes) ||
      (dwCopyFlags & (COPY_DELETE | COPY_CREATE)))
    return {};
  const std::string path = IsRootedDestination(fields.destination)
                               ? fields.destination
                               : Joined("%App%", fields.destination);
  return NamesFolder(fields.destination, dwCopyFlags) ? Joined(path, fields.source) : path;
}

void CheckUninstallName(const InfFile& inf, int nLine, LintReport& report) {
  if (FindKey(inf, "Application", "UninstallDisplayName")) return;
  report.Add(nLine, Severity::Warning, "no-uninstall-name",
             "UninstallKeyName without UninstallDisplayName in [Application]: the programs list "
             "hides the product's entry");
}

void CheckInfCopied(const InfFile& inf, std::string_view infFile, int nLine, const WalkResult& walk,
                    LintReport& report) {
  std::string setupInfDir;
  GetValue(inf, "Application", "SetupInfDir", setupInfDir, kPathSize);
  const std::string wanted = InfPathIn("%App%", setupInfDir, infFile);
  for (const MetCopyLine& met : walk.copyLines)
    if (platform::AnsiEqualNoCase(InstalledPath(met.line), wanted)) return;
  report.Add(nLine, Severity::Warning, "setup-inf-not-copied",
             "no copy line installs " + FileNameOf(infFile) + " as " + wanted +
                 ": the removal the programs list starts will not find it");
}

}  // namespace

void CheckRegistration(const InfFile& inf, std::string_view infFile, const LineNumbers& numbers,
                       const WalkResult& walk, LintReport& report) {
  const char* keyLine = UninstallKeyLine(inf);
  if (!keyLine) return;
  const int nLine = numbers.LineOf(keyLine);
  CheckUninstallName(inf, nLine, report);
  CheckInfCopied(inf, infFile, nLine, walk, report);
}

}  // namespace tarvium::lint
