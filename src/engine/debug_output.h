// DebugOutput: one diagnostic line for the debugger output (OutputDebugStringA on Windows). Until
// the setup log owns the trace, the line is only kept on the run, where tests read it back.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

void DebugOutput(SetupRun& run, const std::string& line);

}  // namespace tarvium
