#include "platform/program_path.h"

#include <unistd.h>

#include <array>

namespace platform {

std::string RunningProgramHostPath() {
  std::array<char, 4096> buffer;
  const ssize_t nLength = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (nLength <= 0) return "";
  return std::string(buffer.data(), static_cast<size_t>(nLength));
}

std::string HostCurrentDirectory() {
  std::array<char, 4096> buffer;
  if (!::getcwd(buffer.data(), buffer.size())) return "";
  return buffer.data();
}

}  // namespace platform
