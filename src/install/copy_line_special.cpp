#include "install/copy_line_special.h"

#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/copy_flags.h"
#include "install/shared_files.h"
#include "platform/ansi_case.h"
#include "script/launch_program.h"

namespace tarvium {
namespace {

constexpr uint32_t kAttributeWords = 0x7;  // RDONLY, HIDDEN, SYSTEM

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         platform::AnsiEqualNoCase(std::string_view(text).substr(text.size() - suffix.size()),
                                   suffix);
}

bool CreateDirectoryOrSay(SetupRun& run, const std::string& dir) {
  const uint32_t err = run.machine.Files().CreateDirectoryTree(dir);
  if (err == platform::ERROR_SUCCESS || err == platform::ERROR_ALREADY_EXISTS) return true;
  ShowMessage(run, 5507, dir);
  return false;
}

void ApplyAttributes(SetupRun& run, const std::string& path, uint32_t dwAttributes) {
  if (dwAttributes & kAttributeWords)
    run.machine.Files().SetFileAttributes(path, dwAttributes & kAttributeWords);
}

// WinHlp32 builds the index of the help file beside it.
void BuildHelpIndex(SetupRun& run, const std::string& gidPath) {
  const std::string helpFile = gidPath.substr(0, gidPath.size() - 4) + ".hlp";
  LaunchProgram(run, "WinHlp32.exe -g " + helpFile, "", "", false, true, true, nullptr, nullptr,
                "");
}

bool CreateEmptyFile(SetupRun& run, const std::string& path, uint32_t dwAttributes) {
  platform::FileSystem& files = run.machine.Files();
  if (files.FileExists(path)) files.SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
  const size_t nSlash = path.find_last_of('\\');
  if (nSlash != std::string::npos && nSlash > 2 &&
      !CreateDirectoryOrSay(run, path.substr(0, nSlash)))
    return false;
  if (EndsWithNoCase(path, ".gid") && RunOsVersion(run).dwMajorVersion >= 4) {
    BuildHelpIndex(run, path);
    return true;
  }
  platform::FileHandle hFile;
  if (files.CreateFile(path, platform::GENERIC_WRITE, platform::CREATE_ALWAYS, 0, hFile) != 0) {
    ShowMessage(run, 5504, path);
    return false;
  }
  files.CloseHandle(hFile);
  ApplyAttributes(run, path, dwAttributes);
  return true;
}

// A file that is already gone is removed; one in use is left to the deferral of RemoveFile.
bool RemoveIfPresent(SetupRun& run, const std::string& path) {
  return !run.machine.Files().FileExists(path) || RemoveFile(run, path);
}

}  // namespace

bool CreateOrRemoveDestination(SetupRun& run, const std::string& destination, uint32_t dwCopyFlags,
                               uint32_t dwAttributes) {
  const bool bUninstall = run.ctx.bUninstall;
  const bool bFile = !destination.ends_with('\\') && !(dwCopyFlags & COPY_DIRECTORY);
  if (bFile) {
    if (bUninstall) return RemoveIfPresent(run, destination);
    return CreateEmptyFile(run, destination, dwAttributes);
  }
  std::string dir = destination;
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  if (bUninstall) {
    if (dwCopyFlags & COPY_CASCADED) RemoveDirectoryTree(run, dir);
    RemoveInstalledDirectory(run, dir);
    return true;
  }
  if (!CreateDirectoryOrSay(run, dir)) return false;
  ApplyAttributes(run, dir, dwAttributes);
  return true;
}

bool DeleteDestination(SetupRun& run, const std::string& destination) {
  return !run.ctx.bUninstall || RemoveIfPresent(run, destination);
}

}  // namespace tarvium
