// Host file access for HostFileSystem: POSIX calls, errno mapped to Win32 codes.
#include "platform/host/host_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/win_error.h"

namespace platform {
namespace {

uint32_t OpenErrorOf(int err) {
  switch (err) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    default:
      return ERROR_GEN_FAILURE;
  }
}

}  // namespace

std::string HostPathOf(const std::string& windowsPath) {
  std::string path = windowsPath;
  if (path.size() >= 2 && path[1] == ':' && (path[0] == 'Z' || path[0] == 'z')) path.erase(0, 2);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

uint32_t HostFileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(HostPathOf(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return OpenErrorOf(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return ERROR_ACCESS_DENIED;
  }
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t nDone = 0;
  while (nDone < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + nDone, bytes.size() - nDone);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    nDone += static_cast<size_t>(n);
  }
  ::close(fd);
  if (nDone != bytes.size()) {
    bytes.clear();
    return ERROR_READ_FAULT;
  }
  return ERROR_SUCCESS;
}

uint32_t WriteHostFile(const std::string& path, const std::string& bytes) {
  const int fd = ::open(HostPathOf(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return OpenErrorOf(errno);
  size_t nDone = 0;
  while (nDone < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + nDone, bytes.size() - nDone);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    nDone += static_cast<size_t>(n);
  }
  const bool bClosed = ::close(fd) == 0;
  if (nDone != bytes.size()) return errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
  return bClosed ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

HostTempDirectory::HostTempDirectory(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
  if (::mkdtemp(pattern.data())) path_ = pattern;
}

HostTempDirectory::~HostTempDirectory() {
  if (path_.empty()) return;
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

}  // namespace platform
