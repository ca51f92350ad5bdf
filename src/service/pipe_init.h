// The opening of the exchange with the setup service (PipeInit): "init" with the setup
// information file and the silent level, then the answers to the service's questions about the
// run ("resolve" a text with variables, "getsize" of an option) until it sends "endinit".
#pragma once

namespace tarvium {

struct SetupRun;
class ServicePipe;

// True when the service ended the opening with "endinit"; a transport failure, an unknown
// request or a request without its argument fail it.
bool PipeInit(SetupRun& run, ServicePipe& pipe);

}  // namespace tarvium
