// EmulatedFileSystem: open files. CreateFile applies the Windows checks (disposition, read-only
// drive and attribute, hidden and system files under CREATE_ALWAYS, files in use) before the host
// sees the call, and refuses what a Windows drive cannot hold (a FIFO, a socket, a device), whose
// reading would never end or never start; a handle is a number that stands for a host descriptor.
// Copying is done through the same handles, so the fault seam and the in-use rules apply to it as
// well.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/emulated/files/emulated_file_state.h"
#include "platform/emulated/files/emulated_file_system.h"
#include "platform/emulated/files/file_times.h"
#include "platform/emulated/files/in_use.h"
#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr uint32_t kCopyBlock = 64 * 1024;

bool Truncates(const ResolvedPath& resolved, uint32_t dwDisposition) {
  return resolved.Exists() &&
         (dwDisposition == CREATE_ALWAYS || dwDisposition == TRUNCATE_EXISTING);
}

// read and write until nToCopy bytes are copied or the source ends.
uint32_t CopyThroughBuffer(int fdFrom, int fdTo, uint32_t nToCopy, uint32_t& nCopied) {
  std::vector<char> buffer(nToCopy);
  ssize_t nRead = 0;
  do {
    nRead = ::read(fdFrom, buffer.data(), nToCopy);
  } while (nRead < 0 && errno == EINTR);
  if (nRead < 0) return WinErrorFromErrno(errno);
  for (ssize_t nDone = 0; nDone < nRead;) {
    const ssize_t n = ::write(fdTo, buffer.data() + nDone, static_cast<size_t>(nRead - nDone));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return WinErrorFromErrno(errno);
    nDone += n;
  }
  nCopied = static_cast<uint32_t>(nRead);
  return ERROR_SUCCESS;
}

uint32_t OpenError(int nErrno) {
  return nErrno == EEXIST ? ERROR_FILE_EXISTS : WinErrorFromErrno(nErrno);
}

}  // namespace

EmulatedFileSystem::OpenFile* EmulatedFileSystem::FindOpenFile(FileHandle hFile) {
  const auto it = m_openFiles.find(static_cast<uint32_t>(hFile));
  return it == m_openFiles.end() ? nullptr : it->second.get();
}

bool EmulatedFileSystem::HasOpenHere(const struct stat& st) const {
  for (const auto& [nId, pFile] : m_openFiles)
    if (pFile->nDevice == st.st_dev && pFile->nInode == st.st_ino) return true;
  return false;
}

uint32_t EmulatedFileSystem::CreateFile(const std::string& path, uint32_t dwDesiredAccess,
                                        uint32_t dwCreationDisposition, uint32_t dwAttributes,
                                        FileHandle& hFile) {
  return CreateFileAt(path, dwDesiredAccess, dwCreationDisposition, dwAttributes, hFile, nullptr);
}

uint32_t EmulatedFileSystem::OpenForReading(const std::string& path, FileHandle& hFile,
                                            FileInfo& info) {
  info = FileInfo();
  std::optional<HostEntry> opened;
  if (uint32_t err = CreateFileAt(path, GENERIC_READ, OPEN_EXISTING, 0, hFile, &opened)) return err;
  if (!opened) return AskNewHandle(hFile, info);
  info = InfoOf(FindOpenFile(hFile)->hostPath, opened->st, opened->ftBirthTime);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::CreateFileAt(const std::string& path, uint32_t dwDesiredAccess,
                                          uint32_t dwCreationDisposition, uint32_t dwAttributes,
                                          FileHandle& hFile, std::optional<HostEntry>* pOpened) {
  hFile = FileHandle::Invalid;
  std::optional<HostEntry> opened;
  if (!pOpened) pOpened = &opened;
  const bool bCanRead = dwDesiredAccess & GENERIC_READ;
  const bool bCanWrite = dwDesiredAccess & GENERIC_WRITE;
  if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING ||
      (dwCreationDisposition == TRUNCATE_EXISTING && !bCanWrite))
    return ERROR_INVALID_PARAMETER;
  // A file to read is first opened where the cache says it likely is: from the path's text when
  // it is a plain full path, else from the parsed path (unless the text named that place).
  const bool bReadsExisting = dwCreationDisposition == OPEN_EXISTING && !bCanWrite;
  std::string likelyHostPath;
  const bool bTextCached =
      bReadsExisting && m_resolver.LikelyHostPathOfPlainPath(path, likelyHostPath);
  if (bTextCached && OpenCachedForReading(likelyHostPath, hFile, *pOpened)) return ERROR_SUCCESS;
  const OpenRequest request{bCanRead, bCanWrite, dwCreationDisposition, dwAttributes};
  // A file made where it was just found missing (a copy looks at its target before making it)
  // is made from that answer, without parsing its path again.
  if (!bReadsExisting) {
    ResolvedPath resolved;
    if (m_resolver.ResolveKeptMissing(path, resolved))
      return OpenAt(resolved, false, request, hFile);
  }
  WinPath winPath;
  if (uint32_t err = ParseWindowsPath(path, m_dirs, winPath)) return err;
  if (bReadsExisting && !bTextCached && !winPath.bTrailingSeparator &&
      m_resolver.LikelyHostPath(winPath, likelyHostPath) &&
      OpenCachedForReading(likelyHostPath, hFile, *pOpened))
    return ERROR_SUCCESS;
  return OpenResolved(winPath, request, hFile);
}

