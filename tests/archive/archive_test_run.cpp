#include "archive/archive_test_run.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tarvium::test {

ArchiveTestRun::ArchiveTestRun() {
  run.pModules = &modules;
}

std::string ArchiveTestRun::WinPath(const std::string& relPath) const {
  std::string path = "Z:" + HostPath(relPath);
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::vector<std::string> ArchiveTestRun::TakeTrace() {
  return std::exchange(run.debugLines, {});
}

std::string ReadHostFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool HostPathExists(const std::string& hostPath) {
  struct stat st {};
  return ::lstat(hostPath.c_str(), &st) == 0;
}

std::string BuildDir() {
  const char* pszDir = std::getenv("TARVIUM_BUILD_DIR");
  return pszDir ? pszDir : ".";
}

std::string TestDataDir() {
  return std::string(TARVIUM_SOURCE_DIR) + "/tests/archive/data";
}

int RunHostCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tarvium::test
