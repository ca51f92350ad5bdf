// winmachine run: starts a program on the machine as a user does from Start > Run (the user's
// environment, the profile folder as current directory), waits for it and ends with its exit
// code. The program's output is its own; winmachine adds nothing unless the start fails. The full
// 32-bit code goes to a parent through the machine's exit-code file, a shell sees its low byte.
#include <string>

#include "cli.h"
#include "platform/emulated/processes/host_processes.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

// The words after "run" make one Windows command line, as they were typed.
std::string CommandLineOf(const std::vector<std::string>& args) {
  std::string commandLine;
  for (const std::string& arg : args) {
    if (!commandLine.empty()) commandLine += ' ';
    commandLine += FromArg(arg);
  }
  return commandLine;
}

}  // namespace

bool RunToEnd(platform::Machine& machine, const std::string& commandLine, uint32_t& dwExitCode) {
  platform::ProcessStart start;
  start.commandLine = commandLine;
  start.environment = machine.Env().Block();
  machine.System().GetSpecialFolder(platform::SpecialFolder::UserProfile, start.currentDirectory);
  platform::Processes& programs = machine.Programs();
  platform::ProcessHandle hProcess = platform::ProcessHandle::Invalid;
  if (const uint32_t err = programs.CreateProcess(start, hProcess)) {
    Fail(kExitFailed, "cannot start '" + commandLine + "' (error " + std::to_string(err) + ")");
    return false;
  }
  platform::WaitResult result = platform::WaitResult::Exited;
  const uint32_t err = programs.WaitForProcess(hProcess, platform::INFINITE, {}, result);
  if (err == platform::ERROR_SUCCESS) programs.GetExitCodeProcess(hProcess, dwExitCode);
  programs.CloseProcess(hProcess);
  return true;
}

int RunCommand(const Invocation& invocation) {
  if (invocation.args.empty()) return Fail(kExitUsage, "run needs a command line");
  uint32_t dwExitCode = 0;
  {
    auto machine = OpenMachine(invocation);
    if (!machine) return kExitFailed;
    if (!RunToEnd(*machine, CommandLineOf(invocation.args), dwExitCode)) return kExitFailed;
  }  // the machine is closed before this process ends
  platform::HostProcesses({}).ExitProcess(dwExitCode);
}

}  // namespace winmachine
