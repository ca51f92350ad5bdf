// InitVariables: fills the predefined table once at the start of a run from the machine: its
// directories and shell folders, operating-system data, names and accounts, date and time.
#pragma once

namespace tarvium {

struct SetupRun;

// Returns success; the platform services answer every question, so it cannot fail here.
bool InitVariables(SetupRun& run);

}  // namespace tarvium
