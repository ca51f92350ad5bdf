// The commands that end the run or decide its end: Abort, AbortReboot, AbortSilent and Exit keep
// their text as the exit text and the last error text (which the management agent reads) and
// stop the section with result 0; SetReboot chooses the restart kind; If hands its line to the
// condition engine; Rem does nothing.
#include "engine/setup_run.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"
#include "script/if_line.h"
#include "script/last_error.h"

namespace tarvium {
namespace {

void KeepExitText(CommandCall& call) {
  const std::string text = ArgumentAt(TextArguments(call.arguments), 0);
  call.run.ctx.szExitText = text;
  call.run.messages.szLastError = text;
  RecordLastError(call.run, text);
}

}  // namespace

bool AbortCommand(CommandCall& call) {
  KeepExitText(call);
  call.run.ctx.bAborted = true;
  return false;
}

bool AbortRebootCommand(CommandCall& call) {
  call.run.ctx.bAbortedReboot = true;
  return AbortCommand(call);
}

bool AbortSilentCommand(CommandCall& call) {
  call.run.ctx.bAbortSilent = true;
  return AbortCommand(call);
}

bool ExitCommand(CommandCall& call) {
  KeepExitText(call);
  call.run.ctx.bExitCommand = true;
  return false;
}

bool SetRebootCommand(CommandCall& call) {
  const std::vector<std::string> args = TextArguments(call.arguments);
  if (args.empty()) return MissingArgument(call);
  call.run.ctx.iReboot = ReadDecimal(args[0]);
  return true;
}

bool IfCommand(CommandCall& call) {
  return ExecuteIf(call.run, call.line, call.bSizing, call.pnBytes);
}

bool RemCommand(CommandCall&) {
  return true;
}

}  // namespace tarvium
