// The rules over the whole file come first (duplicate sections and keys), then the walk through
// the sections an installation reaches.
#include "lint_file.h"

#include <map>
#include <string>

#include "command_check.h"
#include "engine/inf_reader.h"
#include "expression_check.h"
#include "inf_lines.h"
#include "install/section_text.h"
#include "option_graph.h"
#include "option_walk.h"
#include "platform/ansi_case.h"
#include "product_checks.h"
#include "registration_check.h"
#include "requirement_check.h"
#include "section_checks.h"
#include "section_kind.h"
#include "string_sections.h"
#include "value_checks.h"
#include "variable_check.h"

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

// Which line of a key the engine uses: the sections it reads by key find the first line of the
// key; the variable sections and [OptionDependencies] are read line after line, and a later line
// sets the name again.
enum class KeyWinner { None, First, Last };

KeyWinner WinnerIn(std::string_view section) {
  for (const char* keyed : {"Setup", "Application", "Admin", "Workstation", "Client", "Disks"})
    if (platform::AnsiEqualNoCase(section, keyed)) return KeyWinner::First;
  for (const char* loaded : {"Encryption", "OptionDependencies"})
    if (platform::AnsiEqualNoCase(section, loaded)) return KeyWinner::Last;
  return IsVariableSection(section) ? KeyWinner::Last : KeyWinner::None;
}

void CheckDuplicateKeys(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  ForEachReadSection(inf, numbers, [&](const std::string& section, const char* start, int) {
    const KeyWinner winner = WinnerIn(section);
    if (winner == KeyWinner::None) return;
    const char* const outcome = winner == KeyWinner::First
                                    ? "the engine reads the first"
                                    : "the engine sets it again: the last line of it wins";
    std::map<std::string, int> firstLines;
    ForEachSectionLine(inf, numbers, start, [&](const std::string& line, int nLine) {
      std::string key, value;
      if (!SplitAtEquals(line, key, value) || key.empty()) return;
      const auto [first, bFirst] = firstLines.try_emplace(platform::AnsiUpper(key), nLine);
      if (!bFirst)
        report.Add(nLine, Severity::Warning, "duplicate-key",
                   key + " is given again in [" + section + "] (first at line " +
                       std::to_string(first->second) + "); " + outcome);
    });
  });
}

}  // namespace

void LintFile(const InfFile& inf, std::string_view infFile, LintReport& report, Media* pMedia) {
  const LineNumbers numbers(inf);
  if (inf.SectionIndex().empty() || !inf.SectionIndex().front())
    return report.Add(1, Severity::Error, "no-sections",
                      "the file has no [section]: empty, binary or no setup information file");
  CheckFormatVersion(inf, numbers, report);
  CheckDuplicateSections(inf, numbers, report);
  CheckDuplicateKeys(inf, numbers, report);
  const WalkResult walk = WalkOptionSections(inf, numbers, report);
  CheckRegistration(inf, infFile, numbers, walk, report);
  CheckApplicationDirectory(inf, walk, report);
  CheckSpecialSections(inf, numbers, report);
  CheckValueLengths(inf, numbers, report);
  CheckEncryptedValues(inf, numbers, report);
  CheckAdminDirectory(inf, numbers, report);
  if (pMedia) CheckMissingSources(*pMedia, walk, report);
  CheckUndefinedVariables(inf, numbers, walk, report);
  CheckOptionGraph(inf, numbers, report);
  CheckSectionKinds(inf, numbers, walk, report);
  CheckCommands(inf, numbers, walk, report);
  CheckStringSections(inf, numbers, report);
  CheckVariableSections(inf, numbers, report);
  CheckRequirementLines(inf, numbers, report);
}

}  // namespace tarvium::lint
