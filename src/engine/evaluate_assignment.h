// A variable assignment NAME=value whose value calls an expression function
// ("Free=GetDiskFreeSpace(C:)"): the one place where variable sections, prompts and script lines
// hand such lines to the expression functions of the script engine (ScriptHooks). Without the
// script engine every line stays as written.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Rewrites the line as NAME=result, the name upper-cased, when its value calls a known function;
// a value that calls no known function stays. False, after message 5528, when the call is
// malformed (no function name, no ')'); the variable is then not set.
bool EvaluateAssignment(SetupRun& run, std::string& line);

}  // namespace tarvium
