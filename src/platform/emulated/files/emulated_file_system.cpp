// EmulatedFileSystem: construction, path resolution, attributes and times, the current
// directory, temporary names and free space. Attributes and creation times come from the
// metadata store; a file without a row there (made on the host, not through the machine) is
// shown with FILE_ATTRIBUTE_ARCHIVE, read-only when the host denies its owner writing, and its
// host birth time (or last-write time) as creation time.
#include "platform/emulated/files/emulated_file_system.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/emulated/files/emulated_file_state.h"
#include "platform/emulated/files/file_times.h"
#include "platform/emulated/files/in_use.h"
#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

uint64_t BirthTimeOf(const std::string& hostPath, const struct stat& st, uint64_t ftKnown) {
  if (ftKnown) return ftKnown;
  struct statx stx {};
  if (::statx(AT_FDCWD, hostPath.c_str(), 0, STATX_BTIME, &stx) == 0 &&
      (stx.stx_mask & STATX_BTIME)) {
    return FileTimeOfTimespec(
        {static_cast<time_t>(stx.stx_btime.tv_sec), static_cast<long>(stx.stx_btime.tv_nsec)});
  }
  return FileTimeOfTimespec(ShownWriteTimespec(st));
}

// The host's write permission follows the read-only attribute of files, so that host tools see
// it too; directories keep theirs (Windows ignores read-only on directories for their contents).
// The other bits, a held write time's mark among them, stay as they are. True when it changed
// the permissions to `mode`.
bool MirrorReadOnly(const std::string& hostPath, const struct stat& st, uint32_t dwAttributes,
                    mode_t& mode) {
  if (S_ISDIR(st.st_mode)) return false;
  mode = (dwAttributes & FILE_ATTRIBUTE_READONLY) ? (st.st_mode & ~0222) : (st.st_mode | S_IWUSR);
  return mode != st.st_mode && ::chmod(hostPath.c_str(), mode & 07777) == 0;  // best effort
}

// timespec pair for utimensat: access and write times, UTIME_OMIT for 0.
void HostTimesOf(const FileTimes& times, timespec (&ts)[2]) {
  ts[0] =
      times.ftLastAccessTime ? TimespecOfFileTime(times.ftLastAccessTime) : timespec{0, UTIME_OMIT};
  ts[1] =
      times.ftLastWriteTime ? TimespecOfFileTime(times.ftLastWriteTime) : timespec{0, UTIME_OMIT};
}

std::string NormalMachineDir(const std::string& machineDir) {
  std::string dir = std::filesystem::absolute(machineDir).lexically_normal().string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

// The attributes of a file without a metadata row: what a file copied onto Windows would have.
uint32_t HostAttributesOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return 0;
  return FILE_ATTRIBUTE_ARCHIVE | ((st.st_mode & S_IWUSR) ? 0 : FILE_ATTRIBUTE_READONLY);
}

// Stored attributes as Windows shows them: DIRECTORY for directories, NORMAL for none at all.
uint32_t ShownAttributes(uint32_t dwStored, const struct stat& st) {
  const uint32_t dwAttributes = dwStored & kStoredAttributes;
  if (S_ISDIR(st.st_mode)) return dwAttributes | FILE_ATTRIBUTE_DIRECTORY;
  return dwAttributes ? dwAttributes : FILE_ATTRIBUTE_NORMAL;
}

// A host symbolic link shows as a reparse point, as a link or junction does on Windows. Only the
// path queries show it (the resolver's look at the path tells); enumerations leave it out, as
// they would pay an lstat per entry.
uint32_t LinkAttributeOf(const ResolvedPath& resolved) {
  return resolved.bLink ? FILE_ATTRIBUTE_REPARSE_POINT : 0;
}

WinPath FirstDriveRoot(const MachineConfig& config) {
  WinPath root;
  root.cDrive = 'C';
  bool bHasC = false;
  for (const DriveMapping& drive : config.drives) bHasC = bHasC || drive.cLetter == 'C';
  if (!bHasC && !config.drives.empty()) root.cDrive = config.drives.front().cLetter;
  return root;
}

}  // namespace

