// What the registry says about this product's installations: the installed version (or an older
// one to remove first), whether this run applies only the per-user part of a machine
// installation, whether the file's revision is newer, and the installed product's data. The main
// sequence reaches these through the run's InstallHooks (AttachInstalledProduct).
#pragma once
#include <string>

#include "engine/sequence_state.h"
#include "platform/registry.h"

namespace tarvium {

struct SetupRun;

// The key of the product's record: "Software\<MachineKeyName>\Setup".
std::string ProductRecordKey(const std::string& machineKeyName);
// The product key: MachineKeyName without its last component, the version ("" when it has none).
std::string ProductKeyOf(const std::string& machineKeyName);
// A value of a record as text; "" when it is missing.
std::string RecordText(SetupRun& run, platform::RegRoot root, const std::string& key,
                       const char* pszName);

bool FindInstalledVersion(SetupRun& run, bool bOlderOnly, InstalledVersionInfo& found);
void ReadInstalledProduct(SetupRun& run);
bool ReadInstalledData(SetupRun& run);

// Sets the installed-product hooks of the run (and the removal of a previous version).
void AttachInstalledProduct(SetupRun& run);

}  // namespace tarvium
