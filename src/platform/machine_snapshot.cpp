// Taking, keeping and reading back snapshots. Files are listed through the machine's FileSystem,
// so attributes and times are those the engine sees; the registry is written as byte-exact .reg
// text.
#include "platform/machine_snapshot.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/code_page.h"
#include "platform/error_text.h"
#include "platform/reg_export.h"
#include "platform/win_error.h"

namespace platform {
namespace {

constexpr const char* kFilesName = "files.tsv";
constexpr const char* kRegistryName = "registry.reg";

void ListFolder(FileSystem& files, const std::string& folder, std::vector<SnapshotFile>& out) {
  FindHandle hFind;
  FindData data;
  if (files.FindFirstFile(folder + "\\*", hFind, data) != ERROR_SUCCESS) return;
  std::vector<std::string> subfolders;
  do {
    if (data.cFileName == "." || data.cFileName == "..") continue;
    const bool bDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::string path = folder + "\\" + data.cFileName;
    out.push_back(
        {path, bDirectory, data.nFileSize, data.dwFileAttributes, data.times.ftLastWriteTime});
    // A junction or link to a folder is listed, not followed: its target is listed where it is.
    if (bDirectory && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      subfolders.push_back(path);
  } while (files.FindNextFile(hFind, data) == ERROR_SUCCESS);
  files.FindClose(hFind);
  for (const std::string& subfolder : subfolders) ListFolder(files, subfolder, out);
}

}  // namespace

bool TakeSnapshot(FileSystem& files, Registry& registry, const SnapshotScope& scope,
                  MachineSnapshot& snapshot, std::string& error) {
  snapshot = {};
  for (const std::string& root : scope.roots) ListFolder(files, root, snapshot.files);
  if (uint32_t err = ExportWholeRegistry(registry, snapshot.registryText, scope.skippedKeys);
      err != ERROR_SUCCESS) {
    error = "cannot export the registry (" + ErrorCodeText(err) + ")";
    return false;
  }
  return true;
}

bool SaveSnapshot(const MachineSnapshot& snapshot, const std::string& hostDir, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(hostDir, ec);
  std::ofstream files(hostDir + "/" + kFilesName, std::ios::binary);
  for (const SnapshotFile& file : snapshot.files)
    files << (file.bDirectory ? 'd' : 'f') << '\t' << AnsiToUtf8(file.path) << '\t' << file.nSize
          << '\t' << file.dwAttributes << '\t' << file.ftLastWriteTime << '\n';
  std::ofstream registry(hostDir + "/" + kRegistryName, std::ios::binary);
  registry << snapshot.registryText;
  if (ec || !files.flush() || !registry.flush()) {
    error = "cannot write the snapshot to '" + hostDir + "'";
    return false;
  }
  return true;
}

bool LoadSnapshot(const std::string& hostDir, MachineSnapshot& snapshot, std::string& error) {
  snapshot = {};
  std::ifstream files(hostDir + "/" + kFilesName, std::ios::binary);
  std::ifstream registry(hostDir + "/" + kRegistryName, std::ios::binary);
  if (!files || !registry) {
    error = "'" + hostDir + "' is neither a machine nor a snapshot";
    return false;
  }
  std::string line;
  for (int nLine = 1; std::getline(files, line); ++nLine) {
    std::istringstream fields(line);
    std::string kind, path;
    SnapshotFile file;
    if (!std::getline(fields, kind, '\t') || !std::getline(fields, path, '\t') ||
        !(fields >> file.nSize >> file.dwAttributes >> file.ftLastWriteTime)) {
      error = hostDir + "/" + kFilesName + ", line " + std::to_string(nLine) + ": malformed";
      return false;
    }
    file.bDirectory = kind == "d";
    file.path = Utf8ToAnsi(path);
    snapshot.files.push_back(std::move(file));
  }
  std::ostringstream text;
  text << registry.rdbuf();
  snapshot.registryText = text.str();
  return true;
}

}  // namespace platform
