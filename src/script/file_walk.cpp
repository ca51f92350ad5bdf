#include "script/file_walk.h"

#include <vector>

#include "engine/setup_run.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

bool IsDots(const std::string& name) {
  return name == "." || name == "..";
}

// The entries of one pattern; directories when bDirectories, else files.
std::vector<platform::FindData> ListEntries(SetupRun& run, const std::string& pattern,
                                            bool bDirectories) {
  std::vector<platform::FindData> entries;
  platform::FileSystem& files = run.machine.Files();
  platform::FindHandle hFind;
  platform::FindData data;
  if (files.FindFirstFile(pattern, hFind, data) != platform::ERROR_SUCCESS) return entries;
  do {
    const bool bDirectory = (data.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (bDirectory == bDirectories && !IsDots(data.cFileName)) entries.push_back(data);
  } while (files.FindNextFile(hFind, data) == platform::ERROR_SUCCESS);
  files.FindClose(hFind);
  return entries;
}

bool WalkBelow(SetupRun& run, const std::string& directory, const std::string& relative,
               const std::string& mask, bool bRecursive, const FileVisitor& visit) {
  const std::string here = JoinPath(directory, relative);
  for (const platform::FindData& file : ListEntries(run, JoinPath(here, mask), false))
    if (!visit(JoinPath(relative, file.cFileName), file)) return false;
  if (!bRecursive) return true;
  for (const platform::FindData& sub : ListEntries(run, JoinPath(here, "*"), true))
    if (!WalkBelow(run, directory, JoinPath(relative, sub.cFileName), mask, true, visit))
      return false;
  return true;
}

}  // namespace

SplitPath SplitLastPart(std::string_view path) {
  const size_t nSlash = path.find_last_of("\\/");
  if (nSlash == std::string_view::npos) {
    if (path.size() >= 2 && path[1] == ':')
      return {std::string(path.substr(0, 2)), std::string(path.substr(2))};
    return {".", std::string(path)};
  }
  std::string directory(path.substr(0, nSlash));
  if (directory.empty() || (directory.size() == 2 && directory[1] == ':')) directory += '\\';
  return {directory, std::string(path.substr(nSlash + 1))};
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  if (directory.empty()) return std::string(name);
  if (name.empty()) return std::string(directory);
  std::string path(directory);
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  return path + std::string(name);
}

bool WalkFiles(SetupRun& run, const std::string& directory, const std::string& mask,
               bool bRecursive, const FileVisitor& visit) {
  return WalkBelow(run, directory, "", mask, bRecursive, visit);
}

std::vector<std::string> ListSubdirectories(SetupRun& run, const std::string& directory) {
  std::vector<std::string> names;
  for (const platform::FindData& sub : ListEntries(run, JoinPath(directory, "*"), true))
    names.push_back(sub.cFileName);
  return names;
}

}  // namespace tarvium
