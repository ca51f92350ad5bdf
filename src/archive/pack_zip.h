// Packing a directory tree of the machine into a new zip archive: every file whose name matches
// the filter, under its path relative to the source directory in the OEM code page, deflated,
// and encrypted when a password is given.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// True when every file was added.
bool PackZip(SetupRun& run, const std::string& archive, const std::string& sourceDir,
             const std::string& filter, const std::string& password);

}  // namespace tarvium
