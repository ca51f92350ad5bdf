// The state behind EmulatedFileSystem's handles, shared by the files that implement it.
#pragma once
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/emulated/files/emulated_file_system.h"

namespace platform::emulated {

// The attributes that are stored; DIRECTORY and NORMAL are derived from the host.
inline constexpr uint32_t kStoredAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct EmulatedFileSystem::OpenFile {
  int fd = -1;
  bool bCanRead = false;
  bool bCanWrite = false;
  std::string hostPath;
  uint64_t nDevice = 0;
  uint64_t nInode = 0;
  // Access and write times set through the handle; they are put back after every write so that
  // they stay as set, as on Windows. UTIME_OMIT where none was set.
  bool bTimesFixed = false;
  timespec fixedTimes[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
};

struct EmulatedFileSystem::Search {
  std::vector<FindData> entries;
  size_t nNext = 0;
};

}  // namespace platform::emulated
