// The directories are tried in Windows' order; PATH is split at ';' with empty entries skipped,
// so an odd PATH value cannot make the current directory count twice or a root count at all.
#include "platform/search_path.h"

#include <vector>

#include "platform/machine.h"
#include "platform/win_error.h"

namespace platform {
namespace {

bool HasDirectoryPart(const std::string& name) {
  return name.find_first_of("\\/:") != std::string::npos;
}

std::string JoinDirectory(std::string dir, const std::string& name) {
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
  return dir + name;
}

std::vector<std::string> SearchDirectories(Machine& machine, const std::string& firstDirectory) {
  std::vector<std::string> dirs;
  if (!firstDirectory.empty()) dirs.push_back(firstDirectory);
  std::string dir;
  if (machine.Files().GetCurrentDirectory(dir) == ERROR_SUCCESS) dirs.push_back(dir);
  for (SpecialFolder folder : {SpecialFolder::System, SpecialFolder::Windows})
    if (machine.System().GetSpecialFolder(folder, dir) == ERROR_SUCCESS) dirs.push_back(dir);
  std::string path;
  if (machine.Env().GetVariable("PATH", path) != ERROR_SUCCESS) return dirs;
  for (size_t nStart = 0; nStart <= path.size();) {
    const size_t nEnd = std::min(path.find(';', nStart), path.size());
    if (nEnd > nStart) dirs.push_back(path.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
  }
  return dirs;
}

}  // namespace

uint32_t SearchPath(Machine& machine, const std::string& firstDirectory, const std::string& name,
                    std::string& fullPath) {
  FileSystem& files = machine.Files();
  fullPath.clear();
  if (name.empty()) return ERROR_FILE_NOT_FOUND;
  std::vector<std::string> candidates;
  if (HasDirectoryPart(name))
    candidates.push_back(name);
  else
    for (const std::string& dir : SearchDirectories(machine, firstDirectory))
      candidates.push_back(JoinDirectory(dir, name));
  for (const std::string& candidate : candidates) {
    if (!files.FileExists(candidate)) continue;
    if (files.GetFullPathName(candidate, fullPath) != ERROR_SUCCESS) fullPath = candidate;
    return ERROR_SUCCESS;
  }
  return ERROR_FILE_NOT_FOUND;
}

}  // namespace platform
