// InitVariables: fills the predefined table once at the start of a run from the machine: its
// directories and shell folders, operating-system data, names and accounts, date and time.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Returns success; the platform services answer every question, so it cannot fail here.
bool InitVariables(SetupRun& run);

// PrintProcessorDir and PrinterDriverDir as the spooler names them for a print server and
// environment (empty: this machine, its own environment); a spooler that cannot answer leaves
// them as they are.
void SetPrintDirectories(SetupRun& run, const std::string& server, const std::string& environment);

}  // namespace tarvium
