#include "engine/debug_output.h"

#include "engine/setup_run.h"

namespace tarvium {

void DebugOutput(SetupRun& run, const std::string& line) {
  run.debugLines.push_back(line);
  run.machine.Debugger().OutputDebugString(line);
}

}  // namespace tarvium
