// Diagnostic lines of the engine: what Windows' OutputDebugString shows a listening debugger.
// Each line goes to the machine's debugger output and is also kept on the run (debugLines), where
// tests and the /Debug protocol read it back; the run keeps the latest 10,000 to 20,000 lines, or
// none when it says so (Setup.exe, where nothing reads them back).
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

void DebugOutput(SetupRun& run, const std::string& line);
// The same, keeping the line itself on the run instead of a copy.
void DebugOutput(SetupRun& run, std::string&& line);

}  // namespace tarvium
