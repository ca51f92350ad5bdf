// Waiting for a started program: with the run's call time limit or without one, keeping the user
// interface alive between the short steps of the wait, ending the program when the limit passes,
// and reading its exit code. A program that is still running has no exit code yet; it then reads
// as 0.
#pragma once
#include <cstdint>
#include <string>

#include "platform/processes.h"

namespace tarvium {

struct SetupRun;

struct WaitOutcome {
  uint32_t dwExitCode = 0;
  bool bTimedOut = false;  // ended at the call time limit, with exit code -1
};

// Waits until the program ends, the limit passes (the program is then ended and message 5569
// names it as `name`) or the user interface asks to stop (the run's abort flag is then set). With
// bDisableWindows the main windows are disabled for the duration.
WaitOutcome WaitForLaunchedProgram(SetupRun& run, platform::ProcessHandle hProcess,
                                   const std::string& name, bool bDisableWindows);

// The exit code as it is now: 0 while the program runs.
uint32_t ExitCodeNow(SetupRun& run, platform::ProcessHandle hProcess);

}  // namespace tarvium
