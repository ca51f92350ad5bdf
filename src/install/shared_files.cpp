// Placeholder until shared files and removal land: removal deletes the file alone.
#include "install/shared_files.h"

#include "engine/setup_run.h"

namespace tarvium {

bool CountSharedFileUp(SetupRun&, const std::string&, bool, uint32_t, const std::string&) {
  return true;
}
bool CountSharedFileDown(SetupRun&, const std::string&, uint32_t, const std::string&) {
  return true;
}
bool RemoveFile(SetupRun& run, const std::string& path) {
  return run.machine.Files().DeleteFile(path) == 0;
}
bool RemoveInstalledFile(SetupRun& run, const std::string& path) {
  return RemoveFile(run, path);
}
bool RemoveInstalledDirectory(SetupRun& run, const std::string& path) {
  return run.machine.Files().RemoveDirectory(path) == 0;
}
bool RemoveDirectoryTree(SetupRun&, const std::string&) {
  return false;
}
bool RenameInstalledFile(SetupRun& run, const std::string& from, const std::string& to) {
  return run.machine.Files().MoveFileEx(from, to, 0) == 0;
}
bool DeferFileOperation(SetupRun&, const std::string&, const std::string&) {
  return false;
}

}  // namespace tarvium
