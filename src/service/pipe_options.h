// The options exchange with the setup service (PipeGetOptions): "[options]", the sizes the
// service asks for, and the final reply that names the options to select. It stands in for the
// options page, so it is repeated on Cancel until message 5509 is answered Yes.
#pragma once

namespace tarvium {

struct SetupRun;
class ServicePipe;

// The page result: the answer word's result, 2 after a failure or a confirmed Cancel.
int PipeGetOptions(SetupRun& run, ServicePipe& pipe);

}  // namespace tarvium
