// Where the running program lies on the host, for a program that must name itself on the machine
// (the setup engine's path in WIN.INI's [Reboot] section and in the registration it writes), and
// the host directory it was started in, which becomes its current directory on the machine.
#pragma once
#include <string>

namespace platform {

// The host path of the running executable; empty when the host cannot tell.
std::string RunningProgramHostPath();
// The host's current directory of this process; empty when the host cannot tell.
std::string HostCurrentDirectory();

}  // namespace platform
