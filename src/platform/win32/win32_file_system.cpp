// Win32FileSystem: each operation is the Win32 function of its name. Files open with the sharing
// Windows programs commonly ask for: a reader lets others read and write (as the C runtime's
// fopen does), a writer lets others only read, so that two writers never mix their bytes; a file
// that a program runs or locks therefore refuses a writer with ERROR_SHARING_VIOLATION, as the
// interface says. The version of a file comes from the system's GetFileVersionInfo; when there is
// none, the loader is asked why, so that the answer has the interface's error codes.
#include "platform/win32/win32_file_system.h"

#include <algorithm>

#include "platform/ansi_case.h"

#include "platform/win32/windows_api.h"

#undef CopyFile
#undef CreateDirectory
#undef CreateFile
#undef DeleteFile
#undef FindFirstFile
#undef FindNextFile
#undef GetCurrentDirectory
#undef GetDiskFreeSpaceEx
#undef GetFileAttributes
#undef GetFileAttributesEx
#undef GetFileVersionInfo
#undef GetFullPathName
#undef GetLongPathName
#undef GetShortPathName
#undef GetTempFileName
#undef GetTempPath
#undef MoveFileEx
#undef RemoveDirectory
#undef SetCurrentDirectory
#undef SetFileAttributes

namespace platform::win32 {
namespace {

// The attributes a file may be given (the interface's list); the system adds
// FILE_ATTRIBUTE_ARCHIVE to a new file itself.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The error of a failed call; a failure the system left without an error is still one.
uint32_t LastError() {
  const DWORD err = ::GetLastError();
  return err != ERROR_SUCCESS ? err : ERROR_GEN_FAILURE;
}

uint32_t ResultOf(BOOL bDone) {
  return bDone ? ERROR_SUCCESS : LastError();
}

// FILETIME and the interface's 100 ns count are the same number in two halves or in one.
uint64_t FromFileTime(const FILETIME& ft) {
  return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
}

FILETIME ToFileTime(uint64_t nTime) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(nTime);
  ft.dwHighDateTime = static_cast<DWORD>(nTime >> 32);
  return ft;
}

// Sets the times of an open handle: a time of 0 is no change, which the system asks as null.
uint32_t SetHandleTimes(HANDLE hSystem, const FileTimes& times) {
  const FILETIME creation = ToFileTime(times.ftCreationTime);
  const FILETIME access = ToFileTime(times.ftLastAccessTime);
  const FILETIME write = ToFileTime(times.ftLastWriteTime);
  const auto given = [](uint64_t nTime, const FILETIME& ft) { return nTime ? &ft : nullptr; };
  return ResultOf(::SetFileTime(hSystem, given(times.ftCreationTime, creation),
                                given(times.ftLastAccessTime, access),
                                given(times.ftLastWriteTime, write)));
}

// WIN32_FILE_ATTRIBUTE_DATA, WIN32_FIND_DATAA and BY_HANDLE_FILE_INFORMATION name their
// attributes, times and size alike.
template <class SystemInfo>
FileInfo InfoOf(const SystemInfo& system) {
  FileInfo info;
  info.dwFileAttributes = system.dwFileAttributes;
  info.times = {FromFileTime(system.ftCreationTime), FromFileTime(system.ftLastAccessTime),
                FromFileTime(system.ftLastWriteTime)};
  if (!(system.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    info.nFileSize = static_cast<uint64_t>(system.nFileSizeHigh) << 32 | system.nFileSizeLow;
  return info;
}

FindData FindDataOf(const WIN32_FIND_DATAA& found) {
  FindData data;
  static_cast<FileInfo&>(data) = InfoOf(found);
  data.cFileName = found.cFileName;
  return data;
}

// Fills `text` through a function of the convention of GetCurrentDirectoryA, GetFullPathNameA,
// GetTempPathA and the path-form functions: given a buffer of nSize characters it returns the
// length written, or the size it needs when the buffer is too small, or 0 on failure.
template <class Fill>
uint32_t FillString(std::string& text, Fill fill) {
  text.assign(MAX_PATH, '\0');
  for (;;) {
    const DWORD nLength = fill(text.data(), static_cast<DWORD>(text.size()));
    if (nLength == 0) {
      text.clear();
      return LastError();
    }
    if (nLength < text.size()) {
      text.resize(nLength);
      return ERROR_SUCCESS;
    }
    text.assign(nLength, '\0');
  }
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The directory above `path` ("C:\a" for "C:\a\b\", "C:\" for "C:\a"), or "" above a root.
std::string ParentOf(std::string path) {
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  const size_t nSeparator = path.find_last_of("\\/");
  if (nSeparator == std::string::npos) return "";
  const bool bRootAbove = nSeparator == 0 || path[nSeparator - 1] == ':';
  return path.substr(0, bRootAbove ? nSeparator + 1 : nSeparator);
}

// The pattern that lists everything in a directory.
std::string AllEntriesOf(const std::string& dir) {
  const bool bEndsInName = !dir.empty() && !IsSeparator(dir.back()) && dir.back() != ':';
  return dir + (bEndsInName ? "\\*" : "*");
}

bool IsDotEntry(const std::string& name) {
  return name == "." || name == "..";
}

// The interface's order: "." and ".." first, then by upper-case name, whatever order the volume
// keeps.
void SortAsListed(std::vector<FindData>& entries) {
  std::sort(entries.begin(), entries.end(), [](const FindData& a, const FindData& b) {
    const bool bDotA = IsDotEntry(a.cFileName);
    const bool bDotB = IsDotEntry(b.cFileName);
    if (bDotA != bDotB) return bDotA;
    return AnsiCompareNoCase(a.cFileName, b.cFileName) < 0;
  });
}

// Every entry that matches the pattern, in the interface's order.
uint32_t ListMatches(const std::string& pattern, std::vector<FindData>& entries) {
  entries.clear();
  WIN32_FIND_DATAA found;
  const HANDLE hFind = ::FindFirstFileA(pattern.c_str(), &found);
  if (hFind == INVALID_HANDLE_VALUE) return LastError();
  do entries.push_back(FindDataOf(found));
  while (::FindNextFileA(hFind, &found));
  const uint32_t err = ::GetLastError() == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : LastError();
  ::FindClose(hFind);
  SortAsListed(entries);
  return err;
}

BOOL CALLBACK CountResourceName(HMODULE, LPCSTR, LPSTR, LONG_PTR pnCount) {
  ++*reinterpret_cast<uint32_t*>(pnCount);
  return TRUE;
}

}  // namespace

Win32FileSystem::~Win32FileSystem() {
  for (const auto& [nId, hSystem] : openFiles_) ::CloseHandle(hSystem);
}

void* Win32FileSystem::SystemHandleOf(FileHandle hFile) const {
  const auto it = openFiles_.find(static_cast<uint32_t>(hFile));
  return it == openFiles_.end() ? nullptr : it->second;
}

uint32_t Win32FileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  FileHandle hFile = FileHandle::Invalid;
  if (uint32_t err = CreateFile(path, GENERIC_READ, OPEN_EXISTING, 0, hFile)) return err;
  uint64_t nSize = 0;
  uint32_t err = GetFileSizeEx(hFile, nSize) == ERROR_SUCCESS && nSize <= bytes.max_size()
                     ? ERROR_SUCCESS
                     : ERROR_READ_FAULT;
  if (err == ERROR_SUCCESS) bytes.resize(static_cast<size_t>(nSize));
  for (size_t nDone = 0; err == ERROR_SUCCESS && nDone < bytes.size();) {
    const auto nChunk = static_cast<uint32_t>(std::min<size_t>(bytes.size() - nDone, 1u << 24));
    uint32_t nRead = 0;
    if (ReadFile(hFile, bytes.data() + nDone, nChunk, nRead) != ERROR_SUCCESS || nRead == 0)
      err = ERROR_READ_FAULT;
    nDone += nRead;
  }
  CloseHandle(hFile);
  if (err) bytes.clear();
  return err;
}

// --- Open files ---------------------------------------------------------------------------------

uint32_t Win32FileSystem::CreateFile(const std::string& path, uint32_t dwDesiredAccess,
                                     uint32_t dwCreationDisposition, uint32_t dwAttributes,
                                     FileHandle& hFile) {
  hFile = FileHandle::Invalid;
  const DWORD dwShareMode =
      (dwDesiredAccess & GENERIC_WRITE) ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
  const DWORD dwNewAttributes = dwAttributes & kSettableAttributes;
  const HANDLE hSystem =
      ::CreateFileA(path.c_str(), dwDesiredAccess, dwShareMode, nullptr, dwCreationDisposition,
                    dwNewAttributes ? dwNewAttributes : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hSystem == INVALID_HANDLE_VALUE) return LastError();
  const uint32_t nId = ++nLastHandle_;
  openFiles_.emplace(nId, hSystem);
  hFile = static_cast<FileHandle>(nId);
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::ReadFile(FileHandle hFile, void* pBuffer, uint32_t nToRead,
                                   uint32_t& nRead) {
  nRead = 0;
  const HANDLE hSystem = SystemHandleOf(hFile);
  if (!hSystem) return ERROR_INVALID_HANDLE;
  DWORD nDone = 0;
  const uint32_t err = ResultOf(::ReadFile(hSystem, pBuffer, nToRead, &nDone, nullptr));
  nRead = nDone;
  return err;
}

uint32_t Win32FileSystem::WriteFile(FileHandle hFile, const void* pBuffer, uint32_t nToWrite,
                                    uint32_t& nWritten) {
  nWritten = 0;
  const HANDLE hSystem = SystemHandleOf(hFile);
  if (!hSystem) return ERROR_INVALID_HANDLE;
  DWORD nDone = 0;
  const uint32_t err = ResultOf(::WriteFile(hSystem, pBuffer, nToWrite, &nDone, nullptr));
  nWritten = nDone;
  return err;
}

uint32_t Win32FileSystem::SetFilePointerEx(FileHandle hFile, int64_t nDistance,
                                           uint32_t dwMoveMethod, uint64_t* pNewPosition) {
  const HANDLE hSystem = SystemHandleOf(hFile);
  if (!hSystem) return ERROR_INVALID_HANDLE;
  LARGE_INTEGER distance;
  distance.QuadPart = nDistance;
  LARGE_INTEGER position;
  position.QuadPart = 0;
  if (!::SetFilePointerEx(hSystem, distance, &position, dwMoveMethod)) return LastError();
  if (pNewPosition) *pNewPosition = static_cast<uint64_t>(position.QuadPart);
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::SetEndOfFile(FileHandle hFile) {
  const HANDLE hSystem = SystemHandleOf(hFile);
  return hSystem ? ResultOf(::SetEndOfFile(hSystem)) : ERROR_INVALID_HANDLE;
}

uint32_t Win32FileSystem::GetFileSizeEx(FileHandle hFile, uint64_t& nSize) {
  nSize = 0;
  const HANDLE hSystem = SystemHandleOf(hFile);
  if (!hSystem) return ERROR_INVALID_HANDLE;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(hSystem, &size)) return LastError();
  nSize = static_cast<uint64_t>(size.QuadPart);
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::GetFileTime(FileHandle hFile, FileTimes& times) {
  times = FileTimes();
  const HANDLE hSystem = SystemHandleOf(hFile);
  if (!hSystem) return ERROR_INVALID_HANDLE;
  FILETIME creation, access, write;
  if (!::GetFileTime(hSystem, &creation, &access, &write)) return LastError();
  times = {FromFileTime(creation), FromFileTime(access), FromFileTime(write)};
  return ERROR_SUCCESS;
}

// The basic and standard information classes carry all a FileInfo holds, without the volume's
// serial number that ::GetFileInformationByHandle adds, which can take a round trip to the mount
// manager for each file (a millisecond a file under Wine).
uint32_t Win32FileSystem::GetFileInformationByHandle(FileHandle hFile, FileInfo& info) {
  info = FileInfo();
  const HANDLE hSystem = SystemHandleOf(hFile);
  if (!hSystem) return ERROR_INVALID_HANDLE;
  FILE_BASIC_INFO basic;
  FILE_STANDARD_INFO standard;
  if (!::GetFileInformationByHandleEx(hSystem, FileBasicInfo, &basic, sizeof basic) ||
      !::GetFileInformationByHandleEx(hSystem, FileStandardInfo, &standard, sizeof standard))
    return LastError();
  info.dwFileAttributes = basic.FileAttributes;
  info.times = {static_cast<uint64_t>(basic.CreationTime.QuadPart),
                static_cast<uint64_t>(basic.LastAccessTime.QuadPart),
                static_cast<uint64_t>(basic.LastWriteTime.QuadPart)};
  if (!standard.Directory) info.nFileSize = static_cast<uint64_t>(standard.EndOfFile.QuadPart);
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::SetFileTime(FileHandle hFile, const FileTimes& times) {
  const HANDLE hSystem = SystemHandleOf(hFile);
  return hSystem ? SetHandleTimes(hSystem, times) : ERROR_INVALID_HANDLE;
}

uint32_t Win32FileSystem::CloseHandle(FileHandle hFile) {
  const auto it = openFiles_.find(static_cast<uint32_t>(hFile));
  if (it == openFiles_.end()) return ERROR_INVALID_HANDLE;
  const HANDLE hSystem = it->second;
  openFiles_.erase(it);
  return ResultOf(::CloseHandle(hSystem));
}

// --- Files and directories by path --------------------------------------------------------------

uint32_t Win32FileSystem::GetFileAttributes(const std::string& path, uint32_t& dwAttributes) {
  dwAttributes = ::GetFileAttributesA(path.c_str());
  return dwAttributes != INVALID_FILE_ATTRIBUTES ? ERROR_SUCCESS : LastError();
}

uint32_t Win32FileSystem::SetFileAttributes(const std::string& path, uint32_t dwAttributes) {
  // Others, such as FILE_ATTRIBUTE_DIRECTORY of an entry's listing, are no change to make; none
  // left is FILE_ATTRIBUTE_NORMAL to the system.
  return ResultOf(::SetFileAttributesA(path.c_str(), dwAttributes & kSettableAttributes));
}

uint32_t Win32FileSystem::GetFileAttributesEx(const std::string& path, FileInfo& info) {
  info = FileInfo();
  WIN32_FILE_ATTRIBUTE_DATA system;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &system)) return LastError();
  info = InfoOf(system);
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::SetFileTimes(const std::string& path, const FileTimes& times) {
  // Only the right to change attributes, which a read-only file grants too; backup semantics
  // open a directory.
  const HANDLE hSystem = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (hSystem == INVALID_HANDLE_VALUE) return LastError();
  const uint32_t err = SetHandleTimes(hSystem, times);
  ::CloseHandle(hSystem);
  return err;
}

uint32_t Win32FileSystem::DeleteFile(const std::string& path) {
  return ResultOf(::DeleteFileA(path.c_str()));
}

uint32_t Win32FileSystem::CopyFile(const std::string& existingPath, const std::string& newPath,
                                   bool bFailIfExists) {
  return ResultOf(::CopyFileA(existingPath.c_str(), newPath.c_str(), bFailIfExists));
}

uint32_t Win32FileSystem::MoveFileEx(const std::string& existingPath, const std::string& newPath,
                                     uint32_t dwFlags) {
  // An empty target is null, which with MOVEFILE_DELAY_UNTIL_REBOOT deletes at the restart.
  return ResultOf(
      ::MoveFileExA(existingPath.c_str(), newPath.empty() ? nullptr : newPath.c_str(), dwFlags));
}

uint32_t Win32FileSystem::CreateDirectory(const std::string& path) {
  return ResultOf(::CreateDirectoryA(path.c_str(), nullptr));
}

uint32_t Win32FileSystem::CreateDirectoryTree(const std::string& path) {
  const uint32_t err = CreateDirectory(path);
  if (err != ERROR_PATH_NOT_FOUND) return err;
  const std::string parent = ParentOf(path);
  if (parent.empty()) return err;
  const uint32_t errParent = CreateDirectoryTree(parent);
  if (errParent != ERROR_SUCCESS && errParent != ERROR_ALREADY_EXISTS) return errParent;
  return CreateDirectory(path);
}

uint32_t Win32FileSystem::RemoveDirectory(const std::string& path) {
  return ResultOf(::RemoveDirectoryA(path.c_str()));
}

// --- Enumeration --------------------------------------------------------------------------------

uint32_t Win32FileSystem::FindFirstFile(const std::string& pattern, FindHandle& hFind,
                                        FindData& data) {
  hFind = FindHandle::Invalid;
  data = FindData();
  Search search;
  if (uint32_t err = ListMatches(pattern, search.entries)) return err;
  data = search.entries.front();
  search.nNext = 1;
  const uint32_t nId = ++nLastHandle_;
  searches_.emplace(nId, std::move(search));
  hFind = static_cast<FindHandle>(nId);
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::FindNextFile(FindHandle hFind, FindData& data) {
  const auto it = searches_.find(static_cast<uint32_t>(hFind));
  if (it == searches_.end()) return ERROR_INVALID_HANDLE;
  Search& search = it->second;
  if (search.nNext >= search.entries.size()) return ERROR_NO_MORE_FILES;
  data = search.entries[search.nNext++];
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::FindClose(FindHandle hFind) {
  return searches_.erase(static_cast<uint32_t>(hFind)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

uint32_t Win32FileSystem::IsDirectoryEmpty(const std::string& path, bool& bEmpty) {
  bEmpty = false;
  bool bDirectory = false;
  if (uint32_t err = GetEntryKind(path, bDirectory)) return err;
  if (!bDirectory) return ERROR_DIRECTORY;
  // Listed only up to the first entry that is neither "." nor "..".
  bEmpty = true;
  WIN32_FIND_DATAA found;
  const HANDLE hFind = ::FindFirstFileA(AllEntriesOf(path).c_str(), &found);
  if (hFind == INVALID_HANDLE_VALUE) return ERROR_SUCCESS;
  do bEmpty = IsDotEntry(found.cFileName);
  while (bEmpty && ::FindNextFileA(hFind, &found));
  ::FindClose(hFind);
  return ERROR_SUCCESS;
}

// --- Current directory, full paths, temporary files ---------------------------------------------

uint32_t Win32FileSystem::GetCurrentDirectory(std::string& path) {
  return FillString(
      path, [](char* pBuffer, DWORD nSize) { return ::GetCurrentDirectoryA(nSize, pBuffer); });
}

uint32_t Win32FileSystem::SetCurrentDirectory(const std::string& path) {
  return ResultOf(::SetCurrentDirectoryA(path.c_str()));
}

uint32_t Win32FileSystem::GetFullPathName(const std::string& path, std::string& fullPath) {
  return FillString(fullPath, [&](char* pBuffer, DWORD nSize) {
    return ::GetFullPathNameA(path.c_str(), nSize, pBuffer, nullptr);
  });
}

uint32_t Win32FileSystem::GetTempPath(std::string& path) {
  return FillString(path,
                    [](char* pBuffer, DWORD nSize) { return ::GetTempPathA(nSize, pBuffer); });
}

uint32_t Win32FileSystem::GetTempFileName(const std::string& dir, const std::string& prefix,
                                          uint32_t nUnique, std::string& path) {
  char buffer[MAX_PATH] = {};
  if (!::GetTempFileNameA(dir.c_str(), prefix.c_str(), nUnique, buffer)) {
    path.clear();
    return LastError();
  }
  path = buffer;
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::GetShortPathName(const std::string& path, std::string& shortPath) {
  return FillString(shortPath, [&](char* pBuffer, DWORD nSize) {
    return ::GetShortPathNameA(path.c_str(), pBuffer, nSize);
  });
}

uint32_t Win32FileSystem::GetLongPathName(const std::string& path, std::string& longPath) {
  return FillString(longPath, [&](char* pBuffer, DWORD nSize) {
    return ::GetLongPathNameA(path.c_str(), pBuffer, nSize);
  });
}

uint32_t Win32FileSystem::GetDiskFreeSpaceEx(const std::string& path, DiskSpace& space) {
  space = DiskSpace();
  ULARGE_INTEGER available, total, free;
  if (!::GetDiskFreeSpaceExA(path.c_str(), &available, &total, &free)) return LastError();
  space = {available.QuadPart, total.QuadPart, free.QuadPart};
  return ERROR_SUCCESS;
}

// --- Version resources --------------------------------------------------------------------------

uint32_t Win32FileSystem::GetFileVersionInfo(const std::string& path, std::vector<uint8_t>& block) {
  block.clear();
  // A full path: the system looks for a bare name the way it looks for a library.
  std::string fullPath;
  if (uint32_t err = GetFullPathName(path, fullPath)) return err;
  DWORD dwUnused = 0;
  const DWORD nSize = ::GetFileVersionInfoSizeA(fullPath.c_str(), &dwUnused);
  if (nSize < sizeof(uint16_t)) return WhyNoVersionInfo(fullPath);
  block.resize(nSize);
  if (!::GetFileVersionInfoA(fullPath.c_str(), 0, nSize, block.data())) {
    block.clear();
    return WhyNoVersionInfo(fullPath);
  }
  // The system leaves room after the resource for its own conversions; the resource's first word
  // is its length.
  const size_t nLength = block[0] | block[1] << 8;
  if (nLength <= block.size()) block.resize(nLength);
  return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::WhyNoVersionInfo(const std::string& fullPath) {
  FileHandle hFile = FileHandle::Invalid;  // the errors of opening it come first
  if (uint32_t err = CreateFile(fullPath, GENERIC_READ, OPEN_EXISTING, 0, hFile)) return err;
  CloseHandle(hFile);
  const HMODULE hImage = ::LoadLibraryExA(fullPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!hImage) return ERROR_BAD_EXE_FORMAT;
  uint32_t nVersions = 0;
  const bool bListed = ::EnumResourceNamesA(hImage, RT_VERSION, CountResourceName,
                                            reinterpret_cast<LONG_PTR>(&nVersions));
  const uint32_t errList = bListed ? ERROR_SUCCESS : LastError();
  ::FreeLibrary(hImage);
  if (errList == ERROR_RESOURCE_DATA_NOT_FOUND || errList == ERROR_RESOURCE_TYPE_NOT_FOUND)
    return errList;
  return nVersions == 0 ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_BAD_EXE_FORMAT;  // damaged
}

}  // namespace platform::win32
