// In-use detection: a write lease for the common case of a file nobody holds, else /proc. Both
// files name a file by device and inode in the kernel's text form ("fd:01 1311234" in maps,
// "fd:01:1311234" in locks), so each check builds that text once and searches for it; only the
// numeric /proc entries (processes) are read.
#include "platform/emulated/files/in_use.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace platform::emulated {
namespace {

std::string ReadProcFile(const std::string& path) {
  std::string text;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;  // end, or a process that went away while we read
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return text;
}

bool IsProcessName(const char* name) {
  if (*name == '\0') return false;
  for (; *name; ++name)
    if (*name < '0' || *name > '9') return false;
  return true;
}

// True when some line of a maps text has the device and inode (" fd:01 1311234 ").
bool MapsName(const std::string& maps, const std::string& needle) {
  for (size_t nPos = maps.find(needle); nPos != std::string::npos;
       nPos = maps.find(needle, nPos + 1)) {
    const size_t nAfter = nPos + needle.size();
    if (nAfter == maps.size() || maps[nAfter] == ' ' || maps[nAfter] == '\n') return true;
  }
  return false;
}

bool IsMappedByAnyProcess(const std::string& needle) {
  DIR* proc = ::opendir("/proc");
  if (!proc) return false;
  bool bFound = false;
  while (const dirent* entry = ::readdir(proc)) {
    if (!IsProcessName(entry->d_name)) continue;
    if (MapsName(ReadProcFile(std::string("/proc/") + entry->d_name + "/maps"), needle)) {
      bFound = true;
      break;
    }
  }
  ::closedir(proc);
  return bFound;
}

bool IsLocked(const std::string& needle) {
  const std::string locks = ReadProcFile("/proc/locks");
  for (size_t nPos = locks.find(needle); nPos != std::string::npos;
       nPos = locks.find(needle, nPos + 1)) {
    const size_t nAfter = nPos + needle.size();
    if (nAfter < locks.size() && locks[nAfter] == ' ') return true;
  }
  return false;
}

// True when nothing but this check has the file open: the kernel grants a write lease only then.
// Closing the descriptor gives the lease back, without a call of its own (every delete asks).
bool IsOpenOnlyHere(const std::string& hostPath, uint64_t nDevice, uint64_t nInode) {
  int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOATIME);
  if (fd < 0 && errno == EPERM) fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  const bool bSameFile = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                         static_cast<uint64_t>(st.st_dev) == nDevice &&
                         static_cast<uint64_t>(st.st_ino) == nInode;
  const bool bLeased = bSameFile && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
  ::close(fd);
  return bLeased;
}

}  // namespace

bool IsFileInUseOnHost(const std::string& hostPath, uint64_t nDevice, uint64_t nInode) {
  if (IsOpenOnlyHere(hostPath, nDevice, nInode)) return false;
  char device[32];
  std::snprintf(device, sizeof device, "%02x:%02x", major(nDevice), minor(nDevice));
  const std::string inode = std::to_string(nInode);
  return IsLocked(std::string(" ") + device + ":" + inode) ||
         IsMappedByAnyProcess(std::string(" ") + device + " " + inode);
}

}  // namespace platform::emulated
