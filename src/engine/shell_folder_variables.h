// The shell-folder variables of the current user and of all users, each fed by one special
// folder of the machine, and the few folders Windows names below the Programs menu.
#pragma once

namespace tarvium {

struct SetupRun;

void FillShellFolders(SetupRun& run);

}  // namespace tarvium
