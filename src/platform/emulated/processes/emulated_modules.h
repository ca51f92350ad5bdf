// Modules on the emulated machine: host shared objects loaded with dlopen under the Windows path
// the engine uses, trust decided by the administrator's allow-list in the machine directory (see
// module_trust_list.h), and foreign paths that are the host paths of the machine's drives. A
// module is loaded only when the list trusts it, as a machine that enforces code integrity does:
// it runs as host code, so nothing that lands on the machine's drives may run unchecked. A module
// that exports MachineAttach is handed the machine's registry (machine_module_api.h) right after
// it is loaded, since the host module cannot reach the machine through Windows' functions.
#pragma once
#include <string>

#include "platform/emulated/com/machine_module_binding.h"
#include "platform/emulated/files/emulated_file_system.h"
#include "platform/modules.h"
#include "platform/registry.h"

namespace platform {

class EmulatedModules : public Modules {
 public:
  // machineDir: the host directory of the machine, which holds trusted-modules.txt; files: the
  // machine's file system, which maps its Windows paths to host paths; registry: what modules
  // that attach to the machine write to.
  EmulatedModules(std::string machineDir, emulated::EmulatedFileSystem& files, Registry& registry);

  uint32_t LoadLibrary(const std::string& path, ModuleHandle& hModule) override;
  ProcAddress GetProcAddress(ModuleHandle hModule, const std::string& name) override;
  uint32_t FreeLibrary(ModuleHandle hModule) override;
  uint32_t VerifyTrust(const std::string& path) override;
  uint32_t GetForeignPath(const std::string& path, bool bForWriting,
                          std::string& foreignPath) override;

 private:
  std::string machineDir_;
  emulated::EmulatedFileSystem& files_;
  emulated::MachineModuleBinding binding_;
};

}  // namespace platform
