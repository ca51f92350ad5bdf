// Expression functions over files and disks: DoesFileExist, DoesPathExist, DoesTextInFileExist,
// FileSize, FileVersion, GetDiskFreeSpace and GetDiskFreeSpaceKB. A missing file or drive gives
// "0", never a message: scripts ask these functions precisely to find out whether something is
// there.
#include <algorithm>
#include <cstdint>

#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/file_system.h"
#include "script/file_version_info.h"
#include "script/function_arguments.h"
#include "script/machine_function_groups.h"

namespace tarvium {
namespace {

using platform::FindData;
using platform::FindHandle;

constexpr uint64_t kMaxFreeSpace = 2147483647;

// The first entry matching the pattern (wildcards allowed); with bFilesOnly the first that is no
// directory.
bool FindFirstMatch(SetupRun& run, const std::string& pattern, bool bFilesOnly, FindData& data) {
  if (pattern.empty()) return false;
  platform::FileSystem& files = run.machine.Files();
  FindHandle hFind = FindHandle::Invalid;
  if (files.FindFirstFile(pattern, hFind, data) != platform::ERROR_SUCCESS) return false;
  bool bFound = !bFilesOnly || !(data.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY);
  while (!bFound && files.FindNextFile(hFind, data) == platform::ERROR_SUCCESS)
    bFound = !(data.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY);
  files.FindClose(hFind);
  return bFound;
}

void DoesFileExist(SetupRun& run, std::string_view args, std::string& result) {
  FindData data;
  result = TruthText(FindFirstMatch(run, FunctionArguments(args, 1).Text(0), false, data));
}

void DoesPathExist(SetupRun& run, std::string_view args, std::string& result) {
  const std::string path = FunctionArguments(args, 1).Text(0);
  uint32_t dwAttributes = 0;
  result = TruthText(!path.empty() && run.machine.Files().GetFileAttributes(path, dwAttributes) ==
                                          platform::ERROR_SUCCESS);
}

// A file that exists but cannot be read counts as not containing the text.
void DoesTextInFileExist(SetupRun& run, std::string_view args, std::string& result) {
  const FunctionArguments list(args, 2);
  const std::string file = list.Text(1);
  std::string bytes;
  if (file.empty() || run.machine.Files().ReadWholeFile(file, bytes) != platform::ERROR_SUCCESS) {
    result = "0";
    return;
  }
  const std::string text = platform::AnsiUpper(list.Text(0));
  result = TruthText(platform::AnsiUpper(bytes).find(text) != std::string::npos);
}

void FileSize(SetupRun& run, std::string_view args, std::string& result) {
  FindData data;
  const bool bFound = FindFirstMatch(run, FunctionArguments(args, 1).Text(0), true, data);
  result = std::to_string(bFound ? static_cast<uint32_t>(data.nFileSize) : 0u);
}

// The version text of the file's version resource; empty for a file without one.
void FileVersion(SetupRun& run, std::string_view args, std::string& result) {
  GetFileVersionText(run, FunctionArguments(args, 1).Text(0), result);
}

// The root of a drive ("C:\\") or share ("\\\\server\\share\\") path; empty for any other path.
std::string RootOfFullPath(const std::string& path) {
  const bool bUnc = path.size() > 2 && (path[0] == '\\' || path[0] == '/') && path[1] == path[0];
  if (!bUnc) return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "\\" : "";
  const size_t nServerEnd = path.find_first_of("\\/", 2);
  if (nServerEnd == std::string::npos || nServerEnd == 2) return "";
  return path.substr(0, path.find_first_of("\\/", nServerEnd + 1)) + "\\";
}

// The root a free-space question goes to: the share's root for a network path, else the root of
// the path's drive (a relative path is taken from the current directory).
std::string DiskRootOf(SetupRun& run, const std::string& path) {
  if (std::string root = RootOfFullPath(path); !root.empty() || path.empty()) return root;
  std::string fullPath;
  if (run.machine.Files().GetFullPathName(path, fullPath) != platform::ERROR_SUCCESS) return "";
  return RootOfFullPath(fullPath);
}

// Free bytes of the drive or share, 0 when it cannot be asked.
uint64_t FreeBytes(SetupRun& run, std::string_view args) {
  const std::string root = DiskRootOf(run, FunctionArguments(args, 1).Text(0));
  platform::DiskSpace space;
  if (root.empty() ||
      run.machine.Files().GetDiskFreeSpaceEx(root, space) != platform::ERROR_SUCCESS)
    return 0;
  return space.nTotalFreeBytes;
}

void GetDiskFreeSpace(SetupRun& run, std::string_view args, std::string& result) {
  result = std::to_string(std::min(FreeBytes(run, args), kMaxFreeSpace));
}

void GetDiskFreeSpaceKB(SetupRun& run, std::string_view args, std::string& result) {
  result = std::to_string(std::min(FreeBytes(run, args) / 1024, kMaxFreeSpace));
}

constexpr ExpressionFunction kFunctions[] = {
    {"DoesFileExist", DoesFileExist},
    {"DoesPathExist", DoesPathExist},
    {"DoesTextInFileExist", DoesTextInFileExist},
    {"FileSize", FileSize},
    {"FileVersion", FileVersion},
    {"GetDiskFreeSpace", GetDiskFreeSpace},
    {"GetDiskFreeSpaceKB", GetDiskFreeSpaceKB},
};

}  // namespace

std::span<const ExpressionFunction> FileFunctions() {
  return kFunctions;
}

}  // namespace tarvium
