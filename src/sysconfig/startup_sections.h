// The sections that change start-up settings: batch files (autoexec.bat and any other), whose SET
// and PATH lines for the autoexec.bat of NT platforms change the machine or user environment in
// the registry instead of the file, and config.sys (CONFIG.NT in the system directory on NT
// platforms). Like registry and INI lines nothing is recorded per line: the uninstall pass runs
// the same lines last to first, each turned into its removal.
#pragma once
#include <string>

#include "engine/machine_environment.h"  // RefreshEnvironment

namespace tarvium {

struct SetupRun;

bool HandleBatSection(SetupRun& run, const std::string& sectionName, const std::string& batchFile);
bool HandleConfigSysSection(SetupRun& run, const std::string& sectionName,
                            const std::string& configFile);

}  // namespace tarvium
