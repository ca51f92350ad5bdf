// Diagnostic lines of the engine (what Windows would see through OutputDebugString). Until the
// trace log owns them they are kept on the run, where tests and the trace file can read them.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

void DebugOutput(SetupRun& run, const std::string& line);

}  // namespace tarvium
