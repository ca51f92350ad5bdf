// Every section of the file is judged, reached by an option or not: the engine reads the first
// section of a name, so a later one of the same name is passed over (duplicate-section reports
// it). A registry line whose root is a variable is known only at run time; a registry section's
// own "Caption" key is no registry line.
#include "section_checks.h"

#include <optional>
#include <set>
#include <string>

#include "engine/ansi_text.h"
#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "install/install_engine.h"
#include "install/section_dispatch.h"
#include "platform/ansi_case.h"
#include "sysconfig/reg_line.h"
#include "sysconfig/security_commands.h"

namespace tarvium::lint {
namespace {

// A number the engine reads only in part is written as what it read (dword:zz as 0); a value
// holding a variable is known only at run time.
void CheckRegistryData(const RegLine& reg, int nLine, LintReport& report) {
  const bool bNumbers = reg.dwType == platform::REG_DWORD || reg.dwType == platform::REG_QWORD ||
                        reg.dwType == platform::REG_BINARY || reg.dwType == platform::REG_NONE;
  if (!bNumbers || reg.isDelete || reg.keyOnly || reg.valueText.find('%') != std::string::npos)
    return;
  bool bWhole = true;
  BuildRegData(reg.dwType, reg.valueText, reg.commaForm, reg.textFromHex, &bWhole);
  if (!bWhole)
    report.Add(nLine, Severity::Warning, "bad-registry-line",
               "value '" + reg.valueText +
                   "' is not a number of its type throughout: the engine writes what it reads "
                   "of it (0 for no digits)");
}

void CheckRegistryLine(const std::string& line, int nLine, LintReport& report) {
  bool bDelete = false;
  const std::string_view body = RegLineBody(line, bDelete);
  if (TrimAnsi(body).empty()) return;
  RegLine reg;
  if (ParseRegLine(
          body, [](std::string&) {}, reg)) {
    if (!bDelete) CheckRegistryData(reg, nLine, report);
    return;
  }
  if (body.substr(0, body.find_first_of("\\,")).find('%') != std::string_view::npos) return;
  report.Add(nLine, Severity::Warning, "bad-registry-line",
             "registry line without a known root before its first '\\' or ',': the engine "
             "skips it");
}

// Whether the line's key is the section's "Caption".
bool IsCaptionLine(const std::string& line) {
  const size_t nEquals = line.find('=');
  return nEquals != std::string::npos &&
         platform::AnsiEqualNoCase(TrimAnsi(std::string_view(line).substr(0, nEquals)), "Caption");
}

// The first "Caption" line is the section's key, as a key look-up finds it.
void CheckRegistrySection(const InfFile& inf, const LineNumbers& numbers,
                          const std::string& section, LintReport& report) {
  bool bCaptionMet = false;
  ForEachSectionLine(inf, numbers, FindSection(inf, section),
                     [&](const std::string& line, int nLine) {
                       if (!bCaptionMet && IsCaptionLine(line)) {
                         bCaptionMet = true;
                         return;
                       }
                       CheckRegistryLine(line, nLine, report);
                     });
}

// The section's own "Path" key is a folder put before the batch file's name, and the name an
// autoexec.bat section is given is already a full path ("c:\autoexec.bat", or the one in the
// application directory): the file cannot be made, whatever the folder.
void CheckAutoexecPath(const InfFile& inf, const LineNumbers& numbers, const std::string& section,
                       LintReport& report) {
  std::string path;
  if (!GetValue(inf, section, "Path", path, kVariableLineSize) || path.empty()) return;
  report.Add(numbers.LineOf(FindKeyLine(inf, section, "Path")), Severity::Error, "path-in-autoexec",
             "'Path=' in [" + section +
                 "] is the section's own key, not a PATH line: the engine puts '" + path +
                 "' before the batch file's full name (c:\\autoexec.bat), cannot create the "
                 "file so named (message 5504 at run time) and the section fails (write 'PATH "
                 "dir;%PATH%', with a blank, to change the search path)");
}

// A line whose object or method holds a variable is known only at run time.
void CheckSecuritySection(const InfFile& inf, const LineNumbers& numbers,
                          const std::string& section, LintReport& report) {
  ForEachSectionLine(
      inf, numbers, FindSection(inf, section), [&](const std::string& line, int nLine) {
        const std::string_view head = std::string_view(line).substr(0, line.find('('));
        if (TrimAnsi(line).empty() || head.find('%') != std::string_view::npos ||
            IsSecurityCommand(line))
          return;
        report.Add(nLine, Severity::Error, "bad-security-line",
                   "'" + std::string(TrimAnsi(line)) +
                       "' is no security command (Object.Method (fields), as "
                       "LocalUser.Add (name, password)): message 5555 at run "
                       "time and the section stops");
      });
}

}  // namespace

void CheckSpecialSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  std::set<std::string> seen;
  for (const char* header : inf.SectionIndex()) {
    if (!header) break;
    const std::string name = SectionHeaderName(header);
    if (!seen.insert(platform::AnsiUpper(name)).second) continue;
    const std::optional<SectionKind> kind = SpecialSectionKind(name);
    if (kind == SectionKind::Registry)
      CheckRegistrySection(inf, numbers, name, report);
    else if (kind == SectionKind::AutoexecBat)
      CheckAutoexecPath(inf, numbers, name, report);
    else if (kind == SectionKind::Security)
      CheckSecuritySection(inf, numbers, name, report);
  }
}

}  // namespace tarvium::lint
