// Starting one host process image. posix_spawn rather than fork: the engine may hold threads and
// much memory, and the exec error comes back as the call's result. The child starts in its own
// process group (so that a time-out kills everything it started), with default signal handling,
// no blocked signals and no descriptor of ours beyond standard input, output and error. A detached
// child (a service's process) gets a session of its own and /dev/null for those three, so that it
// holds no terminal or pipe of the engine's and outlives the engine unnoticed.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct SpawnRequest {
  std::vector<std::string> argv;  // argv[0] is the host path executed
  std::vector<std::string> environment;
  std::string directory;  // host path
  bool bDetached = false;
};

uint32_t SpawnProcess(const SpawnRequest& request, pid_t& pid);

}  // namespace platform
