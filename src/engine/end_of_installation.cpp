// The end of the installation run: the exit text for the management agent, the end message, and
// the decision whether the run ends with a restart, log-off or shutdown. The decision is kept in
// bExitWindows and uExitWindowsFlags; EndOfRun acts on it (or hands it on) after the cleanup, and
// the exit code reports it under run flag 0x08.
#include "engine/extension_library.h"
#include "engine/registry_operations.h"
#include "engine/replace_variables.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/text_escapes.h"
#include "platform/registry.h"

namespace tarvium {
namespace {

constexpr uint32_t kFlagsLogOff = 0;
constexpr uint32_t kFlagsRestart = 2;
constexpr uint32_t kFlagsPowerOff = 8;
constexpr size_t kLongTextSize = 4096;

void WriteExitTextForAgent(SetupRun& run) {
  const std::string& text = run.ctx.szExitText;
  if (text.empty()) return;
  RegWriteText(run, platform::RegRoot::LocalMachine, "Software\\Kelvaron\\Stowfield", "LastError",
               text);
}

// The abort message, unless a silent run below level 3 keeps it back.
void ShowAbortMessage(SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  if (ctx.bSilent && ctx.iSilentLevel < 3) return;
  if (!ctx.szExitText.empty())
    ShowMessage(run, 5567, ctx.szExitText);
  else
    ShowMessage(run, ctx.bUninstall ? 5537 : 5510);
}

void OpenTestListInEditor(SetupRun& run) {
  if (run.sequence.hTestList != platform::FileHandle::Invalid) {
    run.machine.Files().CloseHandle(run.sequence.hTestList);
    run.sequence.hTestList = platform::FileHandle::Invalid;
  }
  uint32_t dwExitCode = 0;
  if (run.script.launchProgram)
    run.script.launchProgram(run, "Notepad.exe " + run.sequence.szTestListPath, false, dwExitCode);
}

// The program that sets up a computer from an administrator installation.
std::string ClientSetupProgram(SetupRun& run) {
  const VariableStore& v = run.variables;
  const std::string& reinstall = v.Get("ReinstallString");
  if (run.ctx.bWorkstationSetup && reinstall.find("Setup.exe") != std::string::npos)
    return reinstall.substr(0, reinstall.find(" /X4"));
  return v.Get("ApplicationDir") + (run.ctx.bFromCD ? "" : v.Get("SetupInfDir")) + "Setup.exe";
}

void ShowAdminEndMessage(SetupRun& run) {
  std::string text = run.ctx.szAdminEndMessage.substr(0, kLongTextSize - 1);
  ReplaceVariables(run, text);
  if (!text.empty())
    ShowMessage(run, 5567, ResolveTextEscapes(text));
  else
    ShowMessage(run, 5548, run.variables.Get("ProductName"), ClientSetupProgram(run));
}

void ShowEndMessage(SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  if (ctx.bSilentNoEnd) return;
  if (ctx.bAdminSetup) {
    ShowAdminEndMessage(run);
  } else if (ctx.bAbortedReboot) {
    ShowAbortMessage(run);
  } else if (!ctx.szEndMessage.empty() && !ctx.bUninstall) {
    std::string text = ctx.szEndMessage;
    ReplaceVariables(run, text);
    ShowMessage(run, 5567, ResolveTextEscapes(text));
  } else {
    ShowMessage(run, ctx.bUninstall ? 5538 : 5511, run.variables.Get("ProductName"));
  }
}

// A log-off needs a user at the input desktop; the emulated machine always has its user logged on.
void DecideLogOff(SetupRun& run) {
  run.ctx.bExitWindows = true;
  run.ctx.uExitWindowsFlags = kFlagsLogOff;
}

void DecideRestart(SetupRun& run, bool bEndMessageAllowed) {
  SetupContext& ctx = run.ctx;
  const bool bNoRestart = (ctx.dwRunFlags & kRunFlagNoRestart) != 0;
  if (ctx.bRestartWindows) ctx.bConfigChanged = true;
  if (!ctx.bAdminSetup && (ctx.iReboot == 1 || ctx.iReboot == 5))
    ctx.bRestartWindows = ctx.bConfigChanged = true;
  if (!ctx.bAdminSetup && ctx.iReboot == 2) ctx.bRestartWindows = ctx.bConfigChanged = false;
  if (bNoRestart && (ctx.bConfigChanged || ctx.bRestartWindows)) {
    ctx.bExitWindows = true;
    ctx.uExitWindowsFlags = kFlagsRestart;
  }
  if (ctx.iReboot == 3) DecideLogOff(run);
  const bool bEndMessage = bEndMessageAllowed && !ctx.bSilent && ctx.bShowEndMessage;
  if (ctx.iReboot == 4) {
    ctx.bExitWindows = true;
    ctx.uExitWindowsFlags = kFlagsPowerOff;
  } else if (ctx.bConfigChanged && !bNoRestart) {
    if ((bEndMessage || ctx.bSilentNoEnd) &&
        ShowMessage(run, ctx.bUninstall ? 5540 : 5513, run.variables.Get("ProductName")) !=
            kResultYes)
      return;
    ctx.bExitWindows = true;
    ctx.uExitWindowsFlags = kFlagsRestart;
  } else if (ctx.bRestartWindows && !bNoRestart) {
    if (bEndMessage && ShowMessage(run, ctx.bUninstall ? 5539 : 5512,
                                   run.variables.Get("ProductName")) != kResultYes)
      return;
    ctx.bExitWindows = true;
    ctx.uExitWindowsFlags = kFlagsRestart;
  } else if (bEndMessage) {
    ShowEndMessage(run);
  }
}

void EndOfInstallationRun(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  WriteExitTextForAgent(run);
  const bool bEndedByScript = ctx.bExitCommand || ctx.bAbortSilent;
  if (bEndedByScript) {
    ctx.bAborted = false;
    if (ctx.bExitCommand && !ctx.szExitText.empty()) ShowMessage(run, 5567, ctx.szExitText);
  }
  if (ctx.bAbortedReboot) ctx.bAborted = false;
  if (ctx.bAborted)
    ShowAbortMessage(run);
  else if (ctx.bTestRun)
    OpenTestListInEditor(run);
  else
    DecideRestart(run, !bEndedByScript);
  if (!ctx.bAborted && ctx.bFontsChanged) run.machine.Broadcasts().PostFontChange();
}

}  // namespace

PhaseEnd EndInstallationRun(SetupRun& run) {
  EndOfInstallationRun(run);
  CallSetupHook(run, kHookEndOfRun);
  SetupTrace(run, "bConfigChanged: %d, bExitWindows: %d\n\n", run.ctx.bConfigChanged,
             run.ctx.bExitWindows);
  UnloadSetupExtension(run);
  return PhaseEnd::Next;
}

}  // namespace tarvium
