// The overlay file system's open files. A read-only open of a file the run has not changed is the
// wrapped machine's own handle; every other open works on the overlay's entry: its bytes in
// memory, or the wrapped file it was copied from, read through a handle of its own until the run
// writes and the bytes are brought into memory. A writing handle completes its FileWritten change
// with the file's size when it is closed.
#include <algorithm>
#include <cstring>

#include "platform/recording/overlay_file_system.h"

namespace platform {

FileHandle OverlayFileSystem::NewHandle(OpenFile open) {
  const uint32_t nHandle = ++m_nLastHandle;
  m_open.emplace(nHandle, std::move(open));
  return static_cast<FileHandle>(nHandle);
}

OverlayFileSystem::OpenFile* OverlayFileSystem::FindOpen(FileHandle hFile) {
  auto it = m_open.find(static_cast<uint32_t>(hFile));
  return it == m_open.end() ? nullptr : &it->second;
}

OverlayEntry* OverlayFileSystem::EntryOf(const OpenFile& open) {
  OverlayEntry* pEntry = m_entries.Find(open.key);
  return pEntry && pEntry->state == EntryState::File ? pEntry : nullptr;
}

uint32_t OverlayFileSystem::WritableEntry(FileHandle hFile, OpenFile*& pOpen,
                                          OverlayEntry*& pEntry) {
  pOpen = FindOpen(hFile);
  if (!pOpen) return ERROR_INVALID_HANDLE;
  if (!pOpen->bWrite) return ERROR_ACCESS_DENIED;
  pEntry = EntryOf(*pOpen);
  return pEntry ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

uint32_t OverlayFileSystem::CreateFile(const std::string& path, uint32_t dwDesiredAccess,
                                       uint32_t dwCreationDisposition, uint32_t dwAttributes,
                                       FileHandle& hFile) {
  hFile = FileHandle::Invalid;
  Presence file;
  if (uint32_t dwError = Locate(path, file)) return dwError;
  if (file.bExists && file.IsDirectory()) return ERROR_ACCESS_DENIED;
  const bool bOpensOnly = dwCreationDisposition == OPEN_EXISTING ||
                          (dwCreationDisposition == OPEN_ALWAYS && file.bExists);
  if (!(dwDesiredAccess & GENERIC_WRITE) && bOpensOnly && file.bExists && !file.pEntry) {
    OpenFile open;
    if (uint32_t dwError = m_wrapped.CreateFile(file.fullPath, dwDesiredAccess, OPEN_EXISTING,
                                                dwAttributes, open.hWrapped))
      return dwError;
    hFile = NewHandle(std::move(open));
    return ERROR_SUCCESS;
  }
  return CreateOverlayFile(file, dwDesiredAccess, dwCreationDisposition, dwAttributes, hFile);
}

uint32_t OverlayFileSystem::CreateOverlayFile(Presence& file, uint32_t dwDesiredAccess,
                                              uint32_t dwCreationDisposition, uint32_t dwAttributes,
                                              FileHandle& hFile) {
  switch (dwCreationDisposition) {
    case CREATE_NEW:
      if (file.bExists) return ERROR_FILE_EXISTS;
      break;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
      if (!file.bExists) return MissingError(file);
      break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      break;
    default:
      return ERROR_INVALID_PARAMETER;
  }
  if (!file.bExists)
    if (uint32_t dwError = CheckParent(file)) return dwError;
  const bool bWrite = (dwDesiredAccess & GENERIC_WRITE) != 0;
  const bool bTruncate = !file.bExists || dwCreationDisposition == CREATE_ALWAYS ||
                         dwCreationDisposition == TRUNCATE_EXISTING;
  if (file.bExists && (bWrite || bTruncate))
    if (uint32_t dwError = CheckWritable(file)) return dwError;
  if (bTruncate) {
    const uint64_t ftNow = Now();
    FileInfo info;
    info.dwFileAttributes = dwCreationDisposition == TRUNCATE_EXISTING
                                ? file.info.dwFileAttributes
                                : (dwAttributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE;
    info.times = {file.bExists ? file.info.times.ftCreationTime : ftNow, ftNow, ftNow};
    PutFile(file, {std::make_shared<std::string>(), {}}, info);
  } else {
    EntryFor(file);
  }
  OpenFile open;
  open.key = file.key;
  open.bWrite = bWrite;
  if (bWrite || bTruncate) open.nChange = m_changes.Add(ChangeKind::FileWritten, file.fullPath);
  hFile = NewHandle(std::move(open));
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::OpenForReading(const std::string& path, FileHandle& hFile,
                                           FileInfo& info) {
  if (uint32_t dwError = CreateFile(path, GENERIC_READ, OPEN_EXISTING, 0, hFile)) return dwError;
  return AskNewHandle(hFile, info);
}

uint32_t OverlayFileSystem::ReadContent(OpenFile& open, OverlayEntry& entry, void* pBuffer,
                                        uint32_t nToRead, uint32_t& nRead) {
  nRead = 0;
  if (!entry.content.bytes) {
    if (open.hSource == FileHandle::Invalid) {
      FileInfo sourceInfo;
      if (uint32_t dwError =
              m_wrapped.OpenForReading(entry.content.sourcePath, open.hSource, sourceInfo))
        return dwError;
    }
    return m_wrapped.ReadFileAt(open.hSource, open.nPosition, pBuffer, nToRead, nRead);
  }
  const std::string& bytes = *entry.content.bytes;
  if (open.nPosition >= bytes.size()) return ERROR_SUCCESS;
  nRead = static_cast<uint32_t>(std::min<uint64_t>(nToRead, bytes.size() - open.nPosition));
  std::memcpy(pBuffer, bytes.data() + open.nPosition, nRead);
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::ReadFile(FileHandle hFile, void* pBuffer, uint32_t nToRead,
                                     uint32_t& nRead) {
  nRead = 0;
  OpenFile* pOpen = FindOpen(hFile);
  if (!pOpen) return ERROR_INVALID_HANDLE;
  if (pOpen->hWrapped != FileHandle::Invalid)
    return m_wrapped.ReadFile(pOpen->hWrapped, pBuffer, nToRead, nRead);
  OverlayEntry* pEntry = EntryOf(*pOpen);
  if (!pEntry) return ERROR_INVALID_HANDLE;
  const uint32_t dwError = ReadContent(*pOpen, *pEntry, pBuffer, nToRead, nRead);
  pOpen->nPosition += nRead;
  return dwError;
}

uint32_t OverlayFileSystem::WriteFile(FileHandle hFile, const void* pBuffer, uint32_t nToWrite,
                                      uint32_t& nWritten) {
  nWritten = 0;
  OpenFile* pOpen = nullptr;
  OverlayEntry* pEntry = nullptr;
  if (uint32_t dwError = WritableEntry(hFile, pOpen, pEntry)) return dwError;
  if (uint32_t dwError = OwnBytes(*pEntry)) return dwError;
  std::string& bytes = *pEntry->content.bytes;
  const uint64_t nEnd = pOpen->nPosition + nToWrite;
  if (nEnd > bytes.size()) bytes.resize(nEnd, '\0');
  std::memcpy(bytes.data() + pOpen->nPosition, pBuffer, nToWrite);
  m_entries.Resize(pOpen->key, *pEntry, bytes.size());
  if (!pOpen->bTimesFixed) pEntry->info.times.ftLastWriteTime = Now();
  pOpen->nPosition = nEnd;
  nWritten = nToWrite;
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::SetFilePointerEx(FileHandle hFile, int64_t nDistance,
                                             uint32_t dwMoveMethod, uint64_t* pNewPosition) {
  OpenFile* pOpen = FindOpen(hFile);
  if (!pOpen) return ERROR_INVALID_HANDLE;
  if (pOpen->hWrapped != FileHandle::Invalid)
    return m_wrapped.SetFilePointerEx(pOpen->hWrapped, nDistance, dwMoveMethod, pNewPosition);
  OverlayEntry* pEntry = EntryOf(*pOpen);
  if (!pEntry) return ERROR_INVALID_HANDLE;
  int64_t nBase = 0;
  if (dwMoveMethod == FILE_CURRENT)
    nBase = static_cast<int64_t>(pOpen->nPosition);
  else if (dwMoveMethod == FILE_END)
    nBase = static_cast<int64_t>(pEntry->info.nFileSize);
  else if (dwMoveMethod != FILE_BEGIN)
    return ERROR_INVALID_PARAMETER;
  if (nBase + nDistance < 0) return ERROR_NEGATIVE_SEEK;
  pOpen->nPosition = static_cast<uint64_t>(nBase + nDistance);
  if (pNewPosition) *pNewPosition = pOpen->nPosition;
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::SetEndOfFile(FileHandle hFile) {
  OpenFile* pOpen = nullptr;
  OverlayEntry* pEntry = nullptr;
  if (uint32_t dwError = WritableEntry(hFile, pOpen, pEntry)) return dwError;
  if (uint32_t dwError = OwnBytes(*pEntry)) return dwError;
  pEntry->content.bytes->resize(pOpen->nPosition, '\0');
  m_entries.Resize(pOpen->key, *pEntry, pOpen->nPosition);
  if (!pOpen->bTimesFixed) pEntry->info.times.ftLastWriteTime = Now();
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::GetFileInformationByHandle(FileHandle hFile, FileInfo& info) {
  OpenFile* pOpen = FindOpen(hFile);
  if (!pOpen) return ERROR_INVALID_HANDLE;
  if (pOpen->hWrapped != FileHandle::Invalid)
    return m_wrapped.GetFileInformationByHandle(pOpen->hWrapped, info);
  OverlayEntry* pEntry = EntryOf(*pOpen);
  if (!pEntry) return ERROR_INVALID_HANDLE;
  info = pEntry->info;
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::GetFileSizeEx(FileHandle hFile, uint64_t& nSize) {
  FileInfo info;
  const uint32_t dwError = GetFileInformationByHandle(hFile, info);
  nSize = info.nFileSize;
  return dwError;
}

uint32_t OverlayFileSystem::GetFileTime(FileHandle hFile, FileTimes& times) {
  FileInfo info;
  const uint32_t dwError = GetFileInformationByHandle(hFile, info);
  times = info.times;
  return dwError;
}

uint32_t OverlayFileSystem::SetFileTime(FileHandle hFile, const FileTimes& times) {
  OpenFile* pOpen = nullptr;
  OverlayEntry* pEntry = nullptr;
  if (uint32_t dwError = WritableEntry(hFile, pOpen, pEntry)) return dwError;
  LayTimes(pEntry->info.times, times);
  pOpen->bTimesFixed = true;
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::CloseHandle(FileHandle hFile) {
  auto it = m_open.find(static_cast<uint32_t>(hFile));
  if (it == m_open.end()) return ERROR_INVALID_HANDLE;
  OpenFile& open = it->second;
  uint32_t dwError = ERROR_SUCCESS;
  if (open.hWrapped != FileHandle::Invalid) dwError = m_wrapped.CloseHandle(open.hWrapped);
  if (open.hSource != FileHandle::Invalid) m_wrapped.CloseHandle(open.hSource);
  if (open.bWrite)
    if (const OverlayEntry* pEntry = EntryOf(open))
      m_changes.SetDetail(open.nChange, std::to_string(pEntry->info.nFileSize) + " bytes");
  m_open.erase(it);
  return dwError;
}

}  // namespace platform
