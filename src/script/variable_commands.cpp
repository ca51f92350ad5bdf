// Set, ReplaceEnv and CollapseEnv: variables and the environment that started programs inherit.
// User variables live in that environment, so setting one updates both at once; a value that
// calls an expression function is evaluated first, as in a variable section.
#include "engine/ansi_text.h"
#include "engine/evaluate_assignment.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "engine/variable_sections.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "script/command_handlers.h"
#include "script/folder_variables.h"

namespace tarvium {
namespace {

bool CallsXmlReader(const std::string& value) {
  const std::string upper = platform::AnsiUpper(value);
  return upper.find("READXMLTEXT") != std::string::npos ||
         upper.find("READXMLNODE") != std::string::npos;
}

// Evaluates NAME=value and stores it; 5500 when it cannot be stored.
bool StoreAssignment(SetupRun& run, std::string assignment) {
  if (!EvaluateAssignment(run, assignment)) return true;  // a malformed call: 5528 was shown
  const size_t nEquals = assignment.find('=');
  if (SetVariable(run, assignment.substr(0, nEquals), assignment.substr(nEquals + 1))) return true;
  ShowMessage(run, 5500);
  return false;
}

// ReplaceEnv and CollapseEnv: the environment value of NAME, rewritten, stored again.
template <class Rewrite>
bool RewriteEnvironmentValue(CommandCall& call, Rewrite rewrite) {
  const std::string name = ArgumentAt(WordArguments(call.arguments), 0);
  if (name.empty()) return MissingArgument(call);
  const std::string upper = platform::AnsiUpper(name);
  std::string value;
  if (call.run.machine.Env().GetVariable(upper, value) != platform::ERROR_SUCCESS) value.clear();
  return StoreAssignment(call.run, upper + "=" + rewrite(value));
}

}  // namespace

bool SetCommand(CommandCall& call) {
  const std::string_view text = TrimAnsi(call.arguments);
  const size_t nEquals = text.find('=');
  if (nEquals == std::string_view::npos || TrimAnsi(text.substr(0, nEquals)).empty())
    return MissingArgument(call);
  const std::string value(TrimAnsi(text.substr(nEquals + 1)));
  if (call.bSizing && CallsXmlReader(value)) return true;
  return StoreAssignment(call.run,
                         platform::AnsiUpper(TrimAnsi(text.substr(0, nEquals))) + "=" + value);
}

bool ReplaceEnvCommand(CommandCall& call) {
  return RewriteEnvironmentValue(call, [&](std::string value) {
    ReplaceVariables(call.run, value);
    return value;
  });
}

bool CollapseEnvCommand(CommandCall& call) {
  return RewriteEnvironmentValue(call, [&](const std::string& value) {
    std::string collapsed;
    size_t nStart = 0;
    while (nStart <= value.size()) {
      const size_t nEnd = std::min(value.find(';', nStart), value.size());
      if (nStart > 0) collapsed += ';';
      collapsed += CollapseFolderPrefix(call.run, value.substr(nStart, nEnd - nStart));
      nStart = nEnd + 1;
    }
    return collapsed;
  });
}

}  // namespace tarvium
