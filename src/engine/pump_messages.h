// The step long operations take between their parts (archive entries, waits): the window messages
// are dispatched through the run's user interface so the windows stay alive, and a Cancel the
// user pressed there becomes the run's abort flag, which the next part tests.
#pragma once

namespace tarvium {

struct SetupRun;

// Pumps through run.ui (nothing to do without one); sets ctx.bAborted when the user cancelled.
// Returns false when the run is aborted.
bool PumpWindowMessages(SetupRun& run);

}  // namespace tarvium
