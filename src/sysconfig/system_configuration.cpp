#include "sysconfig/system_configuration.h"

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "sysconfig/reg_lines.h"
#include "sysconfig/update_counter.h"

namespace tarvium {

void AttachSystemConfiguration(SetupRun& run) {
  RegisterSectionHandler(run, SectionKind::Registry, [](SetupRun& r, const HandlerCall& call) {
    return HandleRegSection(r, call.section, call.dwSectionFlags);
  });
  run.commands.updateCounter = UpdateCounter;
}

}  // namespace tarvium
