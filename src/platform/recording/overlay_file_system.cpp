// The overlay file system's answers by path and its changes by path: attributes, times, copies,
// moves, deletions and directories. Each change is checked as Windows checks it (a missing
// directory, a read-only target, an existing name), then laid into the overlay and logged.
// Handles live in overlay_file_handles.cpp, listings in overlay_listing.cpp.
#include "platform/recording/overlay_file_system.h"

#include <charconv>

#include "platform/ansi_case.h"

namespace platform {

namespace {

constexpr uint32_t kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                         FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                         FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                         FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string HexText(uint64_t nValue) {
  char buffer[24] = "0x";
  const auto result = std::to_chars(buffer + 2, buffer + sizeof buffer, nValue, 16);
  return std::string(buffer, result.ptr);
}

bool IsAbsolute(const std::string& path) {
  const bool bDrive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  const bool bShare = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
                      (path[1] == '\\' || path[1] == '/');
  return bDrive || bShare;
}

// The directory holding a full path ("C:\" for "C:\x"); empty for a drive's or share's root.
std::string ParentPath(const std::string& fullPath) {
  const size_t slash = fullPath.rfind('\\');
  if (slash == std::string::npos || slash + 1 == fullPath.size() || slash < 2) return {};
  if (slash == 2 && fullPath[1] == ':') return fullPath.substr(0, 3);
  return fullPath.substr(0, slash);
}

// The attributes a file gets from the settable ones asked for: FILE_ATTRIBUTE_NORMAL when none.
uint32_t FileAttributesOf(uint32_t dwAsked) {
  const uint32_t dwSet = dwAsked & kSettableAttributes;
  return dwSet == 0 ? FILE_ATTRIBUTE_NORMAL : dwSet;
}

}  // namespace

OverlayFileSystem::OverlayFileSystem(FileSystem& wrapped, Clock& clock, ChangeLog& changes)
    : m_wrapped(wrapped), m_clock(clock), m_changes(changes) {}

OverlayFileSystem::~OverlayFileSystem() {
  for (auto& [nHandle, open] : m_open) {
    if (open.hWrapped != FileHandle::Invalid) m_wrapped.CloseHandle(open.hWrapped);
    if (open.hSource != FileHandle::Invalid) m_wrapped.CloseHandle(open.hSource);
  }
}

// --- Paths ------------------------------------------------------------------------------------

uint32_t OverlayFileSystem::Locate(const std::string& path, Presence& presence) {
  if (uint32_t dwError = GetFullPathName(path, presence.fullPath)) return dwError;
  while (presence.fullPath.size() > 3 && presence.fullPath.back() == '\\')
    presence.fullPath.pop_back();
  presence.key = OverlayEntries::KeyOf(presence.fullPath);
  presence.pEntry = m_entries.Find(presence.key);
  if (presence.pEntry) {
    presence.bExists = presence.pEntry->state != EntryState::Deleted;
    presence.info = presence.pEntry->info;
    return ERROR_SUCCESS;
  }
  const uint32_t dwError = m_wrapped.GetFileAttributesEx(presence.fullPath, presence.info);
  presence.bExists = dwError == ERROR_SUCCESS;
  if (!presence.bExists) presence.info = {};
  const bool bMissing = dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND ||
                        dwError == ERROR_INVALID_NAME;
  return bMissing ? ERROR_SUCCESS : dwError;
}

std::string OverlayFileSystem::WrappedContentOf(const std::string& path) {
  Presence presence;
  if (Locate(path, presence) != ERROR_SUCCESS || !presence.bExists || presence.IsDirectory())
    return "";
  if (!presence.pEntry) return presence.fullPath;
  return presence.pEntry->content.bytes ? "" : presence.pEntry->content.sourcePath;
}

uint32_t OverlayFileSystem::CheckParent(const Presence& presence) {
  const std::string parentPath = ParentPath(presence.fullPath);
  if (parentPath.empty()) return ERROR_PATH_NOT_FOUND;
  Presence parent;
  if (uint32_t dwError = Locate(parentPath, parent)) return dwError;
  return parent.bExists && parent.IsDirectory() ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
}

uint32_t OverlayFileSystem::MissingError(const Presence& presence) {
  return CheckParent(presence) == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

uint32_t OverlayFileSystem::GetFullPathName(const std::string& path, std::string& fullPath) {
  if (m_currentDirectory.empty() || IsAbsolute(path))
    return m_wrapped.GetFullPathName(path, fullPath);
  // Relative to a directory only the overlay holds: joined here, then folded by the wrapped
  // machine's rules ("..", slashes).
  std::string joined;
  if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
    joined = m_currentDirectory.substr(0, 2) + path;
  else if (path.size() >= 2 && path[1] == ':')
    return m_wrapped.GetFullPathName(path, fullPath);
  else
    joined = m_currentDirectory + "\\" + path;
  return m_wrapped.GetFullPathName(joined, fullPath);
}

uint32_t OverlayFileSystem::GetCurrentDirectory(std::string& path) {
  if (m_currentDirectory.empty()) return m_wrapped.GetCurrentDirectory(path);
  path = m_currentDirectory;
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::SetCurrentDirectory(const std::string& path) {
  if (path.size() == 2 && path[1] == ':') {
    m_currentDirectory.clear();
    return m_wrapped.SetCurrentDirectory(path);
  }
  Presence dir;
  if (uint32_t dwError = Locate(path, dir)) return dwError;
  if (!dir.bExists) return MissingError(dir);
  if (!dir.IsDirectory()) return ERROR_DIRECTORY;
  const uint32_t dwError = m_wrapped.SetCurrentDirectory(dir.fullPath);
  if (dwError == ERROR_SUCCESS) {
    m_currentDirectory.clear();
    return ERROR_SUCCESS;
  }
  if (!dir.pEntry) return dwError;
  m_currentDirectory = dir.fullPath;
  return ERROR_SUCCESS;
}

// --- Entries ----------------------------------------------------------------------------------

OverlayEntry& OverlayFileSystem::EntryFor(Presence& presence) {
  if (presence.pEntry) return *presence.pEntry;
  OverlayEntry entry;
  entry.state = presence.IsDirectory() ? EntryState::Directory : EntryState::File;
  entry.path = presence.fullPath;
  entry.content.sourcePath = presence.fullPath;
  entry.info = presence.info;
  if (!presence.IsDirectory()) entry.wrappedFile = presence.fullPath;
  presence.pEntry = &m_entries.Put(presence.key, std::move(entry), presence.FileSize());
  return *presence.pEntry;
}

OverlayEntry& OverlayFileSystem::PutFile(Presence& target, OverlayContent content,
                                         const FileInfo& info) {
  OverlayEntry entry{EntryState::File, target.fullPath, std::move(content), info, {}};
  entry.info.dwFileAttributes &= ~FILE_ATTRIBUTE_DIRECTORY;
  target.pEntry = &m_entries.Put(target.key, std::move(entry), target.FileSize());
  target.bExists = true;
  target.info = target.pEntry->info;
  return *target.pEntry;
}

OverlayEntry& OverlayFileSystem::PutDirectory(const Presence& target) {
  const uint64_t ftNow = Now();
  OverlayEntry entry{EntryState::Directory, target.fullPath, {}, {}, {}};
  entry.info.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  entry.info.times = {ftNow, ftNow, ftNow};
  return m_entries.Put(target.key, std::move(entry), target.FileSize());
}

void OverlayFileSystem::PutDeleted(const Presence& presence) {
  m_entries.Put(presence.key, OverlayEntry{EntryState::Deleted, presence.fullPath, {}, {}, {}},
                presence.FileSize());
}

uint32_t OverlayFileSystem::OwnBytes(OverlayEntry& entry) {
  if (!entry.content.bytes) {
    std::string bytes;
    if (uint32_t dwError = m_wrapped.ReadWholeFile(entry.content.sourcePath, bytes)) return dwError;
    entry.content.bytes = std::make_shared<std::string>(std::move(bytes));
  } else if (entry.content.bytes.use_count() > 1) {
    entry.content.bytes = std::make_shared<std::string>(*entry.content.bytes);
  }
  return ERROR_SUCCESS;
}

// --- Questions by path ------------------------------------------------------------------------

uint32_t OverlayFileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  Presence file;
  if (uint32_t dwError = Locate(path, file)) return dwError;
  if (!file.bExists) return MissingError(file);
  if (file.IsDirectory()) return ERROR_ACCESS_DENIED;
  if (!file.pEntry) return m_wrapped.ReadWholeFile(file.fullPath, bytes);
  if (!file.pEntry->content.bytes)
    return m_wrapped.ReadWholeFile(file.pEntry->content.sourcePath, bytes);
  bytes = *file.pEntry->content.bytes;
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::GetFileAttributes(const std::string& path, uint32_t& dwAttributes) {
  FileInfo info;
  const uint32_t dwError = GetFileAttributesEx(path, info);
  dwAttributes = dwError == ERROR_SUCCESS ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
  return dwError;
}

uint32_t OverlayFileSystem::GetFileAttributesEx(const std::string& path, FileInfo& info) {
  Presence entry;
  if (uint32_t dwError = Locate(path, entry)) return dwError;
  if (!entry.bExists) return MissingError(entry);
  info = entry.info;
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::GetFileVersionInfo(const std::string& path,
                                               std::vector<uint8_t>& block) {
  Presence file;
  if (uint32_t dwError = Locate(path, file)) return dwError;
  if (!file.bExists) return MissingError(file);
  if (file.IsDirectory()) return ERROR_ACCESS_DENIED;
  if (!file.pEntry) return m_wrapped.GetFileVersionInfo(file.fullPath, block);
  if (!file.pEntry->content.bytes)
    return m_wrapped.GetFileVersionInfo(file.pEntry->content.sourcePath, block);
  return FileSystem::GetFileVersionInfo(file.fullPath, block);
}

uint32_t OverlayFileSystem::GetShortPathName(const std::string& path, std::string& shortPath) {
  return OtherPathForm(path, shortPath, &FileSystem::GetShortPathName);
}

uint32_t OverlayFileSystem::GetLongPathName(const std::string& path, std::string& longPath) {
  return OtherPathForm(path, longPath, &FileSystem::GetLongPathName);
}

uint32_t OverlayFileSystem::OtherPathForm(const std::string& path, std::string& form,
                                          PathForm askWrapped) {
  Presence entry;
  if (uint32_t dwError = Locate(path, entry)) return dwError;
  if (!entry.bExists) return MissingError(entry);
  if ((m_wrapped.*askWrapped)(path, form) == ERROR_SUCCESS) return ERROR_SUCCESS;
  form = path;  // only the overlay holds it: it has no other form
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::GetDiskFreeSpaceEx(const std::string& path, DiskSpace& space) {
  Presence dir;
  if (uint32_t dwError = Locate(path, dir)) return dwError;
  if (!dir.bExists) return MissingError(dir);
  const std::string root = OverlayEntries::DriveOf(dir.fullPath) + "\\";
  if (uint32_t dwError = m_wrapped.GetDiskFreeSpaceEx(root, space)) return dwError;
  const int64_t nAdded = m_entries.AddedBytes(dir.key);
  const auto less = [nAdded](uint64_t nFree) {
    if (nAdded < 0) return nFree + static_cast<uint64_t>(-nAdded);
    return nFree > static_cast<uint64_t>(nAdded) ? nFree - static_cast<uint64_t>(nAdded) : 0;
  };
  space.nFreeBytesAvailable = less(space.nFreeBytesAvailable);
  space.nTotalFreeBytes = less(space.nTotalFreeBytes);
  return ERROR_SUCCESS;
}

// The folder may exist in the overlay alone (made by the run), so the name is formed here, as
// GetTempFileName forms it, rather than by the wrapped machine, which would not find the folder.
uint32_t OverlayFileSystem::GetTempFileName(const std::string& dir, const std::string& prefix,
                                            uint32_t nUnique, std::string& path) {
  Presence folder;
  if (uint32_t dwError = Locate(dir, folder)) return dwError;
  if (!folder.bExists || !folder.IsDirectory()) return ERROR_DIRECTORY;
  if (nUnique & 0xFFFF) {
    path = TempFileNameIn(folder, prefix, nUnique & 0xFFFF);
    return ERROR_SUCCESS;
  }
  for (uint32_t nNumber = 1; nNumber <= 0xFFFF; ++nNumber) {
    path = TempFileNameIn(folder, prefix, nNumber);
    FileHandle hFile;
    const uint32_t dwError = CreateFile(path, GENERIC_WRITE, CREATE_NEW, 0, hFile);
    if (dwError == ERROR_FILE_EXISTS) continue;
    if (dwError == ERROR_SUCCESS) CloseHandle(hFile);
    return dwError;
  }
  return ERROR_FILE_EXISTS;
}

std::string OverlayFileSystem::TempFileNameIn(const Presence& folder, const std::string& prefix,
                                              uint32_t nNumber) {
  char hex[8];
  const auto result = std::to_chars(hex, hex + sizeof hex, nNumber, 16);
  const std::string number = AnsiUpper(std::string_view(hex, result.ptr - hex));
  const bool bRoot = folder.fullPath.back() == '\\';
  return folder.fullPath + (bRoot ? "" : "\\") + prefix.substr(0, 3) + number + ".tmp";
}

// --- Changes by path --------------------------------------------------------------------------

uint32_t OverlayFileSystem::SetFileAttributes(const std::string& path, uint32_t dwAttributes) {
  Presence entry;
  if (uint32_t dwError = Locate(path, entry)) return dwError;
  if (!entry.bExists) return MissingError(entry);
  OverlayEntry& changed = EntryFor(entry);
  const uint32_t dwSet = dwAttributes & kSettableAttributes;
  changed.info.dwFileAttributes =
      entry.IsDirectory() ? FILE_ATTRIBUTE_DIRECTORY | dwSet : FileAttributesOf(dwSet);
  m_changes.Add(ChangeKind::FileAttributes, entry.fullPath, HexText(changed.info.dwFileAttributes));
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::SetFileTimes(const std::string& path, const FileTimes& times) {
  Presence entry;
  if (uint32_t dwError = Locate(path, entry)) return dwError;
  if (!entry.bExists) return MissingError(entry);
  FileTimes& kept = EntryFor(entry).info.times;
  LayTimes(kept, times);
  m_changes.Add(ChangeKind::FileTimes, entry.fullPath,
                "write " + std::to_string(kept.ftLastWriteTime));
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::CheckWritable(const Presence& presence) {
  if (presence.IsDirectory()) return ERROR_ACCESS_DENIED;
  if (presence.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
  return CheckNotInUse(presence);
}

// A file of the wrapped machine that another process runs or locks cannot be written, replaced or
// deleted there, so not in the overlay either. The wrapped machine is asked by opening its file
// for writing and closing it at once, which changes nothing; only its refusal for the file being
// in use counts, since the overlay's own attributes may differ from the wrapped file's.
uint32_t OverlayFileSystem::CheckNotInUse(const Presence& presence) {
  const std::string wrappedFile =
      presence.pEntry ? presence.pEntry->wrappedFile : presence.fullPath;
  if (wrappedFile.empty()) return ERROR_SUCCESS;
  FileHandle hFile = FileHandle::Invalid;
  const uint32_t dwError =
      m_wrapped.CreateFile(wrappedFile, GENERIC_WRITE, OPEN_EXISTING, 0, hFile);
  if (dwError == ERROR_SUCCESS) m_wrapped.CloseHandle(hFile);
  return dwError == ERROR_SHARING_VIOLATION ? dwError : ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::DeleteFile(const std::string& path) {
  Presence file;
  if (uint32_t dwError = Locate(path, file)) return dwError;
  if (!file.bExists) return MissingError(file);
  if (uint32_t dwError = CheckWritable(file)) return dwError;
  PutDeleted(file);
  m_changes.Add(ChangeKind::FileDeleted, file.fullPath);
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::CopyFile(const std::string& existingPath, const std::string& newPath,
                                     bool bFailIfExists) {
  Presence from, to;
  if (uint32_t dwError = Locate(existingPath, from)) return dwError;
  if (!from.bExists) return MissingError(from);
  if (from.IsDirectory()) return ERROR_ACCESS_DENIED;
  if (uint32_t dwError = Locate(newPath, to)) return dwError;
  if (uint32_t dwError = CheckParent(to)) return dwError;
  if (to.bExists && bFailIfExists) return ERROR_FILE_EXISTS;
  if (to.bExists)
    if (uint32_t dwError = CheckWritable(to)) return dwError;
  OverlayContent content =
      from.pEntry ? from.pEntry->content : OverlayContent{nullptr, from.fullPath};
  FileInfo info = from.info;
  info.dwFileAttributes = (info.dwFileAttributes & kSettableAttributes) | FILE_ATTRIBUTE_ARCHIVE;
  info.times.ftCreationTime = info.times.ftLastAccessTime = Now();
  PutFile(to, std::move(content), info);
  m_changes.Add(ChangeKind::FileCopied, to.fullPath, from.fullPath);
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::MoveFileEx(const std::string& existingPath, const std::string& newPath,
                                       uint32_t dwFlags) {
  Presence from, to;
  if (uint32_t dwError = Locate(existingPath, from)) return dwError;
  if (dwFlags & MOVEFILE_DELAY_UNTIL_REBOOT) {
    std::string fullNew;
    if (!newPath.empty())
      if (uint32_t dwError = GetFullPathName(newPath, fullNew)) return dwError;
    m_changes.Add(ChangeKind::DeferredRename, from.fullPath, fullNew);
    return ERROR_SUCCESS;
  }
  if (!from.bExists) return MissingError(from);
  if (uint32_t dwError = Locate(newPath, to)) return dwError;
  if (uint32_t dwError = CheckParent(to)) return dwError;
  if (to.bExists && to.key != from.key) {
    if (to.IsDirectory() || from.IsDirectory() || !(dwFlags & MOVEFILE_REPLACE_EXISTING))
      return ERROR_ALREADY_EXISTS;
    if (uint32_t dwError = CheckWritable(to)) return dwError;
  }
  const bool bOtherDrive = OverlayEntries::DriveOf(from.key) != OverlayEntries::DriveOf(to.key);
  if (bOtherDrive && (from.IsDirectory() || !(dwFlags & MOVEFILE_COPY_ALLOWED)))
    return ERROR_NOT_SAME_DEVICE;
  if (OverlayEntries::IsBelow(to.key, from.key)) return ERROR_SHARING_VIOLATION;
  if (from.IsDirectory()) {
    if (uint32_t dwError = MoveDirectory(from, to)) return dwError;
  } else {
    MoveEntry(from, to);
  }
  m_changes.Add(ChangeKind::FileMoved, to.fullPath, from.fullPath);
  return ERROR_SUCCESS;
}

void OverlayFileSystem::MoveEntry(Presence& from, Presence& to) {
  OverlayContent content =
      from.pEntry ? from.pEntry->content : OverlayContent{nullptr, from.fullPath};
  const FileInfo info = from.info;
  const std::string wrappedFile = from.pEntry ? from.pEntry->wrappedFile : from.fullPath;
  const bool bSameKey = from.key == to.key;  // a new case for the same name
  if (!bSameKey) PutDeleted(from);
  if (from.IsDirectory())
    PutDirectory(to).info = info;
  else
    PutFile(to, std::move(content), info).wrappedFile = wrappedFile;
}

// A directory moves with everything below it: each entry the merged listing shows is laid at its
// new place and hidden at its old one.
uint32_t OverlayFileSystem::MoveDirectory(Presence& from, Presence& to) {
  std::vector<FindData> children;
  if (uint32_t dwError = ListDirectory(from, "*", children)) return dwError;
  MoveEntry(from, to);
  for (const FindData& child : children) {
    if (child.cFileName == "." || child.cFileName == "..") continue;
    Presence childFrom, childTo;
    if (uint32_t dwError = Locate(from.fullPath + "\\" + child.cFileName, childFrom))
      return dwError;
    if (uint32_t dwError = Locate(to.fullPath + "\\" + child.cFileName, childTo)) return dwError;
    if (childFrom.IsDirectory()) {
      if (uint32_t dwError = MoveDirectory(childFrom, childTo)) return dwError;
    } else {
      MoveEntry(childFrom, childTo);
    }
  }
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::CreateDirectory(const std::string& path) {
  Presence dir;
  if (uint32_t dwError = Locate(path, dir)) return dwError;
  if (dir.bExists) return ERROR_ALREADY_EXISTS;
  if (uint32_t dwError = CheckParent(dir)) return dwError;
  PutDirectory(dir);
  m_changes.Add(ChangeKind::DirectoryCreated, dir.fullPath);
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::CreateDirectoryTree(const std::string& path) {
  Presence dir;
  if (uint32_t dwError = Locate(path, dir)) return dwError;
  if (dir.bExists) return ERROR_ALREADY_EXISTS;
  const std::string parentPath = ParentPath(dir.fullPath);
  if (parentPath.empty()) return ERROR_PATH_NOT_FOUND;
  Presence parent;
  if (uint32_t dwError = Locate(parentPath, parent)) return dwError;
  if (parent.bExists && !parent.IsDirectory()) return ERROR_PATH_NOT_FOUND;
  if (!parent.bExists)
    if (uint32_t dwError = CreateDirectoryTree(parentPath)) return dwError;
  return CreateDirectory(dir.fullPath);
}

uint32_t OverlayFileSystem::RemoveDirectory(const std::string& path) {
  Presence dir;
  if (uint32_t dwError = Locate(path, dir)) return dwError;
  if (!dir.bExists) return MissingError(dir);
  if (!dir.IsDirectory()) return ERROR_DIRECTORY;
  std::string current;
  if (GetCurrentDirectory(current) == ERROR_SUCCESS) {
    const std::string currentKey = OverlayEntries::KeyOf(current);
    if (currentKey == dir.key || OverlayEntries::IsBelow(currentKey, dir.key))
      return ERROR_SHARING_VIOLATION;
  }
  bool bEmpty = false;
  if (uint32_t dwError = IsDirectoryEmpty(dir.fullPath, bEmpty)) return dwError;
  if (!bEmpty) return ERROR_DIR_NOT_EMPTY;
  PutDeleted(dir);
  m_changes.Add(ChangeKind::DirectoryRemoved, dir.fullPath);
  return ERROR_SUCCESS;
}

}  // namespace platform
