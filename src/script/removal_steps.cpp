#include "script/removal_steps.h"

#include "engine/setup_run.h"
#include "script/file_walk.h"
#include "script/folder_variables.h"

namespace tarvium {

bool DeleteScriptFile(SetupRun& run, const std::string& path) {
  if (run.commands.removeFile) return run.commands.removeFile(run, path);
  platform::FileSystem& files = run.machine.Files();
  files.SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
  return files.DeleteFile(path) == platform::ERROR_SUCCESS;
}

bool RemoveScriptDirectory(SetupRun& run, const std::string& directory) {
  if (IsProtectedDirectory(run, directory)) return false;
  return run.machine.Files().RemoveDirectory(directory) == platform::ERROR_SUCCESS;
}

void RemoveDirectoryChain(SetupRun& run, const std::string& directory) {
  std::string current;
  if (run.machine.Files().GetFullPathName(directory, current) != platform::ERROR_SUCCESS)
    current = directory;
  while (current.size() > 3 && (current.back() == '\\' || current.back() == '/'))
    current.pop_back();
  while (current.size() > 3 && RemoveScriptDirectory(run, current)) {
    const SplitPath parts = SplitLastPart(current);
    if (parts.directory == "." || parts.directory.size() <= 3) break;
    current = parts.directory;
  }
}

}  // namespace tarvium
