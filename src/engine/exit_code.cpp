#include "engine/exit_code.h"

#include "engine/setup_context.h"

namespace tarvium {

int32_t ExitCodeBeforeAbortedReboot(const SetupContext& ctx) {
  if (ctx.bAborted) return ctx.bAbortedBySetupData ? kExitAbortedBySetupData : kExitNotStarted;
  if (!ctx.bExitWindows || !(ctx.dwRunFlags & kRunFlagNoRestart)) return kExitSuccess;
  switch (ctx.iReboot) {
    case 3:
      return kExitLogOff;
    case 4:
      return kExitShutdown;
    case 5:
      return kExitComputerRestart;
    default:
      return kExitRestart;
  }
}

int32_t ExitCodeOfRun(const SetupContext& ctx) {
  const int32_t nCode = ExitCodeBeforeAbortedReboot(ctx);
  if (!ctx.bAbortedReboot) return nCode;
  return nCode != kExitSuccess ? -nCode : kExitAbortedBySetupData;
}

}  // namespace tarvium
