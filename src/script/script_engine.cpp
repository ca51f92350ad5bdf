#include "script/script_engine.h"

#include "engine/setup_run.h"

namespace tarvium {

void AttachScriptEngine(SetupRun& run) {
  (void)run;
}

}  // namespace tarvium
