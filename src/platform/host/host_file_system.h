// A thin FileSystem over the host's own files, for tools that read media before a machine is
// chosen: drive Z: is the host's root and a relative path is relative to the host's current
// directory. The emulated machine's FileSystem is the one runs use.
#pragma once
#include "platform/file_system.h"

namespace platform {

class HostFileSystem : public FileSystem {
 public:
  uint32_t ReadWholeFile(const std::string& path, std::string& bytes) override;
};

// Maps a Windows path to the host path HostFileSystem uses ("Z:\a\b" is "/a/b").
std::string HostPathOf(const std::string& windowsPath);

}  // namespace platform
