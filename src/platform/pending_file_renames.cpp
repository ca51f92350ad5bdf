// PendingFileRenameOperations: reading, appending and carrying out. An empty target is written
// as an empty string inside the multi-string, so the list is read in pairs and only an empty
// source ends it.
#include "platform/pending_file_renames.h"

#include "platform/win_error.h"

namespace platform {
namespace {

void AppendString(std::vector<uint8_t>& data, std::string_view text) {
  data.insert(data.end(), text.begin(), text.end());
  data.push_back(0);
}

// The next zero-terminated string at nPos; false when the data ends before its zero.
bool NextString(const std::vector<uint8_t>& data, size_t& nPos, std::string& text) {
  size_t nEnd = nPos;
  while (nEnd < data.size() && data[nEnd] != 0) ++nEnd;
  if (nEnd >= data.size()) return false;
  text.assign(data.begin() + static_cast<std::ptrdiff_t>(nPos),
              data.begin() + static_cast<std::ptrdiff_t>(nEnd));
  nPos = nEnd + 1;
  return true;
}

uint32_t CarryOut(FileSystem& files, const PendingFileRename& rename) {
  const std::string source = Win32PathOfNtPath(rename.ntSource);
  if (!rename.ntTarget.empty()) {
    return files.MoveFileEx(source, Win32PathOfNtPath(rename.ntTarget),
                            rename.bReplaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
  }
  return files.DirectoryExists(source) ? files.RemoveDirectory(source) : files.DeleteFile(source);
}

}  // namespace

std::vector<uint8_t> EncodePendingFileRenames(const std::vector<PendingFileRename>& renames) {
  std::vector<uint8_t> data;
  for (const PendingFileRename& rename : renames) {
    AppendString(data, rename.ntSource);
    AppendString(data, rename.ntTarget.empty() || !rename.bReplaceExisting ? rename.ntTarget
                                                                           : "!" + rename.ntTarget);
  }
  data.push_back(0);
  return data;
}

std::vector<PendingFileRename> DecodePendingFileRenames(const std::vector<uint8_t>& data) {
  std::vector<PendingFileRename> renames;
  size_t nPos = 0;
  PendingFileRename rename;
  while (NextString(data, nPos, rename.ntSource) && !rename.ntSource.empty() &&
         NextString(data, nPos, rename.ntTarget)) {
    rename.bReplaceExisting = !rename.ntTarget.empty() && rename.ntTarget[0] == '!';
    if (rename.bReplaceExisting) rename.ntTarget.erase(0, 1);
    renames.push_back(rename);
  }
  return renames;
}

std::string Win32PathOfNtPath(std::string_view ntPath) {
  if (ntPath.substr(0, 4) != "\\??\\") return std::string(ntPath);
  ntPath.remove_prefix(4);
  if (ntPath.size() >= 4 && (ntPath.substr(0, 4) == "UNC\\" || ntPath.substr(0, 4) == "unc\\"))
    return "\\\\" + std::string(ntPath.substr(4));
  return std::string(ntPath);
}

uint32_t ReadPendingFileRenames(Registry& registry, std::vector<PendingFileRename>& renames) {
  renames.clear();
  RegValue value;
  const uint32_t err = registry.QueryValue(RegRoot::LocalMachine, kSessionManagerKey,
                                           kPendingFileRenamesValue, value);
  if (err == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (err == ERROR_SUCCESS) renames = DecodePendingFileRenames(value.data);
  return err;
}

uint32_t AppendPendingFileRename(Registry& registry, const PendingFileRename& rename) {
  std::vector<PendingFileRename> renames;
  if (uint32_t err = ReadPendingFileRenames(registry, renames)) return err;
  renames.push_back(rename);
  if (uint32_t err = registry.CreateKey(RegRoot::LocalMachine, kSessionManagerKey, false))
    return err;
  RegValue value;
  value.dwType = REG_MULTI_SZ;
  value.data = EncodePendingFileRenames(renames);
  return registry.SetValue(RegRoot::LocalMachine, kSessionManagerKey, kPendingFileRenamesValue,
                           value);
}

uint32_t RunPendingFileRenames(Registry& registry, FileSystem& files,
                               std::vector<PendingRenameOutcome>* pOutcomes) {
  std::vector<PendingFileRename> renames;
  if (uint32_t err = ReadPendingFileRenames(registry, renames)) return err;
  if (renames.empty()) return ERROR_SUCCESS;
  for (const PendingFileRename& rename : renames) {
    const uint32_t dwError = CarryOut(files, rename);
    if (pOutcomes) pOutcomes->push_back({rename, dwError});
  }
  return registry.DeleteValue(RegRoot::LocalMachine, kSessionManagerKey, kPendingFileRenamesValue);
}

}  // namespace platform
