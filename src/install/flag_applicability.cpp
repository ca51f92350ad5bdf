#include "install/flag_applicability.h"

#include "engine/setup_run.h"
#include "install/copy_flags.h"

namespace tarvium {
namespace {

constexpr uint32_t kPlatformDos = 1;  // VER_PLATFORM_WIN32_WINDOWS

bool Has(uint32_t dwFlags, uint32_t dwWord) {
  return (dwFlags & dwWord) != 0;
}

bool PlatformApplies(SetupRun& run, uint32_t dwFlags) {
  const platform::OsVersionInfo& os = RunOsVersion(run);
  if (Has(dwFlags, COPY_WINDOWS32 | COPY_WINDOWS64) &&
      !Has(dwFlags, os.b64Bit ? COPY_WINDOWS64 : COPY_WINDOWS32))
    return false;
  if (Has(dwFlags, COPY_DOS | COPY_NT) &&
      !Has(dwFlags, os.dwPlatformId == kPlatformDos ? COPY_DOS : COPY_NT))
    return false;
  return !Has(dwFlags, COPY_ADMIN);
}

bool ClientMachineApplies(const SetupContext& ctx, uint32_t dwFlags, FlagForm form) {
  const bool bClient = Has(dwFlags, COPY_CLIENT);
  const bool bMachine = Has(dwFlags, COPY_MACHINE);
  if (bClient && bMachine) return !ctx.bUserPartRun;
  if (bMachine && (ctx.bClientSetup || ctx.bAdminSetup)) return false;
  const bool bClientRun = ctx.bClientSetup || ctx.bFromCD;
  return !(form == FlagForm::CopyLine && bClient && ctx.bWorkstationSetup && bClientRun);
}

}  // namespace

bool FlagsApplyToRun(SetupRun& run, uint32_t dwFlags, FlagForm form) {
  const SetupContext& ctx = run.ctx;
  if (!ctx.bAdminSetup && !PlatformApplies(run, dwFlags)) return false;
  const bool bClientRun = ctx.bClientSetup || ctx.bFromCD;
  if (Has(dwFlags, COPY_LOCALAPP) && (bClientRun || ctx.bAdminSetup)) return false;
  if (!ClientMachineApplies(ctx, dwFlags, form)) return false;
  if (Has(dwFlags, COPY_DELETE) && !ctx.bUninstall) return false;
  if (Has(dwFlags, COPY_DONTDELETE) && ctx.bUninstall) return false;
  if (form == FlagForm::CopyLine) return !bClientRun || Has(dwFlags, COPY_CLIENT);
  if (ctx.bAdminSetup && Has(dwFlags, COPY_CLIENT)) return false;
  return !(ctx.bWorkstationSetup && Has(dwFlags, COPY_CLIENT) && !Has(dwFlags, COPY_MACHINE));
}

}  // namespace tarvium