// --- Construction ---------------------------------------------------------------------------

EmulatedFileSystem::EmulatedFileSystem(const std::string& machineDir, const MachineConfig& config,
                                       Registry& registry)
    : EmulatedFileSystem(machineDir, config) {
  m_pRegistry = &registry;
}

EmulatedFileSystem::EmulatedFileSystem(const std::string& machineDir, const MachineConfig& config)
    : m_machineDir(NormalMachineDir(machineDir)),
      m_config(config),
      m_resolver(m_machineDir, config),
      m_metadata(m_machineDir) {
  m_dirs.current = FirstDriveRoot(config);
}

EmulatedFileSystem::~EmulatedFileSystem() {
  for (auto& [nId, pFile] : m_openFiles) {
    pFile->times.Release(pFile->fd);
    ::close(pFile->fd);
  }
}

// --- Paths ------------------------------------------------------------------------------------

uint32_t EmulatedFileSystem::Resolve(const std::string& text, WinPath& path, ResolvedPath& resolved,
                                     bool bWildcards) {
  if (uint32_t err = ParseWindowsPath(text, m_dirs, path, bWildcards)) return err;
  return m_resolver.Resolve(path, resolved);
}

uint32_t EmulatedFileSystem::ResolveExisting(const std::string& text, WinPath& path,
                                             ResolvedPath& resolved, bool bExactNameMissing) {
  if (uint32_t err = ParseWindowsPath(text, m_dirs, path)) return err;
  if (uint32_t err = m_resolver.Resolve(path, resolved, bExactNameMissing)) return err;
  return resolved.Exists() ? ERROR_SUCCESS : MissingError(resolved);
}

uint32_t EmulatedFileSystem::ResolveExisting(const std::string& text, ResolvedPath& resolved) {
  using Answer = PathResolver::CachedFolderAnswer;
  const Answer answer = m_resolver.ResolveInCachedFolder(text, resolved);
  if (answer == Answer::kFound) return ERROR_SUCCESS;
  if (answer == Answer::kMissing) return MissingError(resolved);
  WinPath path;
  return ResolveExisting(text, path, resolved, answer == Answer::kExactNameMissing);
}

