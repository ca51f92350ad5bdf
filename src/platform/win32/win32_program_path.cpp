// Where the running program lies and the directory it was started in, on Windows: the process's
// own module file and current directory, as the system names them.
#include "platform/program_path.h"

#include "platform/win32/windows_api.h"

namespace platform {

std::string RunningProgramHostPath() {
  constexpr size_t kLongestPath = 32768;  // what the system's long paths allow
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD nLength =
        ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (nLength == 0) return "";
    if (nLength < path.size()) {
      path.resize(nLength);
      return path;
    }
    if (path.size() >= kLongestPath) return "";
    path.resize(path.size() * 2);  // cut short: the full name fills the buffer
  }
}

std::string HostCurrentDirectory() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD nLength = ::GetCurrentDirectoryA(static_cast<DWORD>(path.size()), path.data());
    if (nLength == 0) return "";
    if (nLength < path.size()) {
      path.resize(nLength);
      return path;
    }
    path.resize(nLength);  // the size it needs, with the terminating zero
  }
}

}  // namespace platform
