// Removal of installed files and directories. A file that cannot be deleted because it is in use
// (or, outside administrator setups, because access is denied) has its delete put off to the next
// restart; any other failure leaves the file without a message. Directories are removed only when
// empty and never when they are protected: the directories of the predefined variables from
// %Windows% on and the temporary directory, which other products share.
#include <string_view>
#include <vector>

#include "engine/setup_run.h"
#include "engine/variable_store.h"
#include "install/file_path_parts.h"
#include "install/shared_files.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

using platform::FindData;
using platform::FindHandle;

// A view rather than a copy: every removed file compares its folder with each protected one.
std::string_view WithoutTrailingBackslash(std::string_view path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
  return path;
}

std::string_view Unquoted(std::string_view path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    return path.substr(1, path.size() - 2);
  return path;
}

// The directory a removal path names, without quotes and trailing backslashes.
std::string DirectoryOf(const std::string& path) {
  return std::string(WithoutTrailingBackslash(Unquoted(path)));
}

bool IsProtectedDirectory(SetupRun& run, const std::string& directory) {
  const std::string_view candidate = WithoutTrailingBackslash(directory);
  std::string temp;
  run.machine.Files().GetTempPath(temp);
  if (platform::AnsiEqualNoCase(candidate, WithoutTrailingBackslash(temp))) return true;
  const auto names = PredefinedNames();
  const int iWindows = run.variables.Find("Windows");
  for (int i = iWindows < 0 ? static_cast<int>(names.size()) : iWindows;
       i < static_cast<int>(names.size()); ++i) {
    if (!names[static_cast<size_t>(i)].bDirectory) continue;
    const std::string& value = run.variables.ValueAt(i);
    if (!value.empty() && platform::AnsiEqualNoCase(candidate, WithoutTrailingBackslash(value)))
      return true;
  }
  return false;
}

bool IsSameOrBelow(std::string_view path, const std::string& directory) {
  return platform::AnsiEqualNoCase(path, directory) ||
         (platform::AnsiStartsWithNoCase(path, directory) && path.size() > directory.size() &&
          path[directory.size()] == '\\');
}

// Moves the current directory out of a directory about to be removed.
void LeaveDirectory(SetupRun& run, const std::string& directory) {
  platform::FileSystem& files = run.machine.Files();
  std::string current;
  if (files.GetCurrentDirectory(current) != platform::ERROR_SUCCESS ||
      !IsSameOrBelow(WithoutTrailingBackslash(current), directory))
    return;
  const std::string parent = ParentDirectoryOf(directory);
  if (!parent.empty()) files.SetCurrentDirectory(parent);
}

bool IsMissing(uint32_t err) {
  return err == platform::ERROR_FILE_NOT_FOUND || err == platform::ERROR_PATH_NOT_FOUND;
}

// A delete that failed, tried again with the file's attributes cleared (a read-only file goes
// then). Clearing them only when the first try failed ends as clearing them first would: a
// file that went has none left, one that stays has them cleared.
uint32_t DeleteAgainWithoutAttributes(platform::FileSystem& files, const std::string& path) {
  files.SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
  return files.DeleteFile(path);
}

// What a file's delete ended with: done or gone already (true), or put off to the next restart
// when the file is in use. False: it could not be deleted for another reason, or the deferral
// failed (then 5527 was shown and the run aborted).
bool DeferWhenInUse(SetupRun& run, const std::string& path, uint32_t err) {
  if (err == platform::ERROR_SUCCESS || err == platform::ERROR_FILE_NOT_FOUND) return true;
  const bool bInUse = err == platform::ERROR_SHARING_VIOLATION ||
                      (err == platform::ERROR_ACCESS_DENIED && !run.ctx.bAdminSetup);
  if (!bInUse) return false;
  if (DeferFileOperation(run, path, "")) return true;
  ShowMessage(run, 5527, path);
  run.ctx.bAborted = true;
  return false;
}

// Deletes a file found in a directory's listing.
bool DeleteListedFile(SetupRun& run, const std::string& path) {
  platform::FileSystem& files = run.machine.Files();
  uint32_t err = files.DeleteFile(path);
  if (err != platform::ERROR_SUCCESS && err != platform::ERROR_FILE_NOT_FOUND)
    err = DeleteAgainWithoutAttributes(files, path);
  return DeferWhenInUse(run, path, err);
}

