// What a restart of the emulated machine does, in the order Windows does it: the end of the
// running services (and of those marked for deletion), the file renames and deletions deferred to
// the restart, the end of volatile registry keys, the start of the boot, system and automatic
// services, the RunOnce commands of the machine and then of the user (each value removed before
// its command runs, or after it with a leading '!'), and the end of the recorded restart request.
#pragma once
#include <string>
#include <vector>

#include "platform/emulated/machine/emulated_machine.h"

namespace platform::emulated {

struct RebootStep {
  std::string what;       // "rename \??\C:\a -> \??\C:\b", "run HKLM ... RunOnce\Name: cmd"
  uint32_t dwResult = 0;  // Windows error, or the exit code of a RunOnce command
};

// Runs the restart; a failing step does not stop the ones after it.
std::vector<RebootStep> RebootMachine(EmulatedMachine& machine);

// How long one RunOnce command may run before the restart goes on without it.
inline constexpr uint32_t kRunOnceTimeoutMs = 5 * 60 * 1000;

}  // namespace platform::emulated
