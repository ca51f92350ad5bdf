#include "engine/evaluate_assignment.h"

#include "engine/setup_run.h"

namespace tarvium {

bool EvaluateAssignment(SetupRun& run, std::string& value) {
  return !run.script.evaluateAssignment || run.script.evaluateAssignment(run, value);
}

}  // namespace tarvium
