// The rules over the whole file come first (duplicate sections and keys, the registration),
// then the walk through the sections an installation reaches.
#include "lint_file.h"

#include <map>
#include <string>

#include "engine/inf_reader.h"
#include "inf_lines.h"
#include "install/section_text.h"
#include "option_walk.h"
#include "platform/ansi_case.h"
#include "section_checks.h"
#include "value_checks.h"

namespace tarvium::lint {
namespace {

// The engine finds the first section of a name (in any case): a later one is never read.
void CheckDuplicateSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  std::map<std::string, int> firstLines;
  for (const char* header : inf.SectionIndex()) {
    if (!header) break;
    const std::string name = SectionHeaderName(header);
    const int nLine = numbers.LineOf(header);
    const auto [first, bFirst] = firstLines.try_emplace(platform::AnsiUpper(name), nLine);
    if (!bFirst)
      report.Add(nLine, Severity::Warning, "duplicate-section",
                 "section [" + name + "] is given again (first at line " +
                     std::to_string(first->second) + "); the engine ignores this one");
  }
}

// The product's sections are read by key, and a key lookup finds the first line of the key: a
// later one is never read.
void CheckDuplicateKeys(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  for (const char* section : {"Setup", "Application"}) {
    std::map<std::string, int> firstLines;
    ForEachSectionLine(
        inf, numbers, FindSection(inf, section), [&](const std::string& line, int nLine) {
          std::string key, value;
          if (!SplitAtEquals(line, key, value) || key.empty()) return;
          const auto [first, bFirst] = firstLines.try_emplace(platform::AnsiUpper(key), nLine);
          if (!bFirst)
            report.Add(nLine, Severity::Warning, "duplicate-key",
                       key + " is given again in [" + section + "] (first at line " +
                           std::to_string(first->second) + "); the engine reads the first");
        });
  }
}

// Where a finding about [Application] goes: its header, else the top of the file.
int ApplicationLine(const InfFile& inf, const LineNumbers& numbers) {
  const char* start = FindSection(inf, "Application");
  return start ? numbers.LineOf(start) - 1 : 1;
}

void CheckUninstallName(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  if (FindKey(inf, "Application", "UninstallDisplayName")) return;
  report.Add(ApplicationLine(inf, numbers), Severity::Warning, "no-uninstall-name",
             "no UninstallDisplayName in [Application]: the product is not listed among the "
             "installed programs");
}

bool NamesSetupInf(const std::string& source) {
  const size_t nSlash = source.find_last_of("\\:");
  const std::string_view name =
      std::string_view(source).substr(nSlash == std::string::npos ? 0 : nSlash + 1);
  return platform::AnsiEqualNoCase(name, "Setup.inf");
}

void CheckSetupInfCopied(const InfFile& inf, const LineNumbers& numbers, const WalkResult& walk,
                         LintReport& report) {
  for (const std::string& source : walk.copySources)
    if (NamesSetupInf(source)) return;
  report.Add(ApplicationLine(inf, numbers), Severity::Warning, "setup-inf-not-copied",
             "no copy line installs Setup.inf: the registered removal will not find it");
}

}  // namespace

void LintFile(const InfFile& inf, LintReport& report, Media* pMedia) {
  const LineNumbers numbers(inf);
  CheckDuplicateSections(inf, numbers, report);
  CheckDuplicateKeys(inf, numbers, report);
  CheckUninstallName(inf, numbers, report);
  const WalkResult walk = WalkOptionSections(inf, numbers, report);
  CheckSetupInfCopied(inf, numbers, walk, report);
  CheckSpecialSections(inf, numbers, report);
  CheckValueLengths(inf, numbers, report);
  CheckEncryptedValues(inf, numbers, report);
  CheckAdminDirectory(inf, numbers, report);
  if (pMedia) CheckMissingSources(*pMedia, walk, report);
}

}  // namespace tarvium::lint
