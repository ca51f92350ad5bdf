// Every section of the file is judged, reached by an option or not: the engine reads the first
// section of a name, so a later one of the same name is passed over (duplicate-section reports
// it). A registry line whose root is a variable is known only at run time.
#include "section_checks.h"

#include <optional>
#include <set>
#include <string>

#include "engine/ansi_text.h"
#include "engine/inf_reader.h"
#include "install/install_engine.h"
#include "install/section_dispatch.h"
#include "platform/ansi_case.h"
#include "sysconfig/reg_line.h"

namespace tarvium::lint {
namespace {

void CheckRegistryLine(const std::string& line, int nLine, LintReport& report) {
  bool bDelete = false;
  const std::string_view body = RegLineBody(line, bDelete);
  if (TrimAnsi(body).empty()) return;
  RegLine reg;
  if (ParseRegLine(
          body, [](std::string&) {}, reg))
    return;
  if (body.substr(0, body.find_first_of("\\,")).find('%') != std::string_view::npos) return;
  report.Add(nLine, Severity::Error, "bad-registry-line",
             "registry line without a known root before its first '\\' or ',': the engine "
             "skips it");
}

// The section's own "Path" key is the folder of its batch file, put before the file's name.
void CheckAutoexecPath(const InfFile& inf, const LineNumbers& numbers, const std::string& section,
                       LintReport& report) {
  const char* keyLine = FindKeyLine(inf, section, "Path");
  if (!keyLine) return;
  report.Add(numbers.LineOf(keyLine), Severity::Warning, "path-in-autoexec",
             "'Path=' in [" + section +
                 "] is the section's own key, the folder of the batch file, not a PATH line: it "
                 "is not applied and the section no longer edits c:\\autoexec.bat (write 'PATH "
                 "dir;%PATH%', with a blank, to change the search path)");
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
      ForEachSectionLine(
          inf, numbers, FindSection(inf, name),
          [&](const std::string& line, int nLine) { CheckRegistryLine(line, nLine, report); });
    else if (kind == SectionKind::AutoexecBat)
      CheckAutoexecPath(inf, numbers, name, report);
  }
}

}  // namespace tarvium::lint
