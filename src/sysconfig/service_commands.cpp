// The script commands of services and event sources, and the copy of files flagged SERVICE, led
// to the service handlers. A handler that shows its own message (5530, 5559) leaves no error text,
// so that its command does not report the failure a second time.
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "platform/ansi_case.h"
#include "script/script_command.h"
#include "sysconfig/services.h"
#include "sysconfig/system_configuration.h"

namespace tarvium {
namespace {

using platform::AnsiEqualNoCase;

bool RunServiceCommand(SetupRun& run, const std::string& command, const std::string& arguments,
                       bool bUndo, std::string& errorText) {
  if (AnsiEqualNoCase(command, "StartService"))
    return StartServiceByName(run, arguments, errorText);
  if (AnsiEqualNoCase(command, "StopService")) return StopServiceByName(run, arguments, errorText);
  if (AnsiEqualNoCase(command, "AddEventSource"))
    return InstallEventSource(run, ArgumentAt(WordArguments(arguments), 0), !bUndo);
  const std::vector<std::string> args = ListArguments(arguments);
  if (AnsiEqualNoCase(command, "DeleteService"))
    return InstallService(run, ArgumentAt(args, 0), "", false);
  return InstallService(run, ArgumentAt(args, 0), ArgumentAt(args, 1), !run.ctx.bUninstall);
}

}  // namespace

void AttachServices(SetupRun& run) {
  run.commands.serviceCommand = RunServiceCommand;
  EngineOf(run).configuration.registerService =
      [](SetupRun& r, const std::string& path, const std::string& name, bool bInstall) {
        return InstallService(r, name, path, bInstall);
      };
}

}  // namespace tarvium
