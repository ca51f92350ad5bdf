// LaunchProgram: the one operation that starts programs for the script commands and the engine.
// It replaces the variables of the command line, resolves a shortcut given as the program, starts
// the program through the shell or, for another account, directly, optionally waits for it under
// the run's call time limit, and publishes the exit code as the variable ErrorLevel. A child that
// is itself a setup engine asks for a restart through its exit code, which sets the run's
// reboot mode.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// Returns true when the program was started and, with AbortAfterCallTimeOut, did not run into
// the call time limit. The exit code does not decide the result: callers that care test it.
// pdwError receives the Windows error of the start (0 when it started), pdwExitCode the exit code
// (-1 for a failed start or a program ended at the limit, 0 while it still runs); both may be
// null. scriptLine names the start in messages; when empty the program does.
bool LaunchProgram(SetupRun& run, const std::string& commandLine, const std::string& user,
                   const std::string& password, bool bOwnEnvironment, bool bWait, bool bHidden,
                   uint32_t* pdwError, uint32_t* pdwExitCode, const std::string& scriptLine);

// The working directory of a start through the shell: the current directory without a trailing
// backslash (and without the long-path prefix); the Windows directory when it is a network path.
std::string ShellWorkingDirectory(const std::string& currentDirectory,
                                  const std::string& windowsDirectory);

// The reboot mode a child setup asks for with its exit code; 0 for any other code.
int32_t RebootModeOfExitCode(uint32_t dwExitCode);

}  // namespace tarvium
