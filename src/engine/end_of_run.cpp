// EndOfRun: after the message loop. A restart the run decided on is acted on here, unless run
// flag 0x08 leaves it to the caller (who learns of it from the exit code) or a calling setup
// asked, through a [Reboot] entry for this program in WIN.INI, to collect it. The emulated machine
// records the request instead of restarting anything.
#include "engine/main_sequence.h"
#include "engine/setup_run.h"
#include "platform/power.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

// Silent runs restart only for a reboot mode the setup data or a child setup asked for.
bool IsRestartDueInSilentRun(int32_t iReboot) {
  return iReboot == 1 || iReboot == 3 || iReboot == 4 || iReboot == 5;
}

std::string ShortPathOf(SetupRun& run, const std::string& path) {
  std::string shortPath;
  if (run.machine.Files().GetShortPathName(path, shortPath) != platform::ERROR_SUCCESS) return path;
  return shortPath;
}

void ActOnExitWindows(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (!ctx.bExitWindows || (ctx.dwRunFlags & kRunFlagNoRestart)) return;
  const std::string program = ShortPathOf(run, run.sequence.szExePath);
  platform::Profile& profiles = run.machine.Profiles();
  if (profiles.GetProfileInt("Reboot", program.c_str(), 0) != 0) {
    profiles.WriteProfileString("Reboot", program.c_str(),
                                std::to_string(ctx.uExitWindowsFlags).c_str());
    return;
  }
  if (ctx.bSilent && !IsRestartDueInSilentRun(ctx.iReboot)) return;
  run.machine.PowerRequests().ExitWindows(ctx.uExitWindowsFlags,
                                          platform::SHTDN_REASON_MAJOR_SOFTWARE);
}

}  // namespace

void EndOfRun(SetupRun& run) {
  run.inf.reset();
  if (SetupService* service = ConnectedService(run)) service->PipeExit(run);
  ActOnExitWindows(run);
  if (run.ctx.bServiceMode) run.machine.Output().WriteLine("Setup.exe EXIT\r");
}

}  // namespace tarvium
