// Whether a running host process holds a file the way that makes Windows refuse to change it:
// it runs the file or has it mapped (an executable or a loaded library, seen in /proc/*/maps),
// or it holds a lock on it (flock, POSIX or open-file-description locks, seen in /proc/locks).
// That lets the emulated machine answer ERROR_SHARING_VIOLATION for real processes, so that the
// engine's in-use rules (deferred replacement at the next restart) can be exercised for real.
#pragma once
#include <cstdint>

namespace platform::emulated {

// nDevice and nInode are the file's st_dev and st_ino. Processes whose maps this process may not
// read (other users, without privileges) are not seen. A check reads /proc/locks and the maps of
// every process: about a millisecond with a hundred processes.
bool IsFileInUseOnHost(uint64_t nDevice, uint64_t nInode);

}  // namespace platform::emulated
