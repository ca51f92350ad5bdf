#include "script/script_engine.h"

#include "engine/setup_run.h"
#include "script/function_assignment.h"

namespace tarvium {

void AttachScriptEngine(SetupRun& run) {
  run.script.evaluateAssignment = EvaluateFunctionAssignment;
}

}  // namespace tarvium
