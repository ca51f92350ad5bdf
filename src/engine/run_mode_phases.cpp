// The phases that decide what kind of run this is, against what the registry says is installed:
// installed version, administrator page, installed product, the run mode of a plain run,
// requirements, installed data, RunIfInstalled, client setups, the uninstall confirmation, the
// previous version and the user parts of a workstation installation. The registry is read by the
// installation engine through the run's InstallHooks; without them nothing is installed.
#include <string>
#include <vector>

#include "engine/replace_variables.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/text_escapes.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

using ui::kChoiceAddRemove;
using ui::kChoiceFileServer;
using ui::kChoiceNewInstance;
using ui::kChoiceRepeat;
using ui::kChoiceUninstall;
using ui::kChoiceWorkstation;

bool IsPlainRun(const SetupContext& ctx) {
  return !ctx.bAdminSetup && !ctx.bNewInstance && !ctx.bUninstall && !ctx.bRepair &&
         !ctx.bServiceRelease;
}

bool IsInteractive(const SetupContext& ctx) {
  return !ctx.bSilent && !ctx.bSilentNoEnd;
}

void AskSameVersionPage(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  ui::PageRequest page;
  page.kind = ui::PageKind::SameVersion;
  page.nDefaultChoice = kChoiceNewInstance;
  page.bHideUninstall = run.variables.Get("MachineKeyName").empty() || ctx.nHideUninstall > 1;
  page.bCancel = !ctx.bDisableCancelButton;
  switch (ShowWizardPage(run, page)) {
    case kChoiceAddRemove:
      ctx.bModify = true;
      break;
    case kChoiceRepeat:
      ctx.bRepair = true;
      break;
    case kChoiceNewInstance:
      ctx.bNewInstance = true;
      break;
    case kChoiceUninstall:
      ctx.bUninstall = true;
      break;
    default:
      ctx.bOk = false;
      break;
  }
}

void DecideInteractiveRunMode(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.bNewerRevision) {
    if (ShowMessage(run, 5562) == kResultYes) ctx.bRepair = true;
  } else if (!ctx.szRunIfInstalled.empty()) {
    ctx.bRepair = true;
  } else {
    AskSameVersionPage(run);
  }
}

bool SameVersionInstalled(SetupRun& run) {
  const VariableStore& v = run.variables;
  return !v.Get("InstalledVersion").empty() &&
         platform::AnsiEqualNoCase(v.Get("InstalledVersion"), v.Get("Version")) &&
         platform::AnsiEqualNoCase(v.Get("InstalledRevision"), v.Get("Revision"));
}

// The directory of a command: the part before its last backslash, without a leading quote.
std::string CommandDirectory(const std::string& command) {
  const size_t nStart = !command.empty() && command[0] == '"' ? 1 : 0;
  const size_t nSlash = command.rfind('\\');
  if (nSlash == std::string::npos || nSlash < nStart) return "";
  return command.substr(nStart, nSlash - nStart);
}

// Message 5550, or in a run connected to the setup service its "askuninstallold" dialog, which
// is asked once.
int AskRemovePreviousVersion(SetupRun& run, const InstalledVersionInfo& older) {
  SetupService* service = ConnectedService(run);
  if (!service) return ShowMessage(run, 5550, older.szVersion);
  std::vector<std::string> values;
  return service->AskDialog(run, ServiceDialog::AskUninstallOld, older.szVersion, values);
}

}  // namespace

void StopForRestart(SetupRun& run, int32_t iReboot) {
  SetupContext& ctx = run.ctx;
  ctx.iReboot = iReboot;
  ctx.bOk = false;
  ctx.bStoppedForRestart = true;
  if (ctx.dwRunFlags & kRunFlagNoRestart) {
    ctx.bExitWindows = true;
    ctx.uExitWindowsFlags = 2;
  }
}

PhaseEnd UndoInterruptedRun(SetupRun& run) {
  if (run.install.recoverInterruptedRun && !run.install.recoverInterruptedRun(run))
    run.ctx.bOk = false;
  return PhaseEnd::Next;
}

PhaseEnd ReadInstalledVersion(SetupRun& run) {
  InstalledVersionInfo installed;
  if (run.ctx.bAdminSetup || !run.install.findInstalledVersion ||
      !run.install.findInstalledVersion(run, false, installed))
    return PhaseEnd::Next;
  run.variables.Set("InstalledVersion", installed.szVersion);
  run.variables.Set("InstalledRevision", installed.szRevision);
  return PhaseEnd::Next;
}

PhaseEnd AskAdministratorPage(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.bAdminSetup && !ctx.bAdminToServer && !ctx.bAdminWorkstation) {
    ui::PageRequest page;
    page.kind = ui::PageKind::Admin;
    page.nDefaultChoice = kChoiceFileServer;
    page.bCancel = !ctx.bDisableCancelButton;
    const int nResult = ShowWizardPage(run, page);
    if (nResult != kChoiceFileServer && nResult != kChoiceWorkstation) {
      ctx.bOk = false;
      return PhaseEnd::Next;
    }
    if (nResult == kChoiceWorkstation) {
      ctx.bAdminSetup = false;
      ctx.bWorkstationSetup = true;
    }
  }
  if (ctx.bAdminSetup) ctx.bAskOptions = ctx.bAdminAskOptions;
  if (ctx.bWorkstationSetup) ctx.bAskOptions = ctx.bWorkstationAskOptions;
  if (ctx.bAdminSetup) ctx.bUninstall = false;
  return PhaseEnd::Next;
}

