// The commands of system components that other handlers own: services and event sources go to
// the service handler through its hook and leave its failure text for message 5561 (the printing
// system's commands are in printer_commands.cpp).
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "script/command_handlers.h"

namespace tarvium {

bool ServiceCommand(CommandCall& call) {
  SetupRun& run = call.run;
  if (!run.commands.serviceCommand) {
    SetupTrace(run, "Service command not in this build: %s\n", call.line.c_str());
    return true;
  }
  return run.commands.serviceCommand(run, call.name, call.arguments, call.bUndo, call.systemError);
}

}  // namespace tarvium
