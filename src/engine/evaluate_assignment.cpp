#include "engine/evaluate_assignment.h"

namespace tarvium {

bool EvaluateAssignment(SetupRun&, std::string&) {
  return true;
}

}  // namespace tarvium
