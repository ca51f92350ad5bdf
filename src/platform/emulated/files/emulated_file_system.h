// The FileSystem of the emulated Windows machine: Windows paths of the machine's drives and shares
// (machine.ini) over host directories, with the rules engine code relies on: case-insensitive
// names, read-only drives, DOS attributes and creation times (FileMetadataStore), files in use
// by running host processes (ERROR_SHARING_VIOLATION), deferred renames in the registry, and
// GetTempFileName's names.
//
// Construct it from a machine directory and its loaded MachineConfig; give it the machine's
// Registry so that MoveFileEx can record MOVEFILE_DELAY_UNTIL_REBOOT operations (without one they
// fail with ERROR_NOT_SUPPORTED). The current directory starts at the root of C: (or the first
// drive). One instance serves one thread, as the engine has only one.
//
// The implementation is split by kind of operation: emulated_file_system.cpp (paths,
// attributes, times, temporary names, free space), emulated_file_io.cpp (handles and copying),
// emulated_file_ops.cpp (delete, move, directories) and emulated_find.cpp (enumeration); times
// set through a handle are kept across its writes by held_write_time.h.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/emulated/files/file_metadata.h"
#include "platform/emulated/files/path_resolver.h"
#include "platform/emulated/files/win_path.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace platform::emulated {

class EmulatedFileSystem : public FileSystem {
 public:
  EmulatedFileSystem(const std::string& machineDir, const MachineConfig& config,
                     Registry& registry);
  EmulatedFileSystem(const std::string& machineDir, const MachineConfig& config);
  ~EmulatedFileSystem() override;
  EmulatedFileSystem(const EmulatedFileSystem&) = delete;
  EmulatedFileSystem& operator=(const EmulatedFileSystem&) = delete;

  uint32_t ReadWholeFile(const std::string& path, std::string& bytes) override;

  uint32_t CreateFile(const std::string& path, uint32_t dwDesiredAccess,
                      uint32_t dwCreationDisposition, uint32_t dwAttributes,
                      FileHandle& hFile) override;
  uint32_t OpenForReading(const std::string& path, FileHandle& hFile, FileInfo& info) override;
  uint32_t ReadFile(FileHandle hFile, void* pBuffer, uint32_t nToRead, uint32_t& nRead) override;
  uint32_t ReadFileAt(FileHandle hFile, uint64_t nOffset, void* pBuffer, uint32_t nToRead,
                      uint32_t& nRead) override;
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
  uint32_t CopyFileRange(FileHandle hFrom, FileHandle hTo, uint32_t nToCopy,
                         uint32_t& nCopied) override;

  // Answered from the host's stat alone: the attribute table is not read.
  uint32_t GetEntryKind(const std::string& path, bool& bDirectory) override;
  uint32_t GetFileSizeAndTimes(const std::string& path, FileInfo& info) override;
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

  // --- For the other emulated services and the machine tool; not part of FileSystem ---------
  // The host path of a Windows path (relative paths against the current directory). Names that
  // exist are spelled as on the host, missing ones as given. Fails only for a malformed path or
  // a drive or share the machine does not have.
  uint32_t GetHostPath(const std::string& windowsPath, std::string& hostPath);
  // The same for a path that a host library is going to write below: ERROR_ACCESS_DENIED when
  // the drive or share is read-only.
  uint32_t GetWritableHostPath(const std::string& windowsPath, std::string& hostPath);
  // The Windows path of a host path ("/srv/x" is "Z:\srv\x"; a relative host path is taken from
  // the host's current directory). False when no drive or share holds it.
  bool GetWindowsPath(const std::string& hostPath, std::string& windowsPath) const;
  // Writes the attributes and creation times kept in memory (see FileMetadataStore), so that
  // another process started now sees them and a kill no longer loses them.
  uint32_t FlushMetadata() override { return m_metadata.Flush(); }

#ifdef TARVIUM_FAULT_SEAM
  // Test-only faults: the nFailingWrite-th WriteFile from now fails with ERROR_WRITE_FAULT
  // (0: none); with bDiskFull every write fails with ERROR_DISK_FULL and drives report no free
  // space; the process kills itself (SIGKILL) right after the host took the bytes of the
  // nKillingWrite-th write, as a run killed part-way through a copy, or right before the host
  // takes the bytes of the nKillingBeforeWrite-th. Writes inside CopyFile and each CopyFileRange
  // count.
  struct FaultPlan {
    uint32_t nFailingWrite = 0;
    bool bDiskFull = false;
    uint32_t nKillingWrite = 0;
    uint32_t nKillingBeforeWrite = 0;
  };
  void SetFaultPlan(const FaultPlan& plan);
#endif

 private:
  struct OpenFile;
  struct Search;

