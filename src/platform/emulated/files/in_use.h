// Whether a running host process holds a file the way that makes Windows refuse to change it:
// it runs the file or has it mapped (an executable or a loaded library, seen in /proc/*/maps),
// or it holds a lock on it (flock, POSIX or open-file-description locks, seen in /proc/locks).
// That lets the emulated machine answer ERROR_SHARING_VIOLATION for real processes, so that the
// engine's in-use rules (deferred replacement at the next restart) can be exercised for real.
#pragma once
#include <cstdint>
#include <string>

namespace platform::emulated {

// hostPath names the file, nDevice and nInode are its st_dev and st_ino. First the file is asked
// for a write lease, which the kernel grants only when no other open file (a running program, a
// mapping, a descriptor that a lock hangs on) refers to it: then it is not in use, at the cost of
// an open. Otherwise /proc/locks and the maps of every process are read (about a millisecond with
// a hundred processes), as an open file alone is no use; processes whose maps this process may
// not read (other users, without privileges) are not seen.
bool IsFileInUseOnHost(const std::string& hostPath, uint64_t nDevice, uint64_t nInode);

}  // namespace platform::emulated
