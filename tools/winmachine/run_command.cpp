// winmachine run: starts a program on the machine as a user does from Start > Run (the user's
// environment, the profile folder as current directory), waits for it and ends with its exit
// code. The program's output is its own; winmachine adds nothing unless the start fails. The full
// 32-bit code goes to a parent through the machine's exit-code file, a shell sees its low byte.
// A shortcut (.lnk) is opened as the shell opens it: its target starts with the link's arguments
// before the typed ones, in the link's working directory and window state.
#include <algorithm>
#include <string>

#include "cli.h"
#include "platform/ansi_case.h"
#include "platform/emulated/processes/host_processes.h"
#include "platform/error_text.h"
#include "platform/shell_link.h"
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

// The first word of a command line (double quotes group) and the rest after the blanks.
void SplitProgram(const std::string& commandLine, std::string& program, std::string& rest) {
  const bool bQuoted = !commandLine.empty() && commandLine[0] == '"';
  size_t nEnd = bQuoted ? commandLine.find('"', 1) : commandLine.find(' ');
  nEnd = std::min(nEnd, commandLine.size());
  program = commandLine.substr(bQuoted ? 1 : 0, nEnd - (bQuoted ? 1 : 0));
  const size_t nRest = commandLine.find_first_not_of(' ', std::min(nEnd + 1, commandLine.size()));
  rest = nRest == std::string::npos ? std::string() : commandLine.substr(nRest);
}

// A shortcut's target, arguments, working directory and window state in place of the link; false
// (after a message) when the link cannot be read.
bool OpenShortcut(platform::Machine& machine, platform::ProcessStart& start) {
  std::string program, rest;
  SplitProgram(start.commandLine, program, rest);
  if (!platform::AnsiEndsWithNoCase(program, ".lnk")) return true;
  platform::ShellLink link;
  if (const uint32_t err = platform::ReadShellLinkFile(machine.Files(), program, link)) {
    Fail(kExitFailed, "cannot open '" + program + "' (" + platform::ErrorCodeText(err) + ")");
    return false;
  }
  start.commandLine = "\"" + platform::ShellLinkTarget(link, program) + "\"";
  for (const std::string& part : {link.szArguments, rest})
    if (!part.empty()) start.commandLine += " " + part;
  if (!link.szWorkingDir.empty()) start.currentDirectory = link.szWorkingDir;
  start.nShowCmd = platform::ShowCommandOfLink(link);
  return true;
}

}  // namespace

// Starts the program and waits; false (after a message) when it could not be started.
bool RunToEnd(platform::Machine& machine, const std::string& commandLine, uint32_t& dwExitCode) {
  platform::ProcessStart start;
  start.commandLine = commandLine;
  start.environment = machine.Env().Block();
  machine.System().GetSpecialFolder(platform::SpecialFolder::UserProfile, start.currentDirectory);
  if (!OpenShortcut(machine, start)) return false;
  platform::Processes& programs = machine.Programs();
  platform::ProcessHandle hProcess = platform::ProcessHandle::Invalid;
  if (const uint32_t err = programs.CreateProcess(start, hProcess)) {
    std::string program, rest;
    SplitProgram(start.commandLine, program, rest);
    Fail(kExitFailed,
         "cannot start '" + commandLine + "' (" + platform::ErrorCodeText(err, program) + ")");
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
