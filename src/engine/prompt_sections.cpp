// The variable of a prompt section, read once for the wizard's prompt list and for each page.
#include "engine/prompt_sections.h"

#include "engine/inf_values.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"

namespace tarvium {

std::string PromptVariable(SetupRun& run, const std::string& section) {
  if (!run.inf || !FindSection(*run.inf, section)) {
    SetupTrace(run, "Prompt section not found: %s\n", section.c_str());
    return "";
  }
  std::string variable = ReadTextKey(*run.inf, section, "Variable", kShortTextSize);
  if (!variable.empty() && variable.find('=') == std::string::npos) return variable;
  SetupTrace(run, "Prompt section without a valid variable: %s\n", section.c_str());
  return "";
}

}  // namespace tarvium
