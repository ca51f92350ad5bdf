// The engine's files on the real Windows: every operation calls the system's ANSI file function
// of the same name and returns the error Windows gives. The opaque handles of the interface are
// numbers from 1 into a table of the open file handles and of the enumerations in progress; an
// enumeration reads its directory at FindFirstFile and hands the entries out in the interface's
// order (".", "..", then by upper-case name), whatever order the volume keeps them in.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace platform::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  Win32FileSystem() = default;
  ~Win32FileSystem() override;
  Win32FileSystem(const Win32FileSystem&) = delete;
  Win32FileSystem& operator=(const Win32FileSystem&) = delete;

  uint32_t ReadWholeFile(const std::string& path, std::string& bytes) override;

  uint32_t CreateFile(const std::string& path, uint32_t dwDesiredAccess,
                      uint32_t dwCreationDisposition, uint32_t dwAttributes,
                      FileHandle& hFile) override;
  uint32_t ReadFile(FileHandle hFile, void* pBuffer, uint32_t nToRead, uint32_t& nRead) override;
  uint32_t WriteFile(FileHandle hFile, const void* pBuffer, uint32_t nToWrite,
                     uint32_t& nWritten) override;
  uint32_t SetFilePointerEx(FileHandle hFile, int64_t nDistance, uint32_t dwMoveMethod,
                            uint64_t* pNewPosition) override;
  uint32_t SetEndOfFile(FileHandle hFile) override;
  uint32_t GetFileSizeEx(FileHandle hFile, uint64_t& nSize) override;
  uint32_t GetFileTime(FileHandle hFile, FileTimes& times) override;
  uint32_t GetFileInformationByHandle(FileHandle hFile, FileInfo& info) override;
  uint32_t SetFileTime(FileHandle hFile, const FileTimes& times) override;
  uint32_t CloseHandle(FileHandle hFile) override;

  uint32_t GetFileAttributes(const std::string& path, uint32_t& dwAttributes) override;
  uint32_t SetFileAttributes(const std::string& path, uint32_t dwAttributes) override;
  uint32_t GetFileAttributesEx(const std::string& path, FileInfo& info) override;
  uint32_t SetFileTimes(const std::string& path, const FileTimes& times) override;
  uint32_t DeleteFile(const std::string& path) override;
  uint32_t CopyFile(const std::string& existingPath, const std::string& newPath,
                    bool bFailIfExists) override;
  uint32_t MoveFileEx(const std::string& existingPath, const std::string& newPath,
                      uint32_t dwFlags) override;
  uint32_t CreateDirectory(const std::string& path) override;
  uint32_t CreateDirectoryTree(const std::string& path) override;
  uint32_t RemoveDirectory(const std::string& path) override;

  uint32_t FindFirstFile(const std::string& pattern, FindHandle& hFind, FindData& data) override;
  uint32_t FindNextFile(FindHandle hFind, FindData& data) override;
  uint32_t FindClose(FindHandle hFind) override;
  uint32_t IsDirectoryEmpty(const std::string& path, bool& bEmpty) override;

  uint32_t GetCurrentDirectory(std::string& path) override;
  uint32_t SetCurrentDirectory(const std::string& path) override;
  uint32_t GetFullPathName(const std::string& path, std::string& fullPath) override;
  uint32_t GetTempPath(std::string& path) override;
  uint32_t GetTempFileName(const std::string& dir, const std::string& prefix, uint32_t nUnique,
                           std::string& path) override;
  uint32_t GetShortPathName(const std::string& path, std::string& shortPath) override;
  uint32_t GetLongPathName(const std::string& path, std::string& longPath) override;
  uint32_t GetDiskFreeSpaceEx(const std::string& path, DiskSpace& space) override;

  uint32_t GetFileVersionInfo(const std::string& path, std::vector<uint8_t>& block) override;

 private:
  // An enumeration: its directory's matching entries in the interface's order.
  struct Search {
    std::vector<FindData> entries;
    size_t nNext = 0;
  };

  // The system handle behind a number, or null when the number names no open file.
  void* SystemHandleOf(FileHandle hFile) const;
  // Why the system found no version in a file, in the interface's terms.
  uint32_t WhyNoVersionInfo(const std::string& fullPath);

  std::map<uint32_t, void*> openFiles_;  // the system's HANDLE of each open file
  std::map<uint32_t, Search> searches_;
  uint32_t nLastHandle_ = 0;  // files and enumerations share the numbers
};

}  // namespace platform::win32
