// The system-configuration handlers as one attachment: each registers its section kinds with the
// section dispatch and fills the installation engine's configuration hooks.
#pragma once

namespace tarvium {

struct SetupRun;

// Registers every handler of this build on the run; call after AttachInstallEngine.
void AttachSystemConfiguration(SetupRun& run);

}  // namespace tarvium
