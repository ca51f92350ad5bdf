#include "engine/debug_output.h"

#include <utility>

#include "engine/setup_run.h"

namespace tarvium {

namespace {

// The lines kept on the run: the latest ones. A long run (a copy traces each block) would
// otherwise hold every line it ever wrote; the debugger output has them all.
constexpr size_t kKeptLines = 20000;

}  // namespace

void DebugOutput(SetupRun& run, const std::string& line) {
  DebugOutput(run, std::string(line));
}

void DebugOutput(SetupRun& run, std::string&& line) {
  if (run.debugLines.size() >= kKeptLines)
    run.debugLines.erase(run.debugLines.begin(), run.debugLines.begin() + kKeptLines / 2);
  run.machine.Debugger().OutputDebugString(line);
  if (run.bKeepDebugLines) run.debugLines.push_back(std::move(line));
}

}  // namespace tarvium
