// A thin FileSystem over the host's own files, for tools that read media before a machine is
// chosen: drive Z: is the host's root and a relative path is relative to the host's current
// directory. The emulated machine's FileSystem is the one runs use.
#pragma once
#include <string>

#include "platform/file_system.h"

namespace platform {

class HostFileSystem : public FileSystem {
 public:
  uint32_t ReadWholeFile(const std::string& path, std::string& bytes) override;
};

// Writes the bytes over the host file at path (created when missing, keeping its permissions
// when not); the Windows error of the failure otherwise.
uint32_t WriteHostFile(const std::string& path, const std::string& bytes);

// A new empty directory in the host's temporary folder, removed with its contents when the
// object goes; Path() is empty when it could not be made.
class HostTempDirectory {
 public:
  // The directory's name starts with prefix.
  explicit HostTempDirectory(const std::string& prefix);
  ~HostTempDirectory();
  HostTempDirectory(const HostTempDirectory&) = delete;
  HostTempDirectory& operator=(const HostTempDirectory&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Maps a Windows path to the host path HostFileSystem uses ("Z:\a\b" is "/a/b").
std::string HostPathOf(const std::string& windowsPath);

}  // namespace platform
