// The installation run around the passes: the uninstall and reinstall commands are built first;
// after an install the product is registered and the install run ends (the registration of a
// replaced version, Execute, the administrator installation's file, the workstation shortcuts,
// RunOnce); after an uninstall the registration is removed; an aborted first install leaves no
// registration behind. AttachInstallationRun makes this the run's installation run.
#pragma once

namespace tarvium {

struct SetupRun;

bool RunInstallationWithRegistration(SetupRun& run);

// Deletes the registration of the version this one replaced in the same place.
void DeleteReplacedRegistration(SetupRun& run);

void AttachInstallationRun(SetupRun& run);

}  // namespace tarvium
