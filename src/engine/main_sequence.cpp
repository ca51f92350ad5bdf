// The phases of SetupMain as one table, so that the order of a run reads at once. Steps that only
// concern windows (pictures, the option tree's images, bringing the main window to the front and
// its background sound, the progress window, blocking input) have no phase: this platform has no
// windows, and the user interface of the run shows what it can when it is asked.
#include "engine/main_sequence.h"

#include <string>

#include "engine/debug_output.h"
#include "engine/exit_code.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"

namespace tarvium {
namespace {

struct SetupPhase {
  const char* pszName;  // named in the debugger output of /Debug runs
  PhaseEnd (*run)(SetupRun& run);
  bool bAlways;  // runs also after bOk went to false
};

constexpr SetupPhase kPhases[] = {
    {"InitialiseRun", InitialiseRun, false},
    {"ReadCommandLine", ReadCommandLine, false},
    {"ResolveFiles", ResolveFiles, false},
    {"LoadSetupFile", LoadSetupFile, false},
    {"TakeSetupProgram", TakeSetupProgram, false},
    {"CreateMainWindow", CreateMainWindow, false},
    {"LoadStringSections", LoadStringSections, false},
    {"ReadIdentity", ReadIdentity, false},
    {"ApplySourceDirectory", ApplySourceDirectory, false},
    {"SendVariablesToDebugger", SendVariablesToDebugger, false},
    {"ApplyWorkstationSwitch", ApplyWorkstationSwitch, false},
    {"CheckRequiredVersion", CheckRequiredVersion, false},
    {"UndoInterruptedRun", UndoInterruptedRun, false},
    {"ReadInstalledVersion", ReadInstalledVersion, false},
    {"AskAdministratorPage", AskAdministratorPage, false},
    {"DetermineInstalledProduct", DetermineInstalledProduct, false},
    {"DecideRunMode", DecideRunMode, false},
    {"CheckRequirements", CheckRequirements, false},
    {"TakeInstalledData", TakeInstalledData, false},
    {"StartRunIfInstalled", StartRunIfInstalled, false},
    {"ApplyClientSetup", ApplyClientSetup, false},
    {"ConfirmUninstall", ConfirmUninstall, false},
    {"OfferPreviousVersionRemoval", OfferPreviousVersionRemoval, false},
    {"RemoveWorkstationUsers", RemoveWorkstationUsers, false},
    {"SetDirectories", SetDirectories, false},
    {"LoadExtensionLibrary", LoadExtensionLibrary, false},
    {"LoadOptions", LoadOptions, false},
    {"ConnectService", ConnectService, false},
    {"AskPages", AskPages, false},
    {"FinishDirectories", FinishDirectories, false},
    {"SetCopyDirectories", SetCopyDirectories, false},
    {"OpenTestList", OpenTestList, false},
    {"ReloadEnvironment", ReloadEnvironment, false},
    {"RunInstallation", RunInstallation, false},
    {"EndInstallationRun", EndInstallationRun, false},
    {"CleanUp", CleanUp, true},
};

}  // namespace

int SetupMain(SetupRun& run) {
  for (const SetupPhase& phase : kPhases) {
    if (!phase.bAlways && !run.ctx.bOk) continue;
    if (run.ctx.bDebug) DebugOutput(run, std::string("[Setup] phase ") + phase.pszName + "\n");
    switch (phase.run(run)) {
      case PhaseEnd::Next:
        break;
      case PhaseEnd::StartLoop:
        return 1;
      case PhaseEnd::NotStarted:
        return 0;
    }
  }
  return 1;
}

int32_t WinMain(SetupRun& run, const std::string& arguments) {
  run.sequence.szArguments = arguments;
  const int iRet = SetupMain(run);
  if (iRet != 1) {
    if (SetupService* service = ConnectedService(run)) service->ClosePipe();
    return kExitNotStarted;
  }
  EndOfRun(run);
  const SetupContext& ctx = run.ctx;
  const char* pszEndLine = "iRet: %d, bAborted: %d, bAbortedReboot: %d, iReboot: %d\n";
  SetupTrace(run, pszEndLine, iRet, ctx.bAborted, ctx.bAbortedReboot, ctx.iReboot);
  const int32_t nCode = ExitCodeBeforeAbortedReboot(ctx);
  SetupTrace(run, pszEndLine, nCode, ctx.bAborted, ctx.bAbortedReboot, ctx.iReboot);
  const int32_t nExitCode = ExitCodeOfRun(ctx);
  SetupTrace(run, "Return value from Setup main: %d\n", nExitCode);
  return nExitCode;
}

}  // namespace tarvium
