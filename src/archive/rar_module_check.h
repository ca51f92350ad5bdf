// Finding UnRAR64.dll and checking it before it is loaded: the given module folder, else (or when
// the module is not there) the folder of the running executable; then the trust check, which only
// a verified module passes.
#pragma once
#include <string>

#include "archive/path_buffer.h"

namespace tarvium {

struct SetupRun;

// Sets modulePath to the module's path in the given folder or the application folder. False only
// when the given folder does not fit the path buffer; a missing module is found out by
// VerifyRarModule.
bool LocateRarModule(SetupRun& run, const std::string& moduleFolder, std::string& modulePath);

// True when the module exists and its signature was verified.
bool VerifyRarModule(SetupRun& run, const std::string& modulePath);

}  // namespace tarvium
