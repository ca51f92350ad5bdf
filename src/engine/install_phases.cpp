// The phases between the run-mode decision and the end of the run: directories, the extension
// library, the options, the service connection, the directories of the copy, the test list, the
// installation run and the cleanup that every run ends with. The option model and the
// installation run belong to the installation engine and are reached through the run's
// InstallHooks: without them there are no options and nothing to install.
#include "engine/debug_output.h"
#include "engine/error_file.h"
#include "engine/extension_library.h"
#include "engine/inf_location.h"
#include "engine/product_identity.h"
#include "engine/replace_variables.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/variable_sections.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr uint32_t kEnvironmentAgainFormat = 0x651;

void AddTrailingBackslash(std::string& path) {
  if (!path.empty() && path.back() != '\\') path.push_back('\\');
}

void AddTrailingBackslashTo(SetupRun& run, std::string_view variable) {
  std::string value = run.variables.Get(variable);
  AddTrailingBackslash(value);
  run.variables.Set(variable, value);
}

void ReplaceVariablesIn(SetupRun& run, std::string_view variable) {
  std::string value = run.variables.Get(variable);
  ReplaceVariables(run, value);
  run.variables.Set(variable, value);
}

// The root of an administrator installation: the remembered source directory cut back by one
// path element for every backslash of SetupInfDir.
std::string AdminInstallationRoot(const std::string& rememberedSrcDir,
                                  const std::string& setupInfDir) {
  std::string root = rememberedSrcDir;
  if (!root.empty() && root.back() == '\\') root.pop_back();
  for (char c : setupInfDir) {
    if (c != '\\') continue;
    const size_t nSlash = root.rfind('\\');
    root.resize(nSlash == std::string::npos ? 0 : nSlash);
  }
  return root + "\\";
}

void CloseTestList(SetupRun& run) {
  if (run.sequence.hTestList == platform::FileHandle::Invalid) return;
  run.machine.Files().CloseHandle(run.sequence.hTestList);
  run.sequence.hTestList = platform::FileHandle::Invalid;
}

// A run connected to the setup service sends its progress there; /S4 and silent level 0 show
// none.
bool HasProgressWindow(const SetupContext& ctx) {
  return !ctx.bServiceMode && !ctx.bSilentNoEnd && !(ctx.bSilent && ctx.iSilentLevel == 0);
}

}  // namespace

PhaseEnd SetDirectories(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  VariableStore& v = run.variables;
  if (ctx.bAdminSetup) {
    v.Set("ApplicationDir", ctx.szAdminApplicationDir);
    ctx.bAskDir = ctx.bAdminAskDir;
  }
  ReplaceVariablesIn(run, "ApplicationDir");
  if (ctx.bTestRun && v.Get("ApplicationDir").empty())
    v.Set("ApplicationDir", "C:\\" + v.Get("ProductName"));
  if (ctx.bAdminInstallation && !run.sequence.bInstalledDataRead && !v.Get("SetupInfDir").empty())
    ctx.szSrcDir = AdminInstallationRoot(run.sequence.szRememberedSrcDir, v.Get("SetupInfDir"));
  ReplaceVariablesIn(run, "DataDir");
  for (std::string* picture : {&ctx.szBackgroundPicture, &ctx.szLogo, &ctx.szWizardPicture})
    ReplaceVariables(run, *picture);
  if (ctx.bAdminSetup || ctx.bAdminInstallation || ctx.bWorkstationSetup || ctx.bUserPartRun) {
    std::string clientSrcDir = ctx.szAdminClientSrcDir;
    ReplaceVariables(run, clientSrcDir);
    AddTrailingBackslash(clientSrcDir);
    v.Set("ClientSrcDir", clientSrcDir);
  }
  return PhaseEnd::Next;
}

PhaseEnd LoadExtensionLibrary(SetupRun& run) {
  run.ctx.bOk = LoadSetupExtension(run);
  return PhaseEnd::Next;
}

// Too old a format is refused here, then the variable sections and the option model follow.
PhaseEnd LoadOptions(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (!CheckFormatVersion(run)) {
    ctx.bOk = false;
    return PhaseEnd::Next;
  }
  LoadVariableSection(run, *run.inf, "Environment", true, false);
  LoadVariableSection(run, *run.inf, "Encryption", false, true);
  if (run.install.buildOptions && !run.install.buildOptions(run)) {
    ctx.bOk = false;
    return PhaseEnd::Next;
  }
  if (!ctx.szOptions.empty() && run.install.applyOptionSwitch)
    run.install.applyOptionSwitch(run, ctx.szOptions);
  return PhaseEnd::Next;
}

