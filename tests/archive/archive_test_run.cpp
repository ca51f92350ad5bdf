// The archive tests' run on a temporary emulated machine, and small host helpers for checking
// results with host tools.
#include "archive/archive_test_run.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tarvium::test {

std::string ArchiveTestRun::HostPath(const std::string& relPath) const {
  std::string path = MachinePath("drive_c/" + relPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

void ArchiveTestRun::WriteMachineFile(const std::string& relPath, const std::string& bytes) const {
  const std::filesystem::path file = MachinePath(relPath);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ArchiveTestRun::TakeTrace() {
  return std::exchange(run.debugLines, {});
}

bool HostPathExists(const std::string& hostPath) {
  struct stat st {};
  return ::lstat(hostPath.c_str(), &st) == 0;
}

std::vector<std::string> ListHostTree(const std::string& hostDir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(hostDir, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::string name = std::filesystem::relative(it->path(), hostDir).string();
    names.push_back(it->is_directory() && !it->is_symlink() ? name + "/" : name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string TestDataDir() {
  return std::string(TARVIUM_SOURCE_DIR) + "/tests/archive/data";
}

int RunHostCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tarvium::test
