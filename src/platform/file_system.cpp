// The conveniences of FileSystem, built on its Windows operations so that every backend gets
// them with the same rules.
#include "platform/file_system.h"

#include <algorithm>
#include <span>

#include "platform/pe_resources.h"

namespace platform {

uint32_t FileSystem::GetEntryKind(const std::string& path, bool& bDirectory) {
  uint32_t dwAttributes = 0;
  const uint32_t err = GetFileAttributes(path, dwAttributes);
  bDirectory = err == ERROR_SUCCESS && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
  return err;
}

uint32_t FileSystem::GetFileSizeAndTimes(const std::string& path, FileInfo& info) {
  const uint32_t err = GetFileAttributesEx(path, info);
  info.dwFileAttributes &= FILE_ATTRIBUTE_DIRECTORY;
  info.times.ftCreationTime = 0;
  return err;
}

bool FileSystem::FileExists(const std::string& path) {
  bool bDirectory = false;
  return GetEntryKind(path, bDirectory) == ERROR_SUCCESS && !bDirectory;
}

bool FileSystem::DirectoryExists(const std::string& path) {
  bool bDirectory = false;
  return GetEntryKind(path, bDirectory) == ERROR_SUCCESS && bDirectory;
}

uint32_t FileSystem::IsDirectoryEmpty(const std::string& path, bool& bEmpty) {
  bEmpty = false;
  bool bDirectory = false;
  if (uint32_t err = GetEntryKind(path, bDirectory)) return err;
  if (!bDirectory) return ERROR_DIRECTORY;
  FindHandle hFind = FindHandle::Invalid;
  FindData data;
  bEmpty = true;
  if (FindFirstFile(path + "\\*", hFind, data) != ERROR_SUCCESS) return ERROR_SUCCESS;
  do {
    bEmpty = data.cFileName == "." || data.cFileName == "..";
  } while (bEmpty && FindNextFile(hFind, data) == ERROR_SUCCESS);
  FindClose(hFind);
  return ERROR_SUCCESS;
}

uint32_t FileSystem::GetFileVersionInfo(const std::string& path, std::vector<uint8_t>& block) {
  block.clear();
  std::string bytes;
  if (uint32_t err = ReadWholeFile(path, bytes)) return err;
  const std::span<const uint8_t> image(reinterpret_cast<const uint8_t*>(bytes.data()),
                                       bytes.size());
  std::span<const uint8_t> data;
  if (uint32_t err = FindPeResource(image, RT_VERSION, data)) return err;
  block.assign(data.begin(), data.end());
  return ERROR_SUCCESS;
}

uint32_t FileSystem::GetFileSize(const std::string& path, uint64_t& nSize) {
  FileInfo info;
  const uint32_t err = GetFileAttributesEx(path, info);
  nSize = err == ERROR_SUCCESS ? info.nFileSize : 0;
  return err;
}

uint32_t FileSystem::OpenForReading(const std::string& path, FileHandle& hFile, FileInfo& info) {
  info = FileInfo();
  if (uint32_t err = CreateFile(path, GENERIC_READ, OPEN_EXISTING, 0, hFile)) return err;
  return AskNewHandle(hFile, info);
}

uint32_t FileSystem::AskNewHandle(FileHandle& hFile, FileInfo& info) {
  const uint32_t err = GetFileInformationByHandle(hFile, info);
  if (err) {
    CloseHandle(hFile);
    hFile = FileHandle::Invalid;
  }
  return err;
}

uint32_t FileSystem::ReadFileAt(FileHandle hFile, uint64_t nOffset, void* pBuffer, uint32_t nToRead,
                                uint32_t& nRead) {
  nRead = 0;
  uint64_t nPosition = 0;
  if (uint32_t err = SetFilePointerEx(hFile, 0, FILE_CURRENT, &nPosition)) return err;
  if (uint32_t err = SetFilePointerEx(hFile, static_cast<int64_t>(nOffset), FILE_BEGIN, nullptr))
    return err;
  const uint32_t errRead = ReadFile(hFile, pBuffer, nToRead, nRead);
  const uint32_t errBack =
      SetFilePointerEx(hFile, static_cast<int64_t>(nPosition), FILE_BEGIN, nullptr);
  return errRead ? errRead : errBack;
}

uint32_t FileSystem::CopyFileRange(FileHandle hFrom, FileHandle hTo, uint32_t nToCopy,
                                   uint32_t& nCopied) {
  nCopied = 0;
  std::vector<uint8_t> buffer(nToCopy);
  uint32_t nRead = 0;
  if (uint32_t err = ReadFile(hFrom, buffer.data(), nToCopy, nRead)) return err;
  if (nRead == 0) return ERROR_SUCCESS;
  if (uint32_t err = WriteFile(hTo, buffer.data(), nRead, nCopied)) return err;
  return nCopied == nRead ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

uint32_t FileSystem::WriteWholeFile(const std::string& path, const std::string& bytes) {
  FileHandle hFile = FileHandle::Invalid;
  if (uint32_t err = CreateFile(path, GENERIC_WRITE, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, hFile))
    return err;
  uint32_t err = ERROR_SUCCESS;
  size_t nDone = 0;
  while (err == ERROR_SUCCESS && nDone < bytes.size()) {
    const auto nChunk = static_cast<uint32_t>(std::min<size_t>(bytes.size() - nDone, 1u << 20));
    uint32_t nWritten = 0;
    err = WriteFile(hFile, bytes.data() + nDone, nChunk, nWritten);
    if (err == ERROR_SUCCESS && nWritten == 0) err = ERROR_WRITE_FAULT;
    nDone += nWritten;
  }
  if (err == ERROR_SUCCESS) err = SetEndOfFile(hFile);
  const uint32_t errClose = CloseHandle(hFile);
  return err != ERROR_SUCCESS ? err : errClose;
}

}  // namespace platform