uint32_t EmulatedFileSystem::MissingError(const ResolvedPath& resolved) {
  return resolved.bParentIsDirectory ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

uint32_t EmulatedFileSystem::CheckWritableDrive(const ResolvedPath& resolved) {
  return resolved.pMount->bReadOnly ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

void EmulatedFileSystem::ForgetPath(const WinPath& path) {
  m_resolver.Forget(path);
}

uint32_t EmulatedFileSystem::GetHostPath(const std::string& windowsPath, std::string& hostPath) {
  WinPath path;
  if (uint32_t err = ParseWindowsPath(windowsPath, m_dirs, path)) return err;
  return m_resolver.ResolveHostPath(path, hostPath);
}

uint32_t EmulatedFileSystem::GetWritableHostPath(const std::string& windowsPath,
                                                 std::string& hostPath) {
  WinPath path;
  ResolvedPath resolved;
  if (uint32_t err = Resolve(windowsPath, path, resolved)) return err;
  if (uint32_t err = CheckWritableDrive(resolved)) return err;
  hostPath = resolved.hostPath;
  return ERROR_SUCCESS;
}

bool EmulatedFileSystem::GetWindowsPath(const std::string& hostPath,
                                        std::string& windowsPath) const {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(hostPath, ec);
  WinPath path;
  if (ec || !m_resolver.WindowsPathOfHost(absolute.string(), path)) return false;
  windowsPath = FormatWindowsPath(path);
  return true;
}

// --- Attributes and times ---------------------------------------------------------------------

StoredMetadata EmulatedFileSystem::MetadataOf(const std::string& hostPath, const struct stat& st,
                                              uint64_t ftBirthTime) {
  StoredMetadata meta;
  if (m_metadata.Get(hostPath, meta)) return meta;
  meta.dwAttributes = HostAttributesOf(st);
  meta.ftCreationTime = BirthTimeOf(hostPath, st, ftBirthTime);
  return meta;
}

uint32_t EmulatedFileSystem::AttributesOf(const std::string& hostPath, const struct stat& st) {
  StoredMetadata meta;
  return ShownAttributes(m_metadata.Get(hostPath, meta) ? meta.dwAttributes : HostAttributesOf(st),
                         st);
}

FileInfo EmulatedFileSystem::InfoOf(const std::string& hostPath, const struct stat& st,
                                    uint64_t ftBirthTime) {
  const StoredMetadata meta = MetadataOf(hostPath, st, ftBirthTime);
  FileInfo info;
  info.dwFileAttributes = ShownAttributes(meta.dwAttributes, st);
  info.times.ftCreationTime = meta.ftCreationTime;
  const ShownTimes times = ShownHostTimes(st);
  info.times.ftLastAccessTime = times.ftLastAccessTime;
  info.times.ftLastWriteTime = times.ftLastWriteTime;
  info.nFileSize = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  return info;
}

uint32_t EmulatedFileSystem::StoreMetadata(const std::string& hostPath, const StoredMetadata& meta,
                                           const struct stat* pStat) {
  StoredMetadata stored = meta;
  stored.dwAttributes &= kStoredAttributes;
  struct stat st {};
  if (!pStat && ::stat(hostPath.c_str(), &st) == 0) pStat = &st;
  mode_t mode = 0;
  if (pStat && MirrorReadOnly(hostPath, *pStat, stored.dwAttributes, mode)) {
    for (const auto& [nId, pFile] : m_openFiles)  // they put these permissions back when they close
      if (pFile->nDevice == pStat->st_dev && pFile->nInode == pStat->st_ino)
        pFile->times.PermissionsChanged(mode);
  }
  return m_metadata.Put(hostPath, stored);
}

uint32_t EmulatedFileSystem::GetEntryKind(const std::string& path, bool& bDirectory) {
  bDirectory = false;
  ResolvedPath& resolved = m_query;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  bDirectory = resolved.IsDirectory();
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::GetFileSizeAndTimes(const std::string& path, FileInfo& info) {
  info = FileInfo();
  ResolvedPath& resolved = m_query;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  const bool bDirectory = S_ISDIR(resolved.st.st_mode);
  info.dwFileAttributes = bDirectory ? FILE_ATTRIBUTE_DIRECTORY : 0;
  const ShownTimes times = ShownHostTimes(resolved.st);
  info.times.ftLastAccessTime = times.ftLastAccessTime;
  info.times.ftLastWriteTime = times.ftLastWriteTime;
  info.nFileSize = bDirectory ? 0 : static_cast<uint64_t>(resolved.st.st_size);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::GetFileAttributes(const std::string& path, uint32_t& dwAttributes) {
  dwAttributes = INVALID_FILE_ATTRIBUTES;
  ResolvedPath& resolved = m_query;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  dwAttributes = AttributesOf(resolved.hostPath, resolved.st) | LinkAttributeOf(resolved);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::GetFileAttributesEx(const std::string& path, FileInfo& info) {
  info = FileInfo();
  ResolvedPath& resolved = m_query;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  info = InfoOf(resolved.hostPath, resolved.st, resolved.ftBirthTime);
  info.dwFileAttributes |= LinkAttributeOf(resolved);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::SetFileAttributes(const std::string& path, uint32_t dwAttributes) {
  ResolvedPath resolved;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  if (uint32_t err = CheckWritableDrive(resolved)) return err;
  StoredMetadata meta = MetadataOf(resolved.hostPath, resolved.st, resolved.ftBirthTime);
  meta.dwAttributes = dwAttributes & kStoredAttributes;
  return StoreMetadata(resolved.hostPath, meta, &resolved.st);
}

uint32_t EmulatedFileSystem::SetFileTimes(const std::string& path, const FileTimes& times) {
  ResolvedPath resolved;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  if (uint32_t err = CheckWritableDrive(resolved)) return err;
  timespec ts[2];
  HostTimesOf(times, ts);
  if (::utimensat(AT_FDCWD, resolved.hostPath.c_str(), ts, 0) != 0) return WinErrorFromErrno(errno);
  if (!times.ftCreationTime) return ERROR_SUCCESS;
  StoredMetadata meta = MetadataOf(resolved.hostPath, resolved.st, resolved.ftBirthTime);
  meta.ftCreationTime = times.ftCreationTime;
  return m_metadata.Put(resolved.hostPath, meta);
}

uint32_t EmulatedFileSystem::GetFileTime(FileHandle hFile, FileTimes& times) {
  FileInfo info;
  const uint32_t err = GetFileInformationByHandle(hFile, info);
  times = info.times;
  return err;
}

uint32_t EmulatedFileSystem::GetFileInformationByHandle(FileHandle hFile, FileInfo& info) {
  info = FileInfo();
  OpenFile* pFile = FindOpenFile(hFile);
  if (!pFile) return ERROR_INVALID_HANDLE;
  HostEntry entry;
  if (!StatOpenFile(pFile->fd, entry)) return WinErrorFromErrno(errno);
  info = InfoOf(pFile->hostPath, entry.st, entry.ftBirthTime);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::SetFileTime(FileHandle hFile, const FileTimes& times) {
  OpenFile* pFile = FindOpenFile(hFile);
  if (!pFile) return ERROR_INVALID_HANDLE;
  timespec ts[2];
  HostTimesOf(times, ts);
  if (!pFile->times.Set(pFile->fd, ts)) return WinErrorFromErrno(errno);
  if (!times.ftCreationTime) return ERROR_SUCCESS;
  StoredMetadata meta;
  if (!m_metadata.Get(pFile->hostPath, meta)) {  // a file made on the host: what it shows now
    struct stat st {};
    if (::fstat(pFile->fd, &st) != 0) return WinErrorFromErrno(errno);
    meta.dwAttributes = HostAttributesOf(st);
    meta.ftCreationTime = BirthTimeOf(pFile->hostPath, st, 0);
  }
  meta.ftCreationTime = times.ftCreationTime;
  return m_metadata.Put(pFile->hostPath, meta);
}

// --- In use -----------------------------------------------------------------------------------

bool EmulatedFileSystem::IsInUse(const std::string& hostPath, const struct stat& st) const {
  return HasOpenHere(st) || IsFileInUseOnHost(hostPath, st.st_dev, st.st_ino);
}

uint32_t EmulatedFileSystem::CheckReplaceable(const ResolvedPath& resolved) {
  if (uint32_t err = CheckWritableDrive(resolved)) return err;
  if (resolved.IsDirectory()) return ERROR_ACCESS_DENIED;
  if (AttributesOf(resolved.hostPath, resolved.st) & FILE_ATTRIBUTE_READONLY)
    return ERROR_ACCESS_DENIED;
  return IsInUse(resolved.hostPath, resolved.st) ? ERROR_SHARING_VIOLATION : ERROR_SUCCESS;
}

// --- Current directory and full paths ------------------------------------------------------------

uint32_t EmulatedFileSystem::GetCurrentDirectory(std::string& path) {
  path = FormatWindowsPath(m_dirs.current);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::SetCurrentDirectory(const std::string& path) {
  WinPath winPath;
  ResolvedPath resolved;
  if (uint32_t err = ResolveExisting(path, winPath, resolved)) return err;
  if (!resolved.IsDirectory()) return ERROR_DIRECTORY;
  winPath.bTrailingSeparator = false;
  if (!m_dirs.current.IsUnc())
    m_dirs.driveParts[m_dirs.current.cDrive - 'A'] = m_dirs.current.parts;
  if (!winPath.IsUnc()) m_dirs.driveParts[winPath.cDrive - 'A'] = winPath.parts;
  m_dirs.current = winPath;
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::GetFullPathName(const std::string& path, std::string& fullPath) {
  WinPath winPath;
  if (uint32_t err = ParseWindowsPath(path, m_dirs, winPath, true)) return err;
  fullPath = FormatWindowsPath(winPath);
  if (winPath.bTrailingSeparator) fullPath += '\\';
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::GetShortPathName(const std::string& path, std::string& shortPath) {
  ResolvedPath resolved;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  shortPath = path;  // no 8.3 names: the long form stands for the short one
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::GetLongPathName(const std::string& path, std::string& longPath) {
  return GetShortPathName(path, longPath);
}

// --- Temporary files --------------------------------------------------------------------------

uint32_t EmulatedFileSystem::GetTempPath(std::string& path) {
  path = m_config.TempDir();
  if (path.empty() || path.back() != '\\') path += '\\';
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::GetTempFileName(const std::string& dir, const std::string& prefix,
                                             uint32_t nUnique, std::string& path) {
  WinPath winDir;
  ResolvedPath resolved;
  if (uint32_t err = Resolve(dir, winDir, resolved)) return err;
  if (!resolved.IsDirectory()) return ERROR_DIRECTORY;
  std::string base = FormatWindowsPath(winDir);
  if (base.back() != '\\') base += '\\';
  base += prefix.substr(0, 3);
  auto nameOf = [&base](uint32_t n) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", n);
    return base + hex + ".tmp";
  };
  if (nUnique & 0xFFFF) {
    path = nameOf(nUnique & 0xFFFF);
    return ERROR_SUCCESS;
  }
  const auto nStart = static_cast<uint32_t>((CurrentFileTime() / 10000) % 0xFFFF);
  for (uint32_t k = 0; k < 0xFFFF; ++k) {
    const uint32_t n = (nStart + k) % 0xFFFF + 1;
    FileHandle hFile = FileHandle::Invalid;
    const uint32_t err = CreateFile(nameOf(n), GENERIC_WRITE, CREATE_NEW, 0, hFile);
    if (err == ERROR_FILE_EXISTS) continue;
    if (err) return err;
    path = nameOf(n);
    return CloseHandle(hFile);
  }
  return ERROR_FILE_EXISTS;
}

// --- Free space -------------------------------------------------------------------------------

uint32_t EmulatedFileSystem::GetDiskFreeSpaceEx(const std::string& path, DiskSpace& space) {
  space = DiskSpace();
  ResolvedPath resolved;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  if (!resolved.IsDirectory()) return ERROR_DIRECTORY;
  struct statvfs vfs {};
  if (::statvfs(resolved.hostPath.c_str(), &vfs) != 0) return WinErrorFromErrno(errno);
  space.nTotalBytes = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
  space.nTotalFreeBytes = static_cast<uint64_t>(vfs.f_bfree) * vfs.f_frsize;
  space.nFreeBytesAvailable = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
#ifdef TARVIUM_FAULT_SEAM
  if (m_faults.bDiskFull) space.nFreeBytesAvailable = space.nTotalFreeBytes = 0;
#endif
  return ERROR_SUCCESS;
}

// --- Fault seam -------------------------------------------------------------------------------

#ifdef TARVIUM_FAULT_SEAM
void EmulatedFileSystem::SetFaultPlan(const FaultPlan& plan) {
  m_faults = plan;
  m_nWritesSincePlan = 0;
}
#endif

uint32_t EmulatedFileSystem::WriteFaultInjected() {
#ifdef TARVIUM_FAULT_SEAM
  ++m_nWritesSincePlan;
  if (m_faults.nKillingBeforeWrite && m_nWritesSincePlan == m_faults.nKillingBeforeWrite)
    ::kill(::getpid(), SIGKILL);
  if (m_faults.bDiskFull) return ERROR_DISK_FULL;
  if (m_faults.nFailingWrite && m_nWritesSincePlan == m_faults.nFailingWrite)
    return ERROR_WRITE_FAULT;
#endif
  return ERROR_SUCCESS;
}

void EmulatedFileSystem::KillFaultInjected() const {
#ifdef TARVIUM_FAULT_SEAM
  if (m_faults.nKillingWrite && m_nWritesSincePlan == m_faults.nKillingWrite)
    ::kill(::getpid(), SIGKILL);
#endif
}

}  // namespace platform::emulated
