// The value of a variable line that calls an expression function ("Free=GetDiskFreeSpace(C:)"):
// the one place where variable sections hand such values to the expression functions of the
// script engine (ScriptHooks). Without it every value stays as written.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Replaces the value by the result of its function call; false when the call fails.
bool EvaluateAssignment(SetupRun& run, std::string& value);

}  // namespace tarvium
