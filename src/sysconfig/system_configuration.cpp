#include "sysconfig/system_configuration.h"

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "sysconfig/shortcuts.h"

namespace tarvium {

void AttachSystemConfiguration(SetupRun& run) {
  // Each handler of this subsystem registers itself here.
  (void)EngineOf(run);
  AttachShortcuts(run);
}

}  // namespace tarvium
