// The setup service as a run sees it (SetupService) over the pipe client: one object per run that
// owns the pipe and its exchange buffer and routes each of the engine's questions to the
// functions of this subsystem. Setup.exe attaches it; tests attach it to their own runs.
#pragma once

namespace tarvium {

struct SetupRun;

void AttachServicePipe(SetupRun& run);

}  // namespace tarvium
