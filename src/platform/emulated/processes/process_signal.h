// What one engine process may do to a host process another engine process started: tell whether
// it still runs (and is still the same process, not a later one that got its id), ask it to stop,
// and end it with everything in its process group. A process is named by its id and the time it
// started (the kernel's start time in clock ticks since boot), which together never name two
// processes; an ended process that waits to be reaped (a zombie) counts as ended.
#pragma once
#include <cstdint>

namespace platform {

// The start time of a running process; 0 when there is no such process or it has ended.
uint64_t ProcessStartTime(uint32_t dwProcessId);

// Whether the process with this id and start time still runs.
bool IsSameProcessRunning(uint32_t dwProcessId, uint64_t nStartTime);

// Sends the stop request (SIGTERM), which the program may honour late or ignore.
// ERROR_INVALID_PARAMETER when the process has ended.
uint32_t SendStopRequest(uint32_t dwProcessId);

// Ends the process and its process group at once (SIGKILL), as a restart ends every program.
void KillProcessGroup(uint32_t dwProcessId);

}  // namespace platform
