// The names the file defines are gathered in one pass over all its lines into a hash set, so the
// check is linear in the file. Gathering is generous (any key of any section counts): a missed
// definition would give a false warning, a name counted too many only a missed one. A reference
// is split into its name with the engine's own rules; registry and INI references name values,
// not variables, and are passed over.
#include "variable_check.h"

#include <set>
#include <string>
#include <unordered_set>

#include "engine/ansi_text.h"
#include "engine/inf_reader.h"
#include "engine/predefined_names.h"
#include "engine/run_variable_names.h"
#include "engine/variable_reference_syntax.h"
#include "engine/variable_references.h"
#include "platform/ansi_case.h"
#include "script/execute_cmd.h"
#include "script/if_line.h"
#include "script/script_command.h"

namespace tarvium::lint {
namespace {

using NameSet = std::unordered_set<std::string>;

// The last blank-separated word of a text ("SET X" gives "X").
std::string_view LastWord(std::string_view text) {
  text = TrimAnsi(text);
  size_t nStart = text.size();
  while (nStart > 0 && !IsAnsiSpace(text[nStart - 1])) --nStart;
  return text.substr(nStart);
}

bool IsCounterCommand(std::string_view name) {
  for (std::string_view counter : {"For", "Increment", "Decrement", "Multiply", "Divide"})
    if (platform::AnsiEqualNoCase(name, counter)) return true;
  return false;
}

// A Rem line is a comment: the engine reads nothing of it.
bool IsRemark(std::string_view line) {
  std::string_view body = TrimAnsi(line);
  if (!body.empty() && body[0] == '-') body = TrimAnsiLeft(body.substr(1));
  const CommandEntry* pEntry = FindCommand(body.substr(0, CommandNameEnd(body)));
  return pEntry && pEntry == FindCommand("Rem");
}

// "Tokenize(NAME, ...)" defines NAME1, NAME2, ...: the prefix is kept with a trailing '*'.
void AddTokenizeTargets(std::string_view line, NameSet& names) {
  if (line.find('(') == std::string_view::npos) return;
  const std::string upper = platform::AnsiUpper(line);
  constexpr std::string_view kCall = "TOKENIZE(";
  for (size_t nAt = upper.find(kCall); nAt != std::string::npos; nAt = upper.find(kCall, nAt + 1)) {
    const size_t nStart = nAt + kCall.size();
    const size_t nEnd = upper.find_first_of(",)", nStart);
    names.insert(std::string(TrimAnsi(std::string_view(upper).substr(nStart, nEnd - nStart))) +
                 "*");
  }
}

void AddLineDefinitions(std::string_view line, NameSet& names) {
  std::string_view body = TrimAnsiLeft(line);
  if (!body.empty() && body[0] == '-') body = TrimAnsiLeft(body.substr(1));
  if (platform::AnsiStartsWithNoCase(body, "IF") && body.size() > 2 && IsAnsiSpace(body[2])) {
    for (const std::string& command : IfLineCommands(body)) AddLineDefinitions(command, names);
    return;
  }
  AddTokenizeTargets(body, names);
  const std::string_view name = body.substr(0, CommandNameEnd(body));
  if (IsCounterCommand(name)) {
    // The target is the first argument, up to a comma or blank, named or given by reference.
    std::string_view target = TrimAnsi(body.substr(name.size()));
    target = target.substr(0, target.find_first_of(", \t"));
    while (!target.empty() && target.front() == '%') target.remove_prefix(1);
    while (!target.empty() && target.back() == '%') target.remove_suffix(1);
    names.insert(platform::AnsiUpper(target));
  }
  const size_t nEquals = body.find('=');
  if (nEquals == std::string_view::npos) return;
  const std::string_view key = TrimAnsi(body.substr(0, nEquals));
  // A key with a backslash is a registry line's path: no variable is named so.
  if (const std::string_view word = LastWord(key); word.find('\\') == std::string_view::npos)
    names.insert(platform::AnsiUpper(word));
  if (platform::AnsiEqualNoCase(key, "Variable"))
    names.insert(platform::AnsiUpper(TrimAnsi(body.substr(nEquals + 1))));
}

// The first line after a section's header, where FindSection points.
const char* SectionBody(const char* header) {
  while (*header && *header != '\n') ++header;
  return *header ? header + 1 : header;
}

NameSet DefinedNames(const InfFile& inf, const LineNumbers& numbers) {
  NameSet names;
  for (const PredefinedName& predefined : kPredefinedNames)
    names.insert(platform::AnsiUpper(predefined.name));
  for (std::string_view name : kRunVariableNames) names.insert(platform::AnsiUpper(name));
  for (std::string_view name : kSessionEnvironmentNames) names.insert(platform::AnsiUpper(name));
  for (const char* header : inf.SectionIndex()) {
    if (!header) break;
    ForEachSectionLine(inf, numbers, SectionBody(header),
                       [&](const std::string& line, int) { AddLineDefinitions(line, names); });
  }
  return names;
}

bool IsDefined(const NameSet& names, const std::string& name) {
  if (names.contains(name)) return true;
  size_t nDigits = name.size();
  while (nDigits > 0 && name[nDigits - 1] >= '0' && name[nDigits - 1] <= '9') --nDigits;
  return nDigits < name.size() && names.contains(name.substr(0, nDigits) + "*");
}

class UndefinedCheck {
 public:
  UndefinedCheck(const InfFile& inf, const LineNumbers& numbers, LintReport& report)
      : inf_(inf), numbers_(numbers), report_(report), names_(DefinedNames(inf, numbers)) {}

  void CheckSection(std::string_view section) {
    if (!checked_.insert(platform::AnsiUpper(section)).second) return;
    ForEachSectionLine(inf_, numbers_, FindSection(inf_, section),
                       [&](const std::string& line, int nLine) { CheckLine(line, nLine); });
  }

 private:
  void CheckLine(const std::string& line, int nLine) {
    if (IsRemark(line)) return;
    std::set<std::string> reported;
    WalkReferences(
        line, '%', [](std::string_view) {},
        [&](std::string_view inner) {
          const std::string name = SplitReference(inner).name;
          // Blanks between two marks are percent signs of a text, not a name.
          if (name.empty() || name.find(' ') != std::string::npos || IsValueReference(name) ||
              IsDefined(names_, name) || !reported.insert(name).second)
            return;
          report_.Add(nLine, Severity::Warning, "undefined-variable",
                      "%" + std::string(inner) +
                          "% is defined nowhere (not by the engine, not in the file): it reads "
                          "as empty");
        });
  }

  const InfFile& inf_;
  const LineNumbers& numbers_;
  LintReport& report_;
  const NameSet names_;
  std::set<std::string> checked_;
};

}  // namespace

void CheckUndefinedVariables(const InfFile& inf, const LineNumbers& numbers, const WalkResult& walk,
                             LintReport& report) {
  UndefinedCheck check(inf, numbers, report);
  for (const char* section : {"Setup", "Application", "Copy", "Options", "Requirements"})
    check.CheckSection(section);
  for (const std::string& section : walk.sections) check.CheckSection(section);
}

}  // namespace tarvium::lint
