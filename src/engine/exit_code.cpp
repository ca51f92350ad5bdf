#include "engine/exit_code.h"

#include "engine/setup_context.h"

namespace tarvium {

int32_t ExitCodeBeforeAbortedReboot(const SetupContext& ctx) {
  if (ctx.bAborted) return ctx.bAbortedBySetupData ? 6704 : kExitNotStarted;
  if (!ctx.bExitWindows || !(ctx.dwRunFlags & kRunFlagNoRestart)) return 0;
  switch (ctx.iReboot) {
    case 3:
      return 6703;
    case 4:
      return 6706;
    case 5:
      return 6708;
    default:
      return 6702;
  }
}

int32_t ExitCodeOfRun(const SetupContext& ctx) {
  const int32_t nCode = ExitCodeBeforeAbortedReboot(ctx);
  if (!ctx.bAbortedReboot) return nCode;
  return nCode != 0 ? -nCode : 6704;
}

}  // namespace tarvium
