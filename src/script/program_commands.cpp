// The commands that start programs: Call and CallHidden wait, CallRunAs starts as another user,
// RegAsm runs the .NET registration tool, SystemShutdown starts a copy of the engine in the
// temporary directory with " /Y:", and a line whose first word is no command starts that word as
// a program without waiting. KillProcess ends every process of a module name.
#include "engine/ansi_text.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "platform/ansi_case.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"
#include "script/launch_program.h"
#include "script/script_chars.h"
#include "script/timed_notice.h"

namespace tarvium {
namespace {

struct RunAsOptions {
  std::string user;
  std::string password;
  bool bOwnEnvironment = false;
  std::string commandLine;  // the quoted program, a blank and the parameters
};

bool Launch(CommandCall& call, const std::string& commandLine, bool bWait, bool bHidden,
            uint32_t* pdwExitCode = nullptr) {
  return LaunchProgram(call.run, commandLine, "", "", false, bWait, bHidden, nullptr, pdwExitCode,
                       call.written);
}

// The options up to the first word that is no option; that word is the program and the rest of
// the text its parameters.
bool ParseRunAs(std::string_view text, RunAsOptions& options) {
  size_t nPos = 0;
  while (true) {
    while (nPos < text.size() && IsScriptBlank(text[nPos])) ++nPos;
    if (nPos >= text.size()) return false;
    size_t nEnd = nPos;
    bool bQuoted = false;
    for (; nEnd < text.size() && (bQuoted || !IsScriptBlank(text[nEnd])); ++nEnd)
      if (text[nEnd] == '"') bQuoted = !bQuoted;
    std::string word;
    for (char c : text.substr(nPos, nEnd - nPos))
      if (c != '"') word += c;
    if (platform::AnsiStartsWithNoCase(word, "/U:")) {
      options.user = word.substr(3);
    } else if (platform::AnsiStartsWithNoCase(word, "/P:")) {
      options.password = word.substr(3);
    } else if (platform::AnsiEqualNoCase(word, "/E")) {
      options.bOwnEnvironment = true;
    } else {
      options.commandLine = "\"" + word + "\" " + std::string(TrimAnsi(text.substr(nEnd)));
      return !options.user.empty();
    }
    nPos = nEnd;
  }
}

bool CallRunAsWith(CommandCall& call, bool bHidden) {
  RunAsOptions options;
  if (!ParseRunAs(call.arguments, options)) return MissingArgument(call);
  return LaunchProgram(call.run, options.commandLine, options.user, options.password,
                       options.bOwnEnvironment, true, bHidden, nullptr, nullptr, call.written);
}

}  // namespace

bool CallCommand(CommandCall& call) {
  return Launch(call, std::string(TrimAnsi(call.arguments)), true, false);
}

bool CallHiddenCommand(CommandCall& call) {
  return Launch(call, std::string(TrimAnsi(call.arguments)), true, true);
}

bool CallRunAsCommand(CommandCall& call) {
  return CallRunAsWith(call, false);
}

bool CallRunAsHiddenCommand(CommandCall& call) {
  return CallRunAsWith(call, true);
}

bool StartProgramCommand(CommandCall& call) {
  return Launch(call, call.line, false, false);
}

bool RegAsmCommand(CommandCall& call) {
  const std::string commandLine = "\"" + call.run.variables.Get("CLRDir") + "RegAsm.exe\" " +
                                  std::string(TrimAnsi(call.arguments));
  uint32_t dwExitCode = 0;
  if (!Launch(call, commandLine, true, true, &dwExitCode)) return false;
  if (dwExitCode == 0) return true;
  ShowMessage(call.run, 5508, commandLine, int64_t{dwExitCode});
  return false;
}

bool SystemShutdownCommand(CommandCall& call) {
  SetupRun& run = call.run;
  std::string temp;
  if (run.machine.Files().GetTempPath(temp) != platform::ERROR_SUCCESS) return false;
  const std::string engine = temp + "Setup.exe";
  if (!platform::AnsiEqualNoCase(run.ctx.szExeDir + "\\", temp) &&
      run.machine.Programs().PlaceEngineImage(engine) != platform::ERROR_SUCCESS)
    return false;
  const std::string text(TrimAnsi(call.arguments));
  const bool bNoWait = ReadDecimal(ArgumentAt(TextArguments(text), 4)) != 0;
  return Launch(call, "\"" + engine + "\" /Y:\"" + text + "\"", !bNoWait, false);
}

bool KillProcessCommand(CommandCall& call) {
  const std::vector<std::string> args = TextArguments(call.arguments);
  const std::string name = ArgumentAt(args, 0);
  if (name.empty()) return MissingArgument(call);
  platform::Processes& programs = call.run.machine.Programs();
  std::vector<platform::ProcessEntry> running;
  if (programs.EnumProcesses(name, running) != platform::ERROR_SUCCESS || running.empty())
    return true;
  ShowTimedNotice(call.run, ArgumentAt(args, 2), ReadDecimal(ArgumentAt(args, 1)));
  bool bOk = true;
  for (const platform::ProcessEntry& entry : running) {
    platform::ProcessHandle hProcess;
    if (programs.OpenProcess(entry.dwProcessId, hProcess) != platform::ERROR_SUCCESS) continue;
    const uint32_t err = programs.TerminateProcess(hProcess, 1);
    bOk = (err == platform::ERROR_SUCCESS || err == platform::ERROR_ACCESS_DENIED) && bOk;
    programs.CloseProcess(hProcess);
  }
  return bOk;
}

}  // namespace tarvium
