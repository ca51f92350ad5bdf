// Increment, Decrement, Multiply and Divide hand their argument text to the counter update of the
// registry lines, which reads the target, computes, and writes a variable, a registry value or an
// INI entry. An unmarked line met in the removal pass runs the inverse operation; a marked line
// keeps its direction. Without the registry lines in this build the line is traced and passed.
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "script/command_handlers.h"

namespace tarvium {
namespace {

bool UpdateCounterOf(CommandCall& call, bool bIncrease, bool bMultiplicative) {
  if (!call.run.commands.updateCounter) {
    SetupTrace(call.run, "Counter update not in this build: %s\n", call.line.c_str());
    return true;
  }
  return call.run.commands.updateCounter(call.run, call.line, bIncrease, bMultiplicative,
                                         call.bMarked);
}

}  // namespace

bool IncrementCommand(CommandCall& call) {
  return UpdateCounterOf(call, true, false);
}

bool DecrementCommand(CommandCall& call) {
  return UpdateCounterOf(call, false, false);
}

bool MultiplyCommand(CommandCall& call) {
  return UpdateCounterOf(call, true, true);
}

bool DivideCommand(CommandCall& call) {
  return UpdateCounterOf(call, false, true);
}

}  // namespace tarvium
