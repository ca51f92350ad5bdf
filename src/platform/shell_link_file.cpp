// Link files on the machine: the format's reader and writer over the machine's file system, so the
// launcher, the shortcut handlers, the Program Manager and winmachine read and save links alike.
#include "platform/file_system.h"
#include "platform/shell_link.h"
#include "platform/win_error.h"

namespace platform {

uint32_t ReadShellLinkFile(FileSystem& files, const std::string& path, ShellLink& link) {
  std::string bytes;
  if (const uint32_t err = files.ReadWholeFile(path, bytes)) return err;
  const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return ReadShellLink(data, link) ? ERROR_SUCCESS : ERROR_BAD_FORMAT;
}

uint32_t SaveShellLink(FileSystem& files, const ShellLinkProperties& properties) {
  ShellLinkProperties link = properties;
  FileInfo target;
  if (files.GetFileAttributesEx(link.path, target) == ERROR_SUCCESS) {
    link.dwFileAttributes = target.dwFileAttributes;
    link.nFileSize = target.nFileSize;
    link.ftCreation = target.times.ftCreationTime;
    link.ftAccess = target.times.ftLastAccessTime;
    link.ftWrite = target.times.ftLastWriteTime;
  }
  const std::vector<uint8_t> bytes = WriteShellLink(link);
  return files.WriteWholeFile(properties.linkPath, std::string(bytes.begin(), bytes.end()));
}

}  // namespace platform