// A /G run opens the exchange with the setup service here; a run without an attached service
// fails as one whose pipe cannot be opened.
PhaseEnd ConnectService(SetupRun& run) {
  if (run.ctx.bServiceMode) {
    DebugOutput(run, "initialize pipe and connection to service\n");
    SetupService* service = ConnectedService(run);
    if (!service || !service->PipeInit(run)) {
      DebugOutput(run, "initialization of service via pipe failed\n");
      return PhaseEnd::NotStarted;
    }
  }
  if (CallSetupHook(run, kHookBeforeQuestions) == 0) run.ctx.bOk = false;
  return PhaseEnd::Next;
}

PhaseEnd FinishDirectories(SetupRun& run) {
  AddTrailingBackslashTo(run, "ApplicationDir");
  AddTrailingBackslashTo(run, "Client");
  if (run.ctx.bAdminSetup) {
    InstalledVersionInfo installed;
    if (run.install.findInstalledVersion &&
        run.install.findInstalledVersion(run, false, installed)) {
      run.variables.Set("InstalledVersion", installed.szVersion);
      run.variables.Set("InstalledRevision", installed.szRevision);
    }
  }
  if (run.ctx.bServiceRelease) return CheckRequirements(run);
  return PhaseEnd::Next;
}

PhaseEnd SetCopyDirectories(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  VariableStore& v = run.variables;
  if (ctx.bWorkstationSetup && (ctx.bClientSetup || ctx.bFromCD))
    v.Set("Client", ctx.szSrcDir);
  else if (v.Get("Client").empty())
    v.Set("Client", v.Get("ApplicationDir"));
  if ((ctx.bClientSetup && !ctx.bUserPartRun) || ctx.bFromCD) v.Set("ApplicationDir", ctx.szSrcDir);
  return PhaseEnd::Next;
}

PhaseEnd OpenTestList(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.bUninstall) ctx.bTestRun = false;
  if (!ctx.bTestRun) return PhaseEnd::Next;
  std::string tempDir;
  run.machine.Files().GetTempPath(tempDir);
  AddTrailingBackslash(tempDir);
  run.sequence.szTestListPath =
      tempDir + run.variables.Get("ProductNameShort") + (ctx.iTestKind == 1 ? ".bat" : ".txt");
  if (run.machine.Files().CreateFile(run.sequence.szTestListPath, platform::GENERIC_WRITE,
                                     platform::CREATE_ALWAYS, 0,
                                     run.sequence.hTestList) != platform::ERROR_SUCCESS) {
    run.sequence.hTestList = platform::FileHandle::Invalid;
    ShowMessage(run, 5504, run.sequence.szTestListPath);
    ctx.bTestRun = false;
  }
  return PhaseEnd::Next;
}

PhaseEnd ReloadEnvironment(SetupRun& run) {
  if (run.ctx.nFormatVersion >= kEnvironmentAgainFormat)
    LoadVariableSection(run, *run.inf, "Environment", true, false);
  return PhaseEnd::Next;
}

// An installation run that failed or was cancelled is an aborted run: its end still follows, to
// show the abort message and to call the extension's end hook. A run that a script ended (Exit,
// AbortSilent, AbortReboot) is not aborted by that: its end turns those commands into their
// messages and exit code.
PhaseEnd RunInstallation(SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  const bool bProgressWindow = run.ui && HasProgressWindow(ctx);
  if (bProgressWindow)
    run.ui->OpenProgressWindow({.bCancel = !ctx.bDisableCancelButton, .bSilent = ctx.bSilent});
  const bool bEndedByScript = ctx.bExitCommand || ctx.bAbortSilent || ctx.bAbortedReboot;
  if (run.install.runInstallation && !run.install.runInstallation(run) && !bEndedByScript)
    run.ctx.bAborted = true;
  if (bProgressWindow) run.ui->CloseProgressWindow();
  return PhaseEnd::Next;
}

PhaseEnd CleanUp(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  CloseTestList(run);
  FinishErrorFile(run);
  if (run.log.hTraceFile != platform::FileHandle::Invalid) {
    const platform::FileHandle hTrace = run.log.hTraceFile;
    SetTraceFile(run, platform::FileHandle::Invalid);
    run.machine.Files().CloseHandle(hTrace);
  }
  CloseServerConnection(run);
  if (!ctx.bOk && !ctx.bStoppedForRestart) ctx.bAborted = true;
  return PhaseEnd::StartLoop;
}

}  // namespace tarvium
