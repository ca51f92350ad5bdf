// Unpacking a rar archive through the run-time loaded RAR library UnRAR64.dll: locate, verify and
// load the module, open the archive with the password callback, extract entry by entry into the
// destination, unload. Every step is traced on the run's diagnostic trace.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// moduleFolder may be empty (the folder of the running executable); password may be empty.
// True when the module was found, verified and loaded, the archive opened, and the last entry
// read was written. An archive without entries gives false.
bool UnpackRar(SetupRun& run, const std::string& moduleFolder, const std::string& archive,
               const std::string& destination, const std::string& password);

}  // namespace tarvium
