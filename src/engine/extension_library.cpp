// The setup extension library. Loading and the hook block come with the extension work; until a
// library is loaded every event is answered with 1, as for a product without one.
#include "engine/extension_library.h"

#include "engine/setup_run.h"

namespace tarvium {

bool LoadSetupExtension(SetupRun& run) {
  return run.ctx.szSetupExtDll.empty();
}

int CallSetupHook(SetupRun&, uint32_t, const std::string&, const std::string&, const std::string&) {
  return 1;
}

void UnloadSetupExtension(SetupRun&) {}

}  // namespace tarvium
