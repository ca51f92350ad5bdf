// The launch in the order the script engine relies on: ErrorLevel is emptied before the start and
// set from the exit code after it, whatever happened in between, so a script can always test it.
// Both ways of starting end in the process service: the shell start differs from the direct one
// in its working directory, its window state and the service-run msiexec rule, the direct start
// in the account. The engine's current directory is handed to the process service rather than
// changed, so there is nothing to restore afterwards.
#include "script/launch_program.h"

#include <optional>

#include "engine/debug_output.h"
#include "engine/machine_environment.h"
#include "engine/replace_variables.h"
#include "engine/run_variable_names.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "engine/variable_sections.h"
#include "engine/wait_cursor.h"
#include "platform/win_error.h"
#include "script/launch_account.h"
#include "script/launch_command_line.h"
#include "script/launch_shortcut.h"
#include "script/launch_wait.h"
#include "script/msi_quiet_switch.h"

namespace tarvium {
namespace {

constexpr int kMessageCannotExecute = 5508;
constexpr uint32_t kExitCodeFailed = 0xFFFFFFFF;  // -1

struct Launch {
  std::string line;  // the command line with its variables replaced
  std::string program;
  std::string parameters;
  std::optional<LaunchShortcut> shortcut;  // the program is a shortcut with a target
};

struct LaunchOptions {
  std::string user;
  std::string password;
  bool bOwnEnvironment = false;
  bool bHidden = false;
};

std::string CurrentDirectory(SetupRun& run) {
  std::string directory;
  run.machine.Files().GetCurrentDirectory(directory);
  return directory;
}

// "\\?\C:\x" is "C:\x" and "\\?\UNC\srv\share" is "\\srv\share".
std::string WithoutLongPathPrefix(std::string path) {
  if (path.starts_with("\\\\?\\UNC\\")) return "\\\\" + path.substr(8);
  if (path.starts_with("\\\\?\\")) return path.substr(4);
  return path;
}

void ResolveShortcutProgram(SetupRun& run, Launch& launch) {
  LaunchShortcut shortcut;
  if (IsShortcutName(launch.program) && ResolveShortcut(run, launch.program, shortcut) &&
      !shortcut.target.empty())
    launch.shortcut = std::move(shortcut);
}

// The working directory of a direct start for another user: the profile folder when the user has
// one, else the directory the start would use anyway.
void UseAccount(SetupRun& run, const LaunchOptions& options, platform::ProcessStart& start) {
  const LaunchAccount account = AccountForLaunch(run, options.user, options.password);
  start.userName = account.userName;
  start.domain = account.domain;
  start.password = account.password;
  if (options.bOwnEnvironment) return;
  const std::string profile = UserProfileFolder(run, account.userName);
  if (run.machine.Files().DirectoryExists(profile)) start.currentDirectory = profile;
  start.environment = UserEnvironment(run, account, profile);
}

uint32_t StartDirectly(SetupRun& run, const Launch& launch, const LaunchOptions& options,
                       platform::ProcessHandle& hProcess) {
  platform::ProcessStart start{.commandLine = launch.line,
                               .currentDirectory = CurrentDirectory(run),
                               .environment = run.machine.Env().Block(),
                               .nShowCmd = platform::SW_SHOWDEFAULT};
  if (launch.shortcut) {
    start.commandLine = JoinProgram(launch.shortcut->target,
                                    JoinParameters(launch.shortcut->arguments, launch.parameters));
    if (!launch.shortcut->workingDir.empty()) start.currentDirectory = launch.shortcut->workingDir;
    start.nShowCmd = launch.shortcut->nShowCmd;
  }
  if (options.bHidden) start.nShowCmd = platform::SW_HIDE;
  if (!options.user.empty()) UseAccount(run, options, start);
  return run.machine.Programs().CreateProcess(start, hProcess);
}

uint32_t StartThroughShell(SetupRun& run, const Launch& launch, const LaunchOptions& options,
                           platform::ProcessHandle& hProcess) {
  std::string program = launch.program;
  std::string parameters = launch.parameters;
  std::string windows;
  run.machine.System().GetSpecialFolder(platform::SpecialFolder::Windows, windows);
  platform::ProcessStart start{
      .currentDirectory = ShellWorkingDirectory(CurrentDirectory(run), windows),
      .environment = run.machine.Env().Block(),
      .nShowCmd = platform::SW_SHOWDEFAULT};
  if (launch.shortcut) {
    program = launch.shortcut->target;
    parameters = JoinParameters(launch.shortcut->arguments, parameters);
    if (!launch.shortcut->workingDir.empty()) start.currentDirectory = launch.shortcut->workingDir;
    start.nShowCmd = launch.shortcut->nShowCmd;
  }
  if (run.ctx.bServiceMode) ForceQuietMsiParameters(JoinProgram(program, parameters), parameters);
  if (options.bHidden) start.nShowCmd = platform::SW_HIDE;
  start.commandLine = JoinProgram(program, parameters);
  return run.machine.Programs().CreateProcess(start, hProcess);
}

void ReportFailedStart(SetupRun& run, const LaunchOptions& options, const std::string& name,
                       uint32_t dwError) {
  if (!options.user.empty() && dwError == platform::ERROR_LOGON_FAILURE) {
    DebugOutput(run, "Logon of '" + options.user + "' failed; '" + name + "' not started");
    return;
  }
  ShowMessage(run, kMessageCannotExecute, name, static_cast<int64_t>(dwError));
}

void SetOutputs(uint32_t* pdwError, uint32_t* pdwExitCode, uint32_t dwError, uint32_t dwExitCode) {
  if (pdwError) *pdwError = dwError;
  if (pdwExitCode) *pdwExitCode = dwExitCode;
}

}  // namespace

bool LaunchProgram(SetupRun& run, const std::string& commandLine, const std::string& user,
                   const std::string& password, bool bOwnEnvironment, bool bWait, bool bHidden,
                   uint32_t* pdwError, uint32_t* pdwExitCode, const std::string& scriptLine) {
  const WaitCursor cursor(run);
  RefreshEnvironment(run);  // the program sees what the setup changed in the machine environment
  Launch launch{.line = commandLine};
  ReplaceVariables(run, launch.line);
  SplitProgram(launch.line, launch.program, launch.parameters);
  if (launch.program.empty()) {
    SetOutputs(pdwError, pdwExitCode, platform::ERROR_FILE_NOT_FOUND, 0);
    return false;
  }
  SetVariable(run, std::string(kErrorLevel), "");
  ResolveShortcutProgram(run, launch);

  const LaunchOptions options{user, password, bOwnEnvironment, bHidden};
  const bool bShell = user.empty();
  const std::string name = scriptLine.empty() ? launch.program : scriptLine;
  platform::ProcessHandle hProcess = platform::ProcessHandle::Invalid;
  const uint32_t dwError = bShell ? StartThroughShell(run, launch, options, hProcess)
                                  : StartDirectly(run, launch, options, hProcess);
  bool bOk = dwError == platform::ERROR_SUCCESS;
  uint32_t dwExitCode = kExitCodeFailed;
  if (!bOk) {
    ReportFailedStart(run, options, name, dwError);
  } else if (bWait) {
    const WaitOutcome outcome =
        WaitForLaunchedProgram(run, hProcess, name, !(bShell && run.ctx.bServiceMode));
    dwExitCode = outcome.dwExitCode;
    bOk = !(outcome.bTimedOut && run.ctx.bAbortAfterCallTimeOut);
  } else {
    dwExitCode = ExitCodeNow(run, hProcess);
  }
  if (hProcess != platform::ProcessHandle::Invalid) run.machine.Programs().CloseProcess(hProcess);

  SetVariable(run, std::string(kErrorLevel), std::to_string(static_cast<int32_t>(dwExitCode)));
  if (const int32_t iReboot = RebootModeOfExitCode(dwExitCode)) run.ctx.iReboot = iReboot;
  SetOutputs(pdwError, pdwExitCode, dwError, dwExitCode);
  return bOk;
}

std::string ShellWorkingDirectory(const std::string& currentDirectory,
                                  const std::string& windowsDirectory) {
  std::string directory = WithoutLongPathPrefix(currentDirectory);
  if (directory.starts_with("\\\\")) return windowsDirectory;
  // A drive's root keeps its backslash: "C:" alone would mean the drive's current directory.
  if (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
  return directory;
}

int32_t RebootModeOfExitCode(uint32_t dwExitCode) {
  switch (dwExitCode) {
    case 6702:
      return 1;
    case 6703:
      return 3;
    case 6706:
      return 4;
    case 6708:
      return 5;
    default:
      return 0;
  }
}

}  // namespace tarvium
