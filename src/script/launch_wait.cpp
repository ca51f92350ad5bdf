// The wait is one call to the process service with a step callback that pumps the user
// interface; the service itself keeps the steps at 10 ms, so the time limit and the pumping need
// no loop here.
#include "script/launch_wait.h"

#include "engine/setup_run.h"
#include "engine/show_message.h"

namespace tarvium {
namespace {

constexpr int kMessageTimedOut = 5569;
constexpr uint32_t kExitCodeTerminated = 0xFFFFFFFF;  // -1

uint32_t CallTimeLimit(const SetupRun& run) {
  return run.ctx.nCallTimeOut >= 0 ? static_cast<uint32_t>(run.ctx.nCallTimeOut)
                                   : platform::INFINITE;
}

}  // namespace

uint32_t ExitCodeNow(SetupRun& run, platform::ProcessHandle hProcess) {
  platform::Processes& programs = run.machine.Programs();
  uint32_t dwExitCode = 0;
  if (programs.GetExitCodeProcess(hProcess, dwExitCode) != 0) return 0;
  bool bRunning = false;
  if (dwExitCode == platform::STILL_ACTIVE &&
      (programs.IsProcessRunning(hProcess, bRunning) != 0 || bRunning))
    return 0;
  return dwExitCode;
}

WaitOutcome WaitForLaunchedProgram(SetupRun& run, platform::ProcessHandle hProcess,
                                   const std::string& name, bool bDisableWindows) {
  platform::Processes& programs = run.machine.Programs();
  ui::UserInterface* pUi = run.ui.get();
  if (bDisableWindows && pUi) pUi->EnableMainWindows(false);
  platform::WaitResult result = platform::WaitResult::Exited;
  const uint32_t err = programs.WaitForProcess(
      hProcess, CallTimeLimit(run), [pUi] { return !pUi || pUi->PumpMessages(); }, result);
  WaitOutcome outcome;
  if (err == 0 && result == platform::WaitResult::Stopped) run.ctx.bAborted = true;
  if (err == 0 && result == platform::WaitResult::TimedOut) {
    outcome.bTimedOut = true;
    programs.TerminateProcess(hProcess, kExitCodeTerminated);
    ShowMessage(run, kMessageTimedOut, name);
  }
  outcome.dwExitCode = ExitCodeNow(run, hProcess);
  if (bDisableWindows && pUi) pUi->EnableMainWindows(true);
  return outcome;
}

}  // namespace tarvium