PhaseEnd DetermineInstalledProduct(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (run.install.readInstalledProduct) run.install.readInstalledProduct(run);
  if (!ctx.bServiceRelease) return PhaseEnd::Next;
  ctx.bInstalled = false;
  ctx.bNewerRevision = false;
  if (platform::AnsiEqualNoCase(run.variables.Get("Version"),
                                run.variables.Get("InstalledVersion"))) {
    ctx.bRepair = true;
    ctx.bUninstall = false;
    ctx.bModify = false;
  }
  return PhaseEnd::Next;
}

PhaseEnd DecideRunMode(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (IsPlainRun(ctx) && ctx.bInstalled && !ctx.bModify) {
    if (IsInteractive(ctx))
      DecideInteractiveRunMode(run);
    else if (ctx.bNewerRevision)
      ctx.bRepair = true;
    else
      ctx.bNewInstance = true;
  }
  if (!ctx.bInstalled) ctx.bNewInstance = false;
  SetupTrace(run,
             "Run mode: bInstalled: %d, bNewerRevision: %d, bRepair: %d, bNewInstance: %d, "
             "bModify: %d, bUninstall: %d, bUserPartRun: %d\n",
             ctx.bInstalled, ctx.bNewerRevision, ctx.bRepair, ctx.bNewInstance, ctx.bModify,
             ctx.bUninstall, ctx.bUserPartRun);
  return PhaseEnd::Next;
}

PhaseEnd CheckRequirements(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  std::string failed;
  if (ctx.bUninstall || ctx.bUserPartRun || !run.install.checkRequirements ||
      run.install.checkRequirements(run, failed))
    return PhaseEnd::Next;
  ctx.bAbortedBySetupData = true;
  ctx.bOk = false;
  std::string text = ctx.szRequirementsText;
  ReplaceVariables(run, text);
  ReplaceVariables(run, text);
  if (text.empty())
    ShowMessage(run, 5564, failed);
  else
    ShowMessage(run, 5565, ResolveTextEscapes(text));
  return PhaseEnd::Next;
}

// Without the installed product's data the product counts as not registered, which stops the
// runs that work on an installed product.
PhaseEnd TakeInstalledData(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  const bool bOnInstalled = ctx.bUninstall || ctx.bRepair || ctx.bModify || ctx.bUserPartRun;
  if (!bOnInstalled && !ctx.bNewInstance) return PhaseEnd::Next;
  const bool bRegistered = run.install.readInstalledData && run.install.readInstalledData(run);
  run.sequence.bInstalledDataRead = bRegistered;
  if (bOnInstalled && !bRegistered) ctx.bOk = false;
  return PhaseEnd::Next;
}

PhaseEnd StartRunIfInstalled(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  ReplaceVariables(run, ctx.szRunIfInstalled);
  if (ctx.szRunIfInstalled.empty() || !SameVersionInstalled(run) || ctx.bAdminSetup ||
      ctx.bNewInstance || ctx.bUninstall || ctx.bServiceRelease ||
      (ctx.dwRunFlags & kRunFlagKeepRunIfInstalled))
    return PhaseEnd::Next;
  const std::string dir = CommandDirectory(ctx.szRunIfInstalled);
  if (!dir.empty()) run.machine.Files().SetCurrentDirectory(dir);
  uint32_t dwExitCode = 0;
  if (run.script.launchProgram)
    run.script.launchProgram(run, ctx.szRunIfInstalled, false, dwExitCode);
  return PhaseEnd::StartLoop;
}

PhaseEnd ApplyClientSetup(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.bUserPartRun) ctx.bClientSetup = true;
  if (ctx.bClientSetup) {
    ctx.bAskOptions = ctx.bClientAskOptions;
    ctx.iReboot = ctx.iClientReboot;
  }
  if (!ctx.szSrcDir.empty() && ctx.szSrcDir.back() != '\\') ctx.szSrcDir.push_back('\\');
  return PhaseEnd::Next;
}

PhaseEnd ConfirmUninstall(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (!ctx.bUninstall) return PhaseEnd::Next;
  if (run.variables.Get("MachineKeyName").empty())
    ctx.bOk = false;
  else if (IsInteractive(ctx) &&
           ShowMessage(run, 5536, run.variables.Get("ProductName")) == kResultNo)
    ctx.bOk = false;
  return PhaseEnd::Next;
}

PhaseEnd OfferPreviousVersionRemoval(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  InstalledVersionInfo older;
  if (ctx.bAdminSetup || ctx.bUninstall || ctx.bRepair || ctx.bModify || ctx.bServiceRelease ||
      ctx.bUserPartRun || ctx.iAskUninstallOld == 0 || !run.install.findInstalledVersion ||
      !run.install.findInstalledVersion(run, true, older))
    return PhaseEnd::Next;
  if (!ctx.bSilent && AskRemovePreviousVersion(run, older) != kResultYes) return PhaseEnd::Next;
  uint32_t dwExitCode = 0;
  if (!run.install.removePreviousVersion ||
      !run.install.removePreviousVersion(run, older, dwExitCode)) {
    ctx.bOk = false;
    return PhaseEnd::Next;
  }
  const auto nExitCode = static_cast<int32_t>(dwExitCode);
  if (nExitCode == -6708 || nExitCode == -6702) {
    ctx.bAbortedReboot = true;
    StopForRestart(run, nExitCode == -6708 ? 5 : 1);
  } else if (ctx.iAskUninstallOld == 2) {
    StopForRestart(run, 5);
  }
  return PhaseEnd::Next;
}

PhaseEnd RemoveWorkstationUsers(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (!ctx.bUninstall || !ctx.bWorkstationSetup || !run.install.removeUserParts)
    return PhaseEnd::Next;
  ctx.bOk = run.install.removeUserParts(run);
  return PhaseEnd::Next;
}

}  // namespace tarvium
