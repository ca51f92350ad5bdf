// The machine side of machine_module_api.h: the function table bound to one machine's registry,
// which EmulatedModules hands to every module that asks for it. It translates the table's C
// arguments (HKEY_ values, null names) into Registry calls and nothing more, so a module sees
// exactly the registry rules the engine sees.
#pragma once
#include "platform/emulated/com/machine_module_api.h"
#include "platform/registry.h"

namespace platform::emulated {

class MachineModuleBinding {
 public:
  explicit MachineModuleBinding(Registry& registry);
  MachineModuleBinding(const MachineModuleBinding&) = delete;
  MachineModuleBinding& operator=(const MachineModuleBinding&) = delete;

  const MachineModuleApi& Api() const { return api_; }

 private:
  MachineModuleApi api_{};
};

}  // namespace platform::emulated
