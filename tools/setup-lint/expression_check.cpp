// A word of letters, digits and '_' directly before '(' is meant as a function: when no function
// has it, the author most likely misspelt one. Any other text before '(' ("C:\Program Files
// (x86)", "English (United States)") is a plain value, as it is for the engine.
#include "expression_check.h"

#include <algorithm>
#include <string>

#include "engine/ansi_text.h"
#include "script/call_function.h"
#include "script/function_assignment.h"
#include "script/script_chars.h"
#include "string_sections.h"

namespace tarvium::lint {
namespace {

bool IsMeantAsFunction(const ValueCall& call) {
  const std::string_view name = call.function;
  return name.data() + name.size() == call.argsWithParens.data() &&
         std::all_of(name.begin(), name.end(), [](char c) { return IsAsciiAlnum(c) || c == '_'; });
}

void CheckAssignedValue(std::string_view value, int nLine, LintReport& report) {
  const ValueCall call = ReadValueCall(value);
  if (call.form == ValueCallForm::Malformed)
    report.Add(nLine, Severity::Error, "bad-expression",
               "'" + std::string(value) +
                   "' calls a function without a name or a closing ')': the variable is not set "
                   "(message 5528 at run time)");
  else if (call.form == ValueCallForm::Call && IsMeantAsFunction(call) &&
           !IsFunctionName(call.function))
    report.Add(nLine, Severity::Warning, "bad-expression",
               "'" + std::string(call.function) +
                   "' is no function the engine knows: the variable keeps the text as written");
}

}  // namespace

void CheckSetArguments(std::string_view arguments, int nLine, LintReport& report) {
  const std::string_view text = TrimAnsi(arguments);
  const size_t nEquals = text.find('=');
  if (nEquals == std::string_view::npos || TrimAnsi(text.substr(0, nEquals)).empty())
    return report.Add(nLine, Severity::Error, "bad-command",
                      "Set needs NAME=value (message 5528 at run time)");
  CheckAssignedValue(TrimAnsi(text.substr(nEquals + 1)), nLine, report);
}

void CheckVariableSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  ForEachReadSection(inf, numbers, [&](const std::string& name, const char* start, int) {
    if (!IsVariableSection(name)) return;
    ForEachSectionLine(inf, numbers, start, [&](const std::string& line, int nLine) {
      const size_t nEquals = line.find('=');
      if (nEquals != std::string::npos)
        CheckAssignedValue(TrimAnsi(std::string_view(line).substr(nEquals + 1)), nLine, report);
    });
  });
}

}  // namespace tarvium::lint
