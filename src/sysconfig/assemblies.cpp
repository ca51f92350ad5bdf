// .NET assemblies are registered by the runtime's own tool, RegAsm.exe in the runtime's directory
// (CLRDir, empty on a machine without the runtime, which leaves the bare program name for the
// search path). The tool's exit code decides, so a failed start and a failed registration are
// reported alike, each number that is not zero once.
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "script/launch_program.h"
#include "sysconfig/file_registrations.h"

namespace tarvium {

bool RegisterAssembly(SetupRun& run, const std::string& file, bool bRegister) {
  std::string commandLine = run.variables.Get("CLRDir") + "RegAsm.exe \"" + file + "\"";
  if (!bRegister) commandLine += " /unregister";
  uint32_t dwError = 0;
  uint32_t dwExitCode = 0;
  LaunchProgram(run, commandLine, "", "", false, true, false, &dwError, &dwExitCode, "");
  if (dwError != 0) ShowMessage(run, 5508, commandLine, int64_t{dwError});
  if (dwError == 0 && dwExitCode != 0) ShowMessage(run, 5508, commandLine, int64_t{dwExitCode});
  return dwError == 0 && dwExitCode == 0;
}

}  // namespace tarvium