// Deletes the file a path names; a path that names nothing or a directory stands for no file.
// The delete comes first, as it mostly succeeds; only a failed one asks what the path names.
// False also when the path cannot be looked at.
bool DeleteNamedFile(SetupRun& run, const std::string& path) {
  platform::FileSystem& files = run.machine.Files();
  const uint32_t err = files.DeleteFile(path);
  if (err == platform::ERROR_SUCCESS || IsMissing(err)) return true;
  bool bDirectory = false;
  if (const uint32_t errKind = files.GetEntryKind(path, bDirectory)) return IsMissing(errKind);
  return bDirectory || DeferWhenInUse(run, path, DeleteAgainWithoutAttributes(files, path));
}

// Deletes every file of a directory, for a path "dir\.". False: the directory could not be
// listed, or a file not deleted.
bool DeleteFilesOfDirectory(SetupRun& run, const std::string& directory) {
  std::vector<std::string> matches;
  platform::FileSystem& files = run.machine.Files();
  FindHandle hFind = FindHandle::Invalid;
  FindData data;
  const uint32_t err = files.FindFirstFile(directory + "\\*", hFind, data);
  if (err != platform::ERROR_SUCCESS) return IsMissing(err);
  do {
    if (!(data.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY))
      matches.push_back(directory + "\\" + data.cFileName);
  } while (files.FindNextFile(hFind, data) == platform::ERROR_SUCCESS);
  files.FindClose(hFind);
  for (const std::string& file : matches)
    if (!DeleteListedFile(run, file)) return false;
  return true;
}

// The help index files the system builds beside a help file, or in %Windows%\HELP.
void RemoveHelpIndexFiles(SetupRun& run, const std::string& helpFile) {
  const std::string besideBase = PathWithoutExtension(helpFile);
  const std::string helpBase =
      run.variables.Get("Windows") + "\\HELP\\" + PathWithoutExtension(FileNameOf(helpFile));
  for (const char* pszExtension : {".gid", ".fts", ".ftg"}) {
    const std::string beside = besideBase + pszExtension;
    const std::string inHelp = helpBase + pszExtension;
    if (run.machine.Files().FileExists(beside))
      RemoveFile(run, beside);
    else if (run.machine.Files().FileExists(inHelp))
      RemoveFile(run, inHelp);
  }
}

}  // namespace

bool RemoveFile(SetupRun& run, const std::string& path) {
  const bool bWholeDirectory = path.size() >= 2 && path.back() == '.' &&
                               (path[path.size() - 2] == '\\' || path[path.size() - 2] == '/');
  if (bWholeDirectory) return DeleteFilesOfDirectory(run, ParentDirectoryOf(path));
  return DeleteNamedFile(run, path);
}

bool RemoveInstalledFile(SetupRun& run, const std::string& path) {
  if (!RemoveFile(run, path)) return false;
  if (platform::AnsiEqualNoCase(ExtensionOf(path), ".hlp")) RemoveHelpIndexFiles(run, path);
  for (std::string parent = ParentDirectoryOf(path);
       !parent.empty() && parent.back() != '\\' && parent.back() != ':';
       parent = ParentDirectoryOf(parent)) {
    if (!RemoveInstalledDirectory(run, parent)) break;
  }
  return true;
}

bool RemoveInstalledDirectory(SetupRun& run, const std::string& path) {
  const std::string directory = DirectoryOf(path);
  if (directory.empty() || IsProtectedDirectory(run, directory)) return false;
  platform::FileSystem& files = run.machine.Files();
  bool bEmpty = false;
  if (files.IsDirectoryEmpty(directory, bEmpty) != platform::ERROR_SUCCESS || !bEmpty) return false;
  LeaveDirectory(run, directory);
  files.SetFileAttributes(directory, platform::FILE_ATTRIBUTE_NORMAL);
  return files.RemoveDirectory(directory) == platform::ERROR_SUCCESS;
}

bool RemoveDirectoryTree(SetupRun& run, const std::string& path) {
  const std::string directory = DirectoryOf(path);
  platform::FileSystem& files = run.machine.Files();
  std::vector<FindData> entries;
  FindHandle hFind = FindHandle::Invalid;
  FindData data;
  if (files.FindFirstFile(directory + "\\*", hFind, data) != platform::ERROR_SUCCESS) return false;
  do {
    if (data.cFileName != "." && data.cFileName != "..") entries.push_back(data);
  } while (files.FindNextFile(hFind, data) == platform::ERROR_SUCCESS);
  files.FindClose(hFind);
  bool bOk = true;
  for (const FindData& entry : entries) {
    const std::string child = directory + "\\" + entry.cFileName;
    if (!(entry.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY)) {
      bOk = RemoveFile(run, child) && bOk;
    } else {
      RemoveDirectoryTree(run, child);
      bOk = RemoveInstalledDirectory(run, child) && bOk;
    }
    if (run.ctx.bAborted) return false;
  }
  return bOk;
}

}  // namespace tarvium
