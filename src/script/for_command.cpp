// The For loop: "For VAR, start, end, [step], command". The counter, its bounds and the step are
// read once; the command keeps its references until each turn hands it to the section's line
// processing, so it sees the counter's current value (and may change it: the counter is read back
// before the step is added). A removal pass runs the loop backwards.
#include "engine/ansi_text.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/ansi_case.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"
#include "script/execute_cmd.h"
#include "script/next_argument.h"

namespace tarvium {
namespace {

struct ForLoop {
  std::string variable;
  int32_t nStart = 0;
  int32_t nEnd = 0;
  int32_t nStep = 0;
  std::string command;
};

std::string ReplacedArgument(SetupRun& run, std::string text) {
  ReplaceVariables(run, text);
  return std::string(TrimAnsi(text));
}

// The four leading arguments, then the rest of the line as the command (a command in quotes
// loses them); false when the variable or the command is missing.
bool ParseForLoop(SetupRun& run, std::string_view text, ForLoop& loop) {
  std::string fields[4];
  size_t nPos = 0;
  for (std::string& field : fields) {
    if (nPos == std::string_view::npos) break;
    nPos = NextArgument(text, nPos, field);
  }
  if (nPos != std::string_view::npos) {
    const std::string_view rest = TrimAnsi(text.substr(nPos));
    if (!rest.empty() && (rest.front() == '"' || rest.front() == '\''))
      NextArgument(rest, 0, loop.command);
    else
      loop.command.assign(rest);
  }
  loop.variable = ReplacedArgument(run, fields[0]);
  loop.nStart = ReadDecimal(ReplacedArgument(run, fields[1]));
  loop.nEnd = ReadDecimal(ReplacedArgument(run, fields[2]));
  loop.nStep = ReadDecimal(ReplacedArgument(run, fields[3]));
  if (loop.nStep == 0) loop.nStep = loop.nStart > loop.nEnd ? -1 : 1;
  if (run.ctx.bUninstall) {
    std::swap(loop.nStart, loop.nEnd);
    loop.nStep = -loop.nStep;
  }
  return !loop.variable.empty() && !loop.command.empty();
}

bool RunLoopCommand(SetupRun& run, const std::string& command) {
  if (run.sectionLines.processLine) return run.sectionLines.processLine(run, command);
  return ExecuteCmd(run, command, CommandPass{}, false, true, nullptr) != 0;
}

bool IsPast(const ForLoop& loop, int64_t nCounter) {
  return loop.nStep > 0 ? nCounter > loop.nEnd : nCounter < loop.nEnd;
}

}  // namespace

bool ForCommand(CommandCall& call) {
  SetupRun& run = call.run;
  ForLoop loop;
  if (!ParseForLoop(run, call.arguments, loop)) return MissingArgument(call);
  if (call.bSizing) {
    SetVariable(run, loop.variable, std::to_string(loop.nStart));
    if (run.sectionLines.measureLine && call.pnBytes)
      *call.pnBytes += run.sectionLines.measureLine(run, loop.command);
    return true;
  }
  bool bOk = true;
  const std::string upperName = platform::AnsiUpper(loop.variable);
  for (int64_t nCounter = loop.nStart; !IsPast(loop, nCounter);) {
    if (run.ctx.bAborted || run.ctx.bExitCommand) break;
    SetVariable(run, loop.variable, std::to_string(nCounter));
    bOk = RunLoopCommand(run, loop.command);
    nCounter = int64_t{ReadDecimal(LookupVariable(run, upperName))} + loop.nStep;
  }
  return bOk;
}

}  // namespace tarvium
