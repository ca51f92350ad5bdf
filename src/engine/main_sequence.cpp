// The phases of SetupMain as one table, so that the order of a run reads at once. Steps that only
// concern windows (pictures, the option tree's images, bringing the main window to the front and
// its background sound, the progress window, blocking input) have no phase: this platform has no
// windows, and the user interface of the run shows what it can when it is asked.
#include "engine/main_sequence.h"

#include <iterator>

#include "engine/exit_code.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"

namespace tarvium {
namespace {

struct SetupPhase {
  PhaseEnd (*run)(SetupRun& run);
  bool bAlways;  // runs also after bOk went to false
};

constexpr SetupPhase kPhases[] = {
    {InitialiseRun, false},
    {ReadCommandLine, false},
    {ResolveFiles, false},
    {LoadSetupFile, false},
    {TakeSetupProgram, false},
    {CreateMainWindow, false},
    {LoadStringSections, false},
    {ReadIdentity, false},
    {ApplySourceDirectory, false},
    {SendVariablesToDebugger, false},
    {ApplyWorkstationSwitch, false},
    {CheckRequiredVersion, false},
    {ReadInstalledVersion, false},
    {AskAdministratorPage, false},
    {DetermineInstalledProduct, false},
    {DecideRunMode, false},
    {CheckRequirements, false},
    {TakeInstalledData, false},
    {StartRunIfInstalled, false},
    {ApplyClientSetup, false},
    {ConfirmUninstall, false},
    {OfferPreviousVersionRemoval, false},
    {RemoveWorkstationUsers, false},
    {SetDirectories, false},
    {LoadExtensionLibrary, false},
    {LoadOptions, false},
    {ConnectService, false},
    {AskPages, false},
    {FinishDirectories, false},
    {SetCopyDirectories, false},
    {OpenTestList, false},
    {ReloadEnvironment, false},
    {RunInstallation, false},
    {EndInstallationRun, false},
    {CleanUp, true},
};

}  // namespace

int SetupMain(SetupRun& run) {
  for (const SetupPhase& phase : kPhases) {
    if (!phase.bAlways && !run.ctx.bOk) continue;
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
  if (iRet != 1) return kExitNotStarted;
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
