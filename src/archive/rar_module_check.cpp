// Location and trust check of the RAR module, traced line by line: the traces are how an
// administrator finds out why an Unrar line failed, since the user only sees "Cannot read".
#include "archive/rar_module_check.h"

#include "archive/archive_trace.h"
#include "archive/rar_texts.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr const char* kModuleName = "\\UnRAR64.dll";

// Forms folder + "\UnRAR64.dll" and traces whether it exists.
bool LookInFolder(SetupRun& run, const std::string& folder, std::string& modulePath) {
  modulePath = folder + kModuleName;
  if (modulePath.size() < kArchivePathBuffer && run.machine.Files().FileExists(modulePath)) {
    TraceArchive(run, "UnRAR-Module '%s' exists", modulePath.c_str());
    return true;
  }
  TraceArchive(run, "Error checking existence of UnRAR-module '%s' !", modulePath.c_str());
  return false;
}

}  // namespace

bool LocateRarModule(SetupRun& run, const std::string& moduleFolder, std::string& modulePath) {
  const std::string& appFolder = run.ctx.szExeDir;
  if (moduleFolder.empty()) {
    TraceArchive(run,
                 "No path to folder with UnRAR-module provided. Using path to application folder: "
                 "'%s'",
                 appFolder.c_str());
    LookInFolder(run, appFolder, modulePath);
    return true;
  }
  if (moduleFolder.size() >= kArchivePathBuffer) {
    TraceArchive(run,
                 "Path to UnRAR-module '%s' is with '%i' characters too long for buffer of '%i' "
                 "characters!",
                 moduleFolder.c_str(),
                 static_cast<int>(moduleFolder.size() + 1 - kArchivePathBuffer),
                 static_cast<int>(kArchivePathBuffer));
    return false;
  }
  if (!LookInFolder(run, moduleFolder, modulePath)) {
    TraceArchive(run, "Looking for UnRAR-module in default folder (application path)");
    LookInFolder(run, appFolder, modulePath);
  }
  return true;
}

bool VerifyRarModule(SetupRun& run, const std::string& modulePath) {
  if (!run.machine.Files().FileExists(modulePath)) {
    TraceArchive(run, "Module '%s' not found", modulePath.c_str());
    return false;
  }
  TraceArchive(run, "Verifying module '%s'", modulePath.c_str());
  const uint32_t nResult = run.machine.Libraries().VerifyTrust(modulePath);
  TraceArchive(run, "%s", TrustResultText(nResult).c_str());
  if (nResult == platform::TRUST_SUCCESS) return true;
  TraceArchive(run, "Module '%s' couldn't be verified", modulePath.c_str());
  return false;
}

}  // namespace tarvium
