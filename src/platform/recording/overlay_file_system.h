// The files of a wrapped machine as a recorded run sees them: every change is kept in an overlay
// (OverlayEntries) and written to the change log instead of being made, and every question is
// answered from the overlay first and from the wrapped file system otherwise, so that the run
// finds its own copies, directories and deletions as a real run would. Files the run opens for
// writing live in memory; a file copied from the wrapped machine stays a reference to it until
// the run writes into it. Handles and enumerations are this class's own numbers: a read-only
// handle of an unchanged file is the wrapped machine's handle behind one of them.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/recording/machine_change.h"
#include "platform/recording/overlay_entries.h"

namespace platform {

class OverlayFileSystem final : public FileSystem {
 public:
  OverlayFileSystem(FileSystem& wrapped, Clock& clock, ChangeLog& changes);
  ~OverlayFileSystem() override;

  uint32_t ReadWholeFile(const std::string& path, std::string& bytes) override;

  uint32_t CreateFile(const std::string& path, uint32_t dwDesiredAccess,
                      uint32_t dwCreationDisposition, uint32_t dwAttributes,
                      FileHandle& hFile) override;
  uint32_t OpenForReading(const std::string& path, FileHandle& hFile, FileInfo& info) override;
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
  // The wrapped machine's file whose content a path has: the path itself while the run has not
  // changed it, the file a copy was made from; empty for a file the run wrote or a missing one.
  std::string WrappedContentOf(const std::string& path);

  uint32_t GetTempPath(std::string& path) override { return m_wrapped.GetTempPath(path); }
  uint32_t GetTempFileName(const std::string& dir, const std::string& prefix, uint32_t nUnique,
                           std::string& path) override;
  uint32_t GetShortPathName(const std::string& path, std::string& shortPath) override;
  uint32_t GetLongPathName(const std::string& path, std::string& longPath) override;
  uint32_t GetDiskFreeSpaceEx(const std::string& path, DiskSpace& space) override;
  uint32_t GetFileVersionInfo(const std::string& path, std::vector<uint8_t>& block) override;

 private:
  // What a path names once the overlay is laid over the wrapped machine.
  struct Presence {
    std::string fullPath;
    std::string key;
    OverlayEntry* pEntry = nullptr;  // the overlay's entry, when the run changed the path
    bool bExists = false;
    FileInfo info;
    bool IsDirectory() const { return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    uint64_t FileSize() const { return bExists && !IsDirectory() ? info.nFileSize : 0; }
  };
  struct OpenFile {
    FileHandle hWrapped = FileHandle::Invalid;  // a read-only handle of an unchanged file
    std::string key;                            // else the overlay file it works on
    uint64_t nPosition = 0;
    bool bWrite = false;
    bool bTimesFixed = false;  // SetFileTime was called: writing keeps the times
    size_t nChange = 0;        // the FileWritten change a writing handle completes when closed
    FileHandle hSource = FileHandle::Invalid;  // the copied file a reference is read from
  };
  struct Listing {
    std::vector<FindData> entries;
    size_t nNext = 0;
  };

  // Fills `presence` for the path; an error only when the wrapped machine cannot tell.
  uint32_t Locate(const std::string& path, Presence& presence);
  // The error for a missing path: ERROR_PATH_NOT_FOUND when its directory is missing too.
  uint32_t MissingError(const Presence& presence);
  // ERROR_SUCCESS when the directory that would hold the path exists.
  uint32_t CheckParent(const Presence& presence);
  // The overlay's entry for an existing path, made from the wrapped machine's when there is none.
  OverlayEntry& EntryFor(Presence& presence);
  OverlayEntry& PutFile(Presence& target, OverlayContent content, const FileInfo& info);
  OverlayEntry& PutDirectory(const Presence& target);
  void PutDeleted(const Presence& presence);
  // Replaces a reference by the bytes it names, and shared bytes by a copy of their own.
  uint32_t OwnBytes(OverlayEntry& entry);
  uint32_t ReadContent(OpenFile& open, OverlayEntry& entry, void* pBuffer, uint32_t nToRead,
                       uint32_t& nRead);
  OpenFile* FindOpen(FileHandle hFile);
  OverlayEntry* EntryOf(const OpenFile& open);
  FileHandle NewHandle(OpenFile open);
  uint32_t CreateOverlayFile(Presence& target, uint32_t dwDesiredAccess,
                             uint32_t dwCreationDisposition, uint32_t dwAttributes,
                             FileHandle& hFile);
  uint32_t CheckWritable(const Presence& presence);
  uint32_t CheckNotInUse(const Presence& presence);
  // dir\ + up to three characters of prefix + the number in hex + ".tmp".
  static std::string TempFileNameIn(const Presence& folder, const std::string& prefix,
                                    uint32_t nNumber);
  // The open file and its entry for a handle that may write.
  uint32_t WritableEntry(FileHandle hFile, OpenFile*& pOpen, OverlayEntry*& pEntry);
  using PathForm = uint32_t (FileSystem::*)(const std::string&, std::string&);
  // The short or long form: the wrapped machine's, or the path itself for an overlay entry.
  uint32_t OtherPathForm(const std::string& path, std::string& form, PathForm askWrapped);
  uint32_t MoveDirectory(Presence& from, Presence& to);
  void MoveEntry(Presence& from, Presence& to);
  uint32_t ListDirectory(const Presence& dir, const std::string& namePattern,
                         std::vector<FindData>& entries);
  void MergeOverlayChildren(const std::string& dirKey, const std::string& namePattern,
                            std::vector<FindData>& entries);
  uint32_t WrappedListing(const std::string& pattern, std::vector<FindData>& entries);
  uint64_t Now() { return m_clock.GetSystemTimeAsFileTime(); }

  FileSystem& m_wrapped;
  Clock& m_clock;
  ChangeLog& m_changes;
  OverlayEntries m_entries;
  std::unordered_map<uint32_t, OpenFile> m_open;
  std::unordered_map<uint32_t, Listing> m_listings;
  uint32_t m_nLastHandle = 0;
  // The current directory when the run changed to a directory only the overlay holds.
  std::string m_currentDirectory;
};

}  // namespace platform
