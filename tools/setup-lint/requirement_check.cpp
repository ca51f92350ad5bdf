#include "requirement_check.h"

#include <string>

#include "engine/ansi_text.h"
#include "install/requirements.h"

namespace tarvium::lint {

void CheckRequirementLines(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  ForEachSectionLine(
      inf, numbers, FindSection(inf, "Requirements"), [&](const std::string& line, int nLine) {
        if (TrimAnsi(line).empty()) return;
        for (const std::string& alternative : RequirementAlternatives(line)) {
          const std::string text(TrimAnsi(alternative));
          const RequirementForm form = ReadRequirementForm(alternative);
          if (form == RequirementForm::Malformed)
            report.Add(nLine, Severity::Error, "bad-condition",
                       "requirement '" + text +
                           "' lacks an operand or its operator (message 5528 at run time)");
          else if (form == RequirementForm::UnknownOperator)
            report.Add(nLine, Severity::Error, "bad-condition",
                       "requirement '" + text +
                           "' compares with an operator the engine does not know: it never holds");
        }
      });
}

}  // namespace tarvium::lint
