// The machine environment as the registry holds it, and the refresh that copies it into the
// engine's own environment. It lives with the engine because both the startup-file sections,
// which change that environment, and the program launches, which must hand the change on to the
// programs they start, use it.
#pragma once

namespace tarvium {

struct SetupRun;

inline constexpr const char* kMachineEnvironmentKey =
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

// Copies the machine environment of the registry into the engine's own environment: every value
// but TMP, TEMP, USERNAME and empty ones, with its references expanded.
void RefreshEnvironment(SetupRun& run);

}  // namespace tarvium
