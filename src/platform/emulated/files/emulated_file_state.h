// The state behind EmulatedFileSystem's handles, shared by the files that implement it.
#pragma once
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/emulated/files/emulated_file_system.h"
#include "platform/emulated/files/held_write_time.h"

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
  // Times set through the handle, which stay as set across its later writes, as on Windows.
  HandleTimes times;
};

struct EmulatedFileSystem::Search {
  std::vector<FindData> entries;
  size_t nNext = 0;
};

}  // namespace platform::emulated
