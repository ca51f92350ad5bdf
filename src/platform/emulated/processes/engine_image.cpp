// The engine image text, its recognition, and the search for the engine binary behind it.
#include "platform/emulated/processes/engine_image.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>

namespace platform {
namespace {

// The directory of the running program, from the kernel's link to its executable.
std::string RunningProgramDirectory() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  const std::string exe(path, static_cast<size_t>(n));
  return exe.substr(0, exe.find_last_of('/'));
}

}  // namespace

std::string EngineImageText() {
  return std::string(kEngineImageSignature) +
         "Started on the emulated machine, this file runs the Tarvium Setup engine.\r\n";
}

bool IsEngineImage(std::string_view head) {
  return head.starts_with(kEngineImageSignature);
}

std::vector<std::string> EngineCandidates(const std::string& fromEnvironment,
                                          const std::string& fromMachineConfig) {
  std::vector<std::string> candidates;
  for (const std::string& path : {fromEnvironment, fromMachineConfig})
    if (!path.empty()) candidates.push_back(path);
  if (const std::string dir = RunningProgramDirectory(); !dir.empty())
    candidates.push_back(dir + "/Setup.exe");
  return candidates;
}

std::string FindEngine(const std::vector<std::string>& candidates) {
  for (const std::string& path : candidates) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0)
      return path;
  }
  return {};
}

std::string BesideRunningProgram(const std::string& relativePath) {
  const std::string dir = RunningProgramDirectory();
  if (dir.empty()) return {};
  return (std::filesystem::path(dir) / relativePath).lexically_normal().string();
}

void SetEngineImageVariable(std::vector<std::string>& environment,
                            const std::string& imageWindowsPath) {
  const std::string prefix = std::string(kEngineImageVariable) + "=";
  std::erase_if(environment, [&](const std::string& entry) { return entry.starts_with(prefix); });
  if (!imageWindowsPath.empty()) environment.push_back(prefix + imageWindowsPath);
}

}  // namespace platform
