// Removing an older version of the product before this one is installed: its registered
// uninstall command runs silently as a child setup, and its exit code comes back to the main
// sequence, which takes a restart the removal needs into its own end.
#pragma once
#include <cstdint>

#include "engine/sequence_state.h"

namespace tarvium {

struct SetupRun;

// False when the removal failed (not started, a negative code that asks for no restart, 6704 or
// 1619) and the answer to message 5570 was not Ignore.
bool RemovePreviousVersion(SetupRun& run, const InstalledVersionInfo& older, uint32_t& dwExitCode);

// Message 5570 with the removal's last error text; true when it was answered with Ignore.
bool IgnoreFailedRemoval(SetupRun& run);

}  // namespace tarvium
