// The spine of a run, from process start to exit code: WinMain calls SetupMain, which runs the
// phases of the run in their fixed order; then (when SetupMain returned 1) the message loop,
// which has nothing to dispatch on this platform, EndOfRun, which performs or hands on the
// restart, and the exit code with its trace lines.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// Runs the phases over the run; the command line's arguments are run.sequence.szArguments.
// Returns 1 when the message loop and EndOfRun are to follow, 0 when the run did not start.
int SetupMain(SetupRun& run);
// Frees the run's file and performs the restart, log-off or shutdown the run decided on, or
// writes it into the [Reboot] entry a calling setup left in WIN.INI.
void EndOfRun(SetupRun& run);
// The whole run; returns the process's exit code.
int32_t WinMain(SetupRun& run, const std::string& arguments);

}  // namespace tarvium
