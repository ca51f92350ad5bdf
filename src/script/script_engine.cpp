#include "script/script_engine.h"

#include "engine/setup_run.h"
#include "script/show_catalog_message.h"

namespace tarvium {

void AttachScriptEngine(SetupRun& run) {
  run.script.showMessage = ShowCatalogMessage;
}

}  // namespace tarvium
