// EmulatedFileSystem: deleting, moving and directories. Every change that removes or renames a
// name carries the metadata rows along and drops the cached resolutions below the old and the
// new name, so that the next lookup sees the host as it now is.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/code_page.h"
#include "platform/emulated/files/emulated_file_state.h"
#include "platform/emulated/files/emulated_file_system.h"
#include "platform/emulated/files/file_times.h"
#include "platform/emulated/machine/host_errno.h"
#include "platform/pending_file_renames.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

std::string HostParentOf(const std::string& hostPath) {
  const size_t nSlash = hostPath.rfind('/');
  return nSlash == std::string::npos ? std::string() : hostPath.substr(0, nSlash);
}

}  // namespace

uint32_t EmulatedFileSystem::DeleteFile(const std::string& path) {
  WinPath winPath;
  ResolvedPath resolved;
  if (uint32_t err = ResolveExisting(path, winPath, resolved)) return err;
  if (uint32_t err = CheckReplaceable(resolved)) return err;
  if (::unlink(resolved.hostPath.c_str()) != 0) return WinErrorFromErrno(errno);
  m_metadata.RemoveFile(resolved.hostPath);  // a stale row is harmless: the next create replaces it
  ForgetPath(winPath);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::MoveFileEx(const std::string& existingPath, const std::string& newPath,
                                        uint32_t dwFlags) {
  if (dwFlags & MOVEFILE_DELAY_UNTIL_REBOOT) return DeferMove(existingPath, newPath, dwFlags);
  if (newPath.empty()) return ERROR_INVALID_PARAMETER;
  WinPath sourcePath;
  WinPath targetPath;
  ResolvedPath source;
  ResolvedPath target;
  if (uint32_t err = ResolveExisting(existingPath, sourcePath, source)) return err;
  if (uint32_t err = Resolve(newPath, targetPath, target)) return err;
  if (sourcePath.parts.empty() || targetPath.parts.empty()) return ERROR_ACCESS_DENIED;
  if (!target.bParentIsDirectory) return ERROR_PATH_NOT_FOUND;
  if (uint32_t err = CheckWritableDrive(source)) return err;
  if (uint32_t err = CheckWritableDrive(target)) return err;
  if (source.IsDirectory() && IsSameOrBelow(m_dirs.current, sourcePath))
    return ERROR_SHARING_VIOLATION;
  std::string targetHost = target.hostPath;
  if (target.Exists() && target.hostPath == source.hostPath) {
    // The same file under another spelling: a change of case only.
    targetHost = HostParentOf(source.hostPath) + "/" + AnsiToUtf8(targetPath.parts.back());
  } else if (target.Exists()) {
    if (!(dwFlags & MOVEFILE_REPLACE_EXISTING)) return ERROR_ALREADY_EXISTS;
    if (source.IsDirectory()) return ERROR_ACCESS_DENIED;
    if (uint32_t err = CheckReplaceable(target)) return err;
  }
  if (!PathResolver::IsSameMount(source, target))
    return MoveAcrossDrives(existingPath, newPath, source, dwFlags);
  if (::rename(source.hostPath.c_str(), targetHost.c_str()) != 0) {
    if (errno == EXDEV) return MoveAcrossDrives(existingPath, newPath, source, dwFlags);
    return WinErrorFromErrno(errno);
  }
  // Best effort, as for the other rows; a file's row moves with the next batch.
  if (source.IsDirectory())
    m_metadata.Rename(source.hostPath, targetHost);
  else
    m_metadata.RenameFile(source.hostPath, targetHost);
  // A replaced file whose name differed only in case takes the new spelling, as on Windows.
  const std::string spelledHost =
      HostParentOf(targetHost) + "/" + AnsiToUtf8(targetPath.parts.back());
  struct stat st {};
  if (spelledHost != targetHost && ::lstat(spelledHost.c_str(), &st) != 0 &&
      ::rename(targetHost.c_str(), spelledHost.c_str()) == 0)
    m_metadata.RenameFile(targetHost, spelledHost);
  ForgetPath(sourcePath);
  ForgetPath(targetPath);
  return ERROR_SUCCESS;
}

// Another drive is another volume: only a file moves, by copy and delete, and only when the
// caller allows it. As on Windows, a source that cannot be deleted afterwards stays.
uint32_t EmulatedFileSystem::MoveAcrossDrives(const std::string& existingPath,
                                              const std::string& newPath,
                                              const ResolvedPath& source, uint32_t dwFlags) {
  if (!(dwFlags & MOVEFILE_COPY_ALLOWED) || source.IsDirectory()) return ERROR_NOT_SAME_DEVICE;
  if (uint32_t err = CopyFile(existingPath, newPath, !(dwFlags & MOVEFILE_REPLACE_EXISTING)))
    return err;
  DeleteFile(existingPath);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::DeferMove(const std::string& existingPath, const std::string& newPath,
                                       uint32_t dwFlags) {
  if (dwFlags & MOVEFILE_COPY_ALLOWED) return ERROR_INVALID_PARAMETER;
  if (!m_pRegistry) return ERROR_NOT_SUPPORTED;
  WinPath sourcePath;
  if (uint32_t err = ParseWindowsPath(existingPath, m_dirs, sourcePath)) return err;
  PendingFileRename rename;
  rename.ntSource = NtPathOf(sourcePath);
  if (!newPath.empty()) {
    WinPath targetPath;
    if (uint32_t err = ParseWindowsPath(newPath, m_dirs, targetPath)) return err;
    rename.ntTarget = NtPathOf(targetPath);
    rename.bReplaceExisting = dwFlags & MOVEFILE_REPLACE_EXISTING;
  }
  return AppendPendingFileRename(*m_pRegistry, rename);
}

uint32_t EmulatedFileSystem::CreateDirectoryAt(const WinPath& path) {
  ResolvedPath resolved;
  if (uint32_t err = m_resolver.Resolve(path, resolved)) return err;
  if (path.parts.empty() || resolved.Exists()) return ERROR_ALREADY_EXISTS;
  if (!resolved.bParentIsDirectory) return ERROR_PATH_NOT_FOUND;
  if (uint32_t err = CheckWritableDrive(resolved)) return err;
  if (::mkdir(resolved.hostPath.c_str(), 0777) != 0) return WinErrorFromErrno(errno);
  StoreMetadata(resolved.hostPath, {0, CurrentFileTime()});  // best effort: see OpenHostFile
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::CreateDirectory(const std::string& path) {
  WinPath winPath;
  if (uint32_t err = ParseWindowsPath(path, m_dirs, winPath)) return err;
  return CreateDirectoryAt(winPath);
}

uint32_t EmulatedFileSystem::CreateDirectoryTree(const std::string& path) {
  WinPath winPath;
  if (uint32_t err = ParseWindowsPath(path, m_dirs, winPath)) return err;
  WinPath prefix = winPath;
  prefix.parts.clear();
  uint32_t err = ERROR_ALREADY_EXISTS;
  for (const std::string& part : winPath.parts) {
    prefix.parts.push_back(part);
    err = CreateDirectoryAt(prefix);
    if (err && err != ERROR_ALREADY_EXISTS) return err;
  }
  return err;
}

uint32_t EmulatedFileSystem::RemoveDirectory(const std::string& path) {
  WinPath winPath;
  ResolvedPath resolved;
  if (uint32_t err = ResolveExisting(path, winPath, resolved)) return err;
  if (!resolved.IsDirectory()) return ERROR_DIRECTORY;
  if (winPath.parts.empty()) return ERROR_ACCESS_DENIED;
  if (uint32_t err = CheckWritableDrive(resolved)) return err;
  if (AttributesOf(resolved.hostPath, resolved.st) & FILE_ATTRIBUTE_READONLY)
    return ERROR_ACCESS_DENIED;
  if (IsSameOrBelow(m_dirs.current, winPath)) return ERROR_SHARING_VIOLATION;
  if (::rmdir(resolved.hostPath.c_str()) != 0)
    return errno == EEXIST ? ERROR_DIR_NOT_EMPTY : WinErrorFromErrno(errno);
  m_metadata.Remove(resolved.hostPath);
  ForgetPath(winPath);
  return ERROR_SUCCESS;
}

}  // namespace platform::emulated
