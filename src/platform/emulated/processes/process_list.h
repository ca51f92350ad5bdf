// The host's running processes under Windows-like module names, for enumeration by name. The
// module name of a host process is the file name of what was executed:
//   - the basename of /proc/PID/exe when the kernel's process name (comm, at most 15 characters)
//     is its beginning: a program run directly ("sleep");
//   - otherwise the basename (after '/' or '\') of the first argument that begins with comm: a
//     script run through its interpreter is named after the script, a program under Wine after
//     its Windows file ("notepad.exe"), a program started through a symbolic link after the link;
//   - otherwise comm itself (processes of other users, whose exe the host does not show).
// Kernel threads and ended processes (no command line) are not listed. A process just started
// shows its program's name once the host has loaded the program, a moment after the start.
#pragma once
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/processes.h"

namespace platform {

// Every listed process; names in ANSI.
void ListHostProcesses(std::vector<ProcessEntry>& entries);

// The module name of one process; false when it is not running or not listed.
bool ModuleNameOfProcess(pid_t pid, std::string& moduleName);

// The id of the process that started this one (the machine tool announces windows for it).
uint32_t ParentProcessId();

}  // namespace platform
