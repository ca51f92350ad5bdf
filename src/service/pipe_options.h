// The options exchange with the setup service (PipeGetOptions): "[options]", the sizes the
// service asks for, and the final reply that names the options to select. It stands in for the
// options page, so a Cancel (also a reply of the status alone, without an answer word) is asked
// again until message 5509 is answered Yes; a failed exchange (broken pipe, a reply whose status
// is no number, a non-zero status) gives Cancel at once, as a failed page does, so that a service
// that went away cannot keep the run asking.
#pragma once

namespace tarvium {

struct SetupRun;
class ServicePipe;

// The page result: the answer word's result, 2 after a failure or a confirmed Cancel.
int PipeGetOptions(SetupRun& run, ServicePipe& pipe);

}  // namespace tarvium
