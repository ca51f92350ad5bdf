#include "engine/evaluate_assignment.h"

#include "engine/setup_run.h"

namespace tarvium {

bool EvaluateAssignment(SetupRun& run, std::string& line) {
  return !run.script.evaluateAssignment || run.script.evaluateAssignment(run, line);
}

}  // namespace tarvium
