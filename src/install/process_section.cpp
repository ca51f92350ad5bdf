#include "install/process_section.h"

#include "engine/setup_run.h"
#include "install/copy_flags.h"
#include "install/generic_section.h"
#include "install/install_engine.h"
#include "install/options_registry.h"
#include "install/section_dispatch.h"

namespace tarvium {
namespace {

// Whether the system configuration handlers run for this call.
bool DecideConfigure(const SetupContext& ctx, const SectionCall& call) {
  const bool bAdminFlag = (call.dwSectionFlags & COPY_ADMIN) != 0;
  const bool bClientFlag = (call.dwSectionFlags & COPY_CLIENT) != 0;
  if (ctx.bTestRun) return false;
  if (ctx.bAdminSetup) return bAdminFlag && call.bCarryOut;
  if (bAdminFlag) return false;
  if (ctx.bWorkstationSetup && bClientFlag) return false;
  if (ctx.bUserPartRun) return bClientFlag && call.bCarryOut;
  return call.bCarryOut;
}

bool WasInstalledBefore(SetupRun& run, const SectionCall& call) {
  const SetupContext& ctx = run.ctx;
  if (call.bInstalledBefore) return true;
  if (ctx.bAborted || ctx.bAdminSetup || ctx.bUninstall || EngineOf(run).bSizing) return false;
  if (OptionsKeyPath(run).empty()) return false;
  return ctx.bServiceRelease || IsRecordedInstalled(run, call.section);
}

}  // namespace

bool ProcessSection(SetupRun& run, const SectionCall& original) {
  if (run.ctx.bAdminSetup && !original.bCarryOut) return true;
  SectionCall call = original;
  call.bInstalledBefore = WasInstalledBefore(run, call);
  if (std::optional<bool> handled =
          DispatchSpecialSection(run, call, DecideConfigure(run.ctx, call)))
    return *handled;
  return ProcessGenericSection(run, call);
}

}  // namespace tarvium
