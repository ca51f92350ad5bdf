// ResolveInfFile: fixes which setup information file the run reads, the variables that name it,
// the source directory and the current directory, and opens the /I network connection.
#pragma once

namespace tarvium {

struct SetupRun;

void ResolveInfFile(SetupRun& run);
// Removes the /I connection at the end of the run (nothing when none was made).
void CloseServerConnection(SetupRun& run);

}  // namespace tarvium