  // Paths
  uint32_t Resolve(const std::string& text, WinPath& path, ResolvedPath& resolved,
                   bool bWildcards = false);
  // bExactNameMissing: see PathResolver::Resolve.
  uint32_t ResolveExisting(const std::string& text, WinPath& path, ResolvedPath& resolved,
                           bool bExactNameMissing = false);
  // The same for callers that need only the host side: a file of a cached folder is found
  // without parsing its path.
  uint32_t ResolveExisting(const std::string& text, ResolvedPath& resolved);
  static uint32_t MissingError(const ResolvedPath& resolved);
  static uint32_t CheckWritableDrive(const ResolvedPath& resolved);
  void ForgetPath(const WinPath& path);

  // Attributes and times
  // ftBirthTime: the host's birth time when the caller has it (0: looked up when needed).
  StoredMetadata MetadataOf(const std::string& hostPath, const struct stat& st,
                            uint64_t ftBirthTime = 0);
  uint32_t AttributesOf(const std::string& hostPath, const struct stat& st);
  FileInfo InfoOf(const std::string& hostPath, const struct stat& st, uint64_t ftBirthTime = 0);
  // pStat: the file's stat when the caller has it, spared a look of its own.
  uint32_t StoreMetadata(const std::string& hostPath, const StoredMetadata& meta,
                         const struct stat* pStat = nullptr);

  // In use: a host process runs, maps or locks the file, or this file system has it open.
  bool IsInUse(const std::string& hostPath, const struct stat& st) const;
  bool HasOpenHere(const struct stat& st) const;
  // The checks before a file's contents or name are replaced or it is deleted.
  uint32_t CheckReplaceable(const ResolvedPath& resolved);

  // Handles
  OpenFile* FindOpenFile(FileHandle hFile);
  // pOffset: where to read, the file pointer staying; null: at the file pointer, moving it.
  uint32_t ReadOpenFile(FileHandle hFile, const uint64_t* pOffset, void* pBuffer, uint32_t nToRead,
                        uint32_t& nRead);
  uint32_t OpenHostFile(const ResolvedPath& resolved, uint32_t dwDisposition, bool bCanRead,
                        bool bCanWrite, uint32_t dwAttributes, FileHandle& hFile);
  // CreateFile; *pOpened receives what the file was when it was opened, when the route taken
  // looked (otherwise the caller asks the handle).
  uint32_t CreateFileAt(const std::string& path, uint32_t dwDesiredAccess,
                        uint32_t dwCreationDisposition, uint32_t dwAttributes, FileHandle& hFile,
                        std::optional<HostEntry>* pOpened);
  // What CreateFile was asked for.
  struct OpenRequest {
    bool bCanRead = false;
    bool bCanWrite = false;
    uint32_t dwDisposition = 0;
    uint32_t dwAttributes = 0;
  };
  // CreateFile's general way: the path resolved, the disposition checked, the host file opened.
  uint32_t OpenResolved(const WinPath& winPath, const OpenRequest& request, FileHandle& hFile);
  // The same from the resolution of a path with at least one name.
  uint32_t OpenAt(const ResolvedPath& resolved, bool bTrailingSeparator, const OpenRequest& request,
                  FileHandle& hFile);
  // Opens an existing file for reading where the cache says it likely is (no directory), with
  // what it was when opened; false when it is not there, and the caller resolves the path the
  // general way.
  bool OpenCachedForReading(const std::string& hostPath, FileHandle& hFile,
                            std::optional<HostEntry>& opened);
  FileHandle AddOpenFile(int fd, const std::string& hostPath, const struct stat& st, bool bCanRead,
                         bool bCanWrite);
  uint32_t WriteFaultInjected();
  // After a write's bytes reached the host: the process dies there when the plan says so.
  void KillFaultInjected() const;
  uint32_t CopyData(FileHandle hFrom, FileHandle hTo);

  // Operations shared by several entry points
  uint32_t CreateDirectoryAt(const WinPath& path);
  uint32_t MoveAcrossDrives(const std::string& existingPath, const std::string& newPath,
                            const ResolvedPath& source, uint32_t dwFlags);
  uint32_t DeferMove(const std::string& existingPath, const std::string& newPath, uint32_t dwFlags);
  std::vector<FindData> ListDirectory(const WinPath& dir, const ResolvedPath& resolved,
                                      const std::string& pattern);

  std::string m_machineDir;
  MachineConfig m_config;
  Registry* m_pRegistry = nullptr;
  PathResolver m_resolver;
  FileMetadataStore m_metadata;
  CurrentDirectories m_dirs;
  ResolvedPath m_query;  // the last query's resolution, kept for the room of its host path
  std::unordered_map<uint32_t, std::unique_ptr<OpenFile>> m_openFiles;
  std::unordered_map<uint32_t, std::unique_ptr<Search>> m_searches;
  uint32_t m_nLastHandle = 0;
#ifdef TARVIUM_FAULT_SEAM
  FaultPlan m_faults;
  uint32_t m_nWritesSincePlan = 0;
#endif
};

}  // namespace platform::emulated
