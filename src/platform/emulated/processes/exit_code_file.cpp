// Both sides of the exit-code file: creating it, writing the code from the exiting child, and
// reading it back with the check that keeps a code the child did not end with out.
#include "platform/emulated/processes/exit_code_file.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/emulated/machine/host_errno.h"
#include "platform/win_error.h"

namespace platform {
namespace {

uint32_t ExitCodeOfSignal(int nSignal) {
  switch (nSignal) {
    case SIGSEGV:
    case SIGBUS:
      return 0xC0000005;
    case SIGILL:
      return 0xC000001D;
    case SIGFPE:
      return 0xC0000094;
    case SIGABRT:
      return 3;
    case SIGINT:
      return 0xC000013A;
    default:
      return 1;
  }
}

// Reads the decimal code written to the file; false when it is empty or malformed.
bool ReadWrittenCode(const std::string& path, uint32_t& dwExitCode) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char text[32] = {};
  const ssize_t n = ::read(fd, text, sizeof(text) - 1);
  ::close(fd);
  if (n <= 0) return false;
  char* pszEnd = nullptr;
  errno = 0;
  const long long nCode = std::strtoll(text, &pszEnd, 10);
  if (errno != 0 || pszEnd == text || *pszEnd != '\n' || nCode < INT32_MIN || nCode > UINT32_MAX)
    return false;
  dwExitCode = static_cast<uint32_t>(nCode);
  return true;
}

}  // namespace

uint32_t CreateExitCodeFile(const std::string& directory, std::string& path) {
  std::string dir = directory;
  if (dir.empty()) {
    std::error_code ec;
    dir = std::filesystem::temp_directory_path(ec).string();
    if (ec) dir = "/tmp";
  }
  path = dir + "/tarvium-exit-XXXXXX";
  const int fd = ::mkostemp(path.data(), O_CLOEXEC);
  if (fd < 0) {
    const uint32_t err = WinErrorFromErrno(errno);
    path.clear();
    return err;
  }
  ::close(fd);
  return ERROR_SUCCESS;
}

uint32_t ExitCodeOfChild(const std::string& exitCodeFile, int nSiCode, int nSiStatus) {
  if (nSiCode != CLD_EXITED) return ExitCodeOfSignal(nSiStatus);
  const uint32_t dwStatus = static_cast<uint32_t>(nSiStatus) & 0xFF;
  uint32_t dwWritten = 0;
  if (!exitCodeFile.empty() && ReadWrittenCode(exitCodeFile, dwWritten) &&
      (dwWritten & 0xFF) == dwStatus)
    return dwWritten;
  return dwStatus;
}

void WriteOwnExitCode(uint32_t dwExitCode) {
  const char* pszPath = ::getenv(kExitCodeFileVariable);
  if (!pszPath || !*pszPath) return;
  // A parent process names a file it made, by its full path; when it has removed the file it no
  // longer waits for the code, so the file is not made again. A relative name is a person's
  // choice, made when missing.
  const int nCreate = pszPath[0] == '/' ? 0 : O_CREAT;
  const int fd = ::open(pszPath, O_WRONLY | O_TRUNC | O_CLOEXEC | nCreate, 0666);
  if (fd < 0) return;
  char text[32];
  const int n =
      std::snprintf(text, sizeof(text), "%" PRId32 "\n", static_cast<int32_t>(dwExitCode));
  // A failed or short write leaves a line the parent rejects; the exit status still holds the
  // low byte, so there is nothing better to do about it here.
  if (n > 0) {
    [[maybe_unused]] const ssize_t nWritten = ::write(fd, text, static_cast<size_t>(n));
  }
  ::close(fd);
}

}  // namespace platform