uint32_t EmulatedFileSystem::OpenResolved(const WinPath& winPath, const OpenRequest& request,
                                          FileHandle& hFile) {
  ResolvedPath resolved;
  if (uint32_t err = m_resolver.Resolve(winPath, resolved)) return err;
  if (winPath.parts.empty()) return ERROR_ACCESS_DENIED;
  return OpenAt(resolved, winPath.bTrailingSeparator, request, hFile);
}

uint32_t EmulatedFileSystem::OpenAt(const ResolvedPath& resolved, bool bTrailingSeparator,
                                    const OpenRequest& request, FileHandle& hFile) {
  const auto [bCanRead, bCanWrite, dwCreationDisposition, dwAttributes] = request;
  if (resolved.IsDirectory()) return ERROR_ACCESS_DENIED;
  if (resolved.Exists() && !S_ISREG(resolved.st.st_mode)) return ERROR_CANT_ACCESS_FILE;
  if (!resolved.bParentIsDirectory) return ERROR_PATH_NOT_FOUND;
  const bool bExists = resolved.Exists();
  const bool bOpensExisting =
      dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == TRUNCATE_EXISTING;
  // "name" names a directory: as a file to open it is not found when missing, and no valid
  // name of a file that exists or is to be made.
  if (bTrailingSeparator)
    return bOpensExisting && !bExists ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_NAME;
  if (dwCreationDisposition == CREATE_NEW && bExists) return ERROR_FILE_EXISTS;
  if (bOpensExisting && !bExists) return ERROR_FILE_NOT_FOUND;
  const bool bChangesExisting =
      bExists && (bCanWrite || Truncates(resolved, dwCreationDisposition));
  if (!bExists || bChangesExisting) {
    if (uint32_t err = CheckWritableDrive(resolved)) return err;
  }
  if (bChangesExisting) {
    const uint32_t dwExisting = AttributesOf(resolved.hostPath, resolved.st);
    if (dwExisting & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    const uint32_t dwMustKeep = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (dwCreationDisposition == CREATE_ALWAYS && (dwExisting & dwMustKeep & ~dwAttributes))
      return ERROR_ACCESS_DENIED;
    if (IsFileInUseOnHost(resolved.hostPath, resolved.st.st_dev, resolved.st.st_ino))
      return ERROR_SHARING_VIOLATION;
  }
  return OpenHostFile(resolved, dwCreationDisposition, bCanRead, bCanWrite, dwAttributes, hFile);
}

// A file that was looked at before (the copy's source, found moments ago) is opened through the
// cached host path at once; opening it is the look at the host that the cached answer needs.
// Anything else (nothing cached, the open fails, no regular file) goes the whole way. The open
// does not wait: a FIFO in the cached file's place would block it until a writer came.
bool EmulatedFileSystem::OpenCachedForReading(const std::string& hostPath, FileHandle& hFile,
                                              std::optional<HostEntry>& opened) {
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  HostEntry entry;
  if (!StatOpenFile(fd, entry) || !S_ISREG(entry.st.st_mode)) {
    ::close(fd);
    return false;
  }
  TakeOverHeldWriteTime(fd, entry.st, false, false);
  hFile = AddOpenFile(fd, hostPath, entry.st, true, false);
  opened = entry;
  return true;
}

FileHandle EmulatedFileSystem::AddOpenFile(int fd, const std::string& hostPath,
                                           const struct stat& st, bool bCanRead, bool bCanWrite) {
  auto pFile = std::make_unique<OpenFile>();
  pFile->fd = fd;
  pFile->bCanRead = bCanRead;
  pFile->bCanWrite = bCanWrite;
  pFile->hostPath = hostPath;
  pFile->nDevice = st.st_dev;
  pFile->nInode = st.st_ino;
  pFile->times.Opened(st);
  const uint32_t nId = ++m_nLastHandle;
  m_openFiles.emplace(nId, std::move(pFile));
  return static_cast<FileHandle>(nId);
}

uint32_t EmulatedFileSystem::OpenHostFile(const ResolvedPath& resolved, uint32_t dwDisposition,
                                          bool bCanRead, bool bCanWrite, uint32_t dwAttributes,
                                          FileHandle& hFile) {
  const bool bCreates = !resolved.Exists();
  const bool bTruncates = Truncates(resolved, dwDisposition);
  int flags = O_CLOEXEC | ((bCanWrite || bCreates || bTruncates) ? O_RDWR : O_RDONLY);
  if (bCreates) flags |= O_CREAT | O_EXCL;
  if (bTruncates) flags |= O_TRUNC;
  const int fd = ::open(resolved.hostPath.c_str(), flags, 0666);
  if (fd < 0) return OpenError(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const uint32_t err = WinErrorFromErrno(errno);
    ::close(fd);
    return err;
  }
  const bool bWritable = (flags & O_ACCMODE) == O_RDWR;
  TakeOverHeldWriteTime(fd, st, bWritable && !HasOpenHere(st), bTruncates);
  hFile = AddOpenFile(fd, resolved.hostPath, st, bCanRead, bCanWrite);
  if (bCreates || (bTruncates && dwDisposition == CREATE_ALWAYS)) {
    StoredMetadata meta;
    meta.dwAttributes = (dwAttributes & kStoredAttributes) | FILE_ATTRIBUTE_ARCHIVE;
    meta.ftCreationTime =
        bCreates ? CurrentFileTime()
                 : MetadataOf(resolved.hostPath, resolved.st, resolved.ftBirthTime).ftCreationTime;
    // The file is there whether or not its metadata could be kept; without a row it shows the
    // attributes of a file made on the host.
    StoreMetadata(resolved.hostPath, meta, &st);
  }
  return ERROR_SUCCESS;
}

// Reads until nToRead bytes or the end: from the file pointer (moving it), or at an offset.
uint32_t EmulatedFileSystem::ReadOpenFile(FileHandle hFile, const uint64_t* pOffset, void* pBuffer,
                                          uint32_t nToRead, uint32_t& nRead) {
  nRead = 0;
  OpenFile* pFile = FindOpenFile(hFile);
  if (!pFile) return ERROR_INVALID_HANDLE;
  if (!pFile->bCanRead) return ERROR_ACCESS_DENIED;
  auto* pBytes = static_cast<char*>(pBuffer);
  while (nRead < nToRead) {
    const ssize_t n = pOffset ? ::pread(pFile->fd, pBytes + nRead, nToRead - nRead,
                                        static_cast<off_t>(*pOffset + nRead))
                              : ::read(pFile->fd, pBytes + nRead, nToRead - nRead);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return WinErrorFromErrno(errno);
    if (n == 0) break;
    nRead += static_cast<uint32_t>(n);
  }
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::ReadFile(FileHandle hFile, void* pBuffer, uint32_t nToRead,
                                      uint32_t& nRead) {
  return ReadOpenFile(hFile, nullptr, pBuffer, nToRead, nRead);
}

uint32_t EmulatedFileSystem::ReadFileAt(FileHandle hFile, uint64_t nOffset, void* pBuffer,
                                        uint32_t nToRead, uint32_t& nRead) {
  if (nOffset > static_cast<uint64_t>(INT64_MAX)) return ERROR_NEGATIVE_SEEK;
  return ReadOpenFile(hFile, &nOffset, pBuffer, nToRead, nRead);
}

uint32_t EmulatedFileSystem::WriteFile(FileHandle hFile, const void* pBuffer, uint32_t nToWrite,
                                       uint32_t& nWritten) {
  nWritten = 0;
  OpenFile* pFile = FindOpenFile(hFile);
  if (!pFile) return ERROR_INVALID_HANDLE;
  if (!pFile->bCanWrite) return ERROR_ACCESS_DENIED;
  if (uint32_t err = WriteFaultInjected()) return err;
  pFile->times.BeforeWrite(pFile->fd, pFile->bCanRead);
  const auto* pBytes = static_cast<const char*>(pBuffer);
  while (nWritten < nToWrite) {
    const ssize_t n = ::write(pFile->fd, pBytes + nWritten, nToWrite - nWritten);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return WinErrorFromErrno(errno);
    nWritten += static_cast<uint32_t>(n);
  }
  KillFaultInjected();
  pFile->times.AfterWrite(pFile->fd);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::SetFilePointerEx(FileHandle hFile, int64_t nDistance,
                                              uint32_t dwMoveMethod, uint64_t* pNewPosition) {
  OpenFile* pFile = FindOpenFile(hFile);
  if (!pFile) return ERROR_INVALID_HANDLE;
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (dwMoveMethod > FILE_END) return ERROR_INVALID_PARAMETER;
  if (dwMoveMethod == FILE_BEGIN && nDistance < 0) return ERROR_NEGATIVE_SEEK;
  const off_t nPosition = ::lseek(pFile->fd, static_cast<off_t>(nDistance), kWhence[dwMoveMethod]);
  if (nPosition < 0) return errno == EINVAL ? ERROR_NEGATIVE_SEEK : WinErrorFromErrno(errno);
  if (pNewPosition) *pNewPosition = static_cast<uint64_t>(nPosition);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::SetEndOfFile(FileHandle hFile) {
  OpenFile* pFile = FindOpenFile(hFile);
  if (!pFile) return ERROR_INVALID_HANDLE;
  if (!pFile->bCanWrite) return ERROR_ACCESS_DENIED;
  const off_t nPosition = ::lseek(pFile->fd, 0, SEEK_CUR);
  if (nPosition < 0) return WinErrorFromErrno(errno);
  pFile->times.BeforeWrite(pFile->fd, pFile->bCanRead);
  if (::ftruncate(pFile->fd, nPosition) != 0) return WinErrorFromErrno(errno);
  pFile->times.AfterWrite(pFile->fd);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::GetFileSizeEx(FileHandle hFile, uint64_t& nSize) {
  nSize = 0;
  OpenFile* pFile = FindOpenFile(hFile);
  if (!pFile) return ERROR_INVALID_HANDLE;
  struct stat st {};
  if (::fstat(pFile->fd, &st) != 0) return WinErrorFromErrno(errno);
  nSize = static_cast<uint64_t>(st.st_size);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::CloseHandle(FileHandle hFile) {
  const auto it = m_openFiles.find(static_cast<uint32_t>(hFile));
  if (it == m_openFiles.end()) return ERROR_INVALID_HANDLE;
  it->second->times.Release(it->second->fd);
  const int rc = ::close(it->second->fd);
  m_openFiles.erase(it);
  return rc == 0 ? ERROR_SUCCESS : WinErrorFromErrno(errno);
}

uint32_t EmulatedFileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  FileHandle hFile = FileHandle::Invalid;
  if (uint32_t err = CreateFile(path, GENERIC_READ, OPEN_EXISTING, 0, hFile)) return err;
  uint64_t nSize = 0;
  uint32_t err = GetFileSizeEx(hFile, nSize);
  if (!err) bytes.resize(static_cast<size_t>(nSize));
  size_t nDone = 0;
  while (!err && nDone < bytes.size()) {
    uint32_t nRead = 0;
    const auto nChunk = static_cast<uint32_t>(std::min<size_t>(bytes.size() - nDone, 1u << 20));
    err = ReadFile(hFile, bytes.data() + nDone, nChunk, nRead);
    if (nRead == 0) break;
    nDone += nRead;
  }
  CloseHandle(hFile);  // a read-only descriptor: nothing can be lost by its close
  if (err || nDone != bytes.size()) {
    bytes.clear();
    return ERROR_READ_FAULT;
  }
  return ERROR_SUCCESS;
}

// The kernel moves the bytes between the two descriptors (copy_file_range), sharing extents
// where the file system can; where it cannot (another file system, an old kernel), the bytes go
// through a buffer as FileSystem's default does.
uint32_t EmulatedFileSystem::CopyFileRange(FileHandle hFrom, FileHandle hTo, uint32_t nToCopy,
                                           uint32_t& nCopied) {
  nCopied = 0;
  OpenFile* pFrom = FindOpenFile(hFrom);
  OpenFile* pTo = FindOpenFile(hTo);
  if (!pFrom || !pTo) return ERROR_INVALID_HANDLE;
  if (!pFrom->bCanRead || !pTo->bCanWrite) return ERROR_ACCESS_DENIED;
  if (uint32_t err = WriteFaultInjected()) return err;
  pTo->times.BeforeWrite(pTo->fd, pTo->bCanRead);
  while (nCopied < nToCopy) {
    const ssize_t n = ::copy_file_range(pFrom->fd, nullptr, pTo->fd, nullptr, nToCopy - nCopied, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && nCopied == 0 &&
        (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
         errno == EBADF)) {
      if (uint32_t err = CopyThroughBuffer(pFrom->fd, pTo->fd, nToCopy, nCopied)) return err;
      break;
    }
    if (n < 0) return WinErrorFromErrno(errno);
    if (n == 0) break;
    nCopied += static_cast<uint32_t>(n);
  }
  KillFaultInjected();
  pTo->times.AfterWrite(pTo->fd);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::CopyData(FileHandle hFrom, FileHandle hTo) {
  for (;;) {
    uint32_t nCopied = 0;
    if (uint32_t err = CopyFileRange(hFrom, hTo, kCopyBlock, nCopied)) return err;
    if (nCopied == 0) return ERROR_SUCCESS;
  }
}

uint32_t EmulatedFileSystem::CopyFile(const std::string& existingPath, const std::string& newPath,
                                      bool bFailIfExists) {
  WinPath sourcePath;
  WinPath targetPath;
  ResolvedPath source;
  ResolvedPath target;
  if (uint32_t err = ResolveExisting(existingPath, sourcePath, source)) return err;
  if (source.IsDirectory()) return ERROR_ACCESS_DENIED;
  if (uint32_t err = Resolve(newPath, targetPath, target)) return err;
  if (target.Exists() && target.st.st_dev == source.st.st_dev &&
      target.st.st_ino == source.st.st_ino)
    return ERROR_SHARING_VIOLATION;  // a file cannot be copied onto itself
  const FileInfo info = InfoOf(source.hostPath, source.st);
  FileHandle hFrom = FileHandle::Invalid;
  FileHandle hTo = FileHandle::Invalid;
  if (uint32_t err = CreateFile(existingPath, GENERIC_READ, OPEN_EXISTING, 0, hFrom)) return err;
  uint32_t err = CreateFile(newPath, GENERIC_WRITE, bFailIfExists ? CREATE_NEW : CREATE_ALWAYS,
                            info.dwFileAttributes & kStoredAttributes, hTo);
  if (!err) err = CopyData(hFrom, hTo);
  if (!err) err = SetFileTime(hTo, {0, 0, info.times.ftLastWriteTime});
  CloseHandle(hFrom);
  if (hTo == FileHandle::Invalid) return err;
  const uint32_t errClose = CloseHandle(hTo);
  if (!err) err = errClose;
  if (err) {
    // Like Windows, a failed copy leaves no partial target behind.
    ::unlink(target.hostPath.c_str());
    m_metadata.RemoveFile(target.hostPath);
    ForgetPath(targetPath);
  }
  return err;
}

}  // namespace platform::emulated
