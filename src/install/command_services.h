// The installation engine's services to the script commands (CommandHooks): Copy goes through the
// copy procedure, deletes and renames through the shared-file removal (which defers a file in
// use), Extract through the cabinet reader, AddMeter through the progress meter.
#pragma once

namespace tarvium {

struct SetupRun;

void AttachCommandServices(SetupRun& run);

}  // namespace tarvium
