// Loading and unloading the RAR library through the run's module service; the entry points are
// looked up by name in the order the traces report them.
#include "archive/rar_library.h"

#include "archive/archive_trace.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {

template <class Proc>
bool RarLibrary::LookUp(const char* pszName, Proc& proc) {
  proc = reinterpret_cast<Proc>(run_.machine.Libraries().GetProcAddress(hModule_, pszName));
  if (proc) return true;
  TraceArchive(run_, "Error loading function %s", pszName);
  return false;
}

bool RarLibrary::Load(const std::string& modulePath) {
  if (run_.machine.Libraries().LoadLibrary(modulePath, hModule_) != platform::ERROR_SUCCESS) {
    TraceArchive(run_, "Error loading dll '%s'", modulePath.c_str());
    return false;
  }
  TraceArchive(run_, "Module '%s' loaded with success", modulePath.c_str());
  return LookUp("RAROpenArchiveEx", pOpenArchiveEx) && LookUp("RARCloseArchive", pCloseArchive) &&
         LookUp("RARReadHeader", pReadHeader) && LookUp("RARProcessFile", pProcessFile);
}

void RarLibrary::Unload() {
  pOpenArchiveEx = nullptr;
  pCloseArchive = nullptr;
  pReadHeader = nullptr;
  pProcessFile = nullptr;
  if (hModule_ != platform::ModuleHandle::Invalid) run_.machine.Libraries().FreeLibrary(hModule_);
  hModule_ = platform::ModuleHandle::Invalid;
}

}  // namespace tarvium
