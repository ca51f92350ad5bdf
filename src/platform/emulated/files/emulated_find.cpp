// EmulatedFileSystem: enumeration. FindFirstFile reads the whole directory at once into a sorted
// snapshot (Windows' order on NTFS is by upper-case name, with "." and ".." first), so that later
// changes to the directory do not disturb an enumeration in progress. Whether a directory lists
// anything at all is asked once per file a removal deletes, so it is answered from the folder's
// index of names (kept current by the kernel's notifications, see FolderIndex), which tells it
// from one name instead of a look at every entry; a folder without an index yet is read up to
// its first entry.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/emulated/files/emulated_file_state.h"
#include "platform/emulated/files/emulated_file_system.h"
#include "platform/emulated/files/wildcard.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

bool ComesBefore(const FindData& a, const FindData& b) {
  return AnsiUpper(a.cFileName) < AnsiUpper(b.cFileName);
}

// Whether an entry of a folder is listed: what it is can be looked at (a dangling link is no
// file). Every name matches "*".
bool IsListed(const std::string& hostPath, struct stat& st) {
  return ::stat(hostPath.c_str(), &st) == 0;
}

// The folder read up to its first listed entry.
bool ReadUntilListedEntry(const std::string& hostDir) {
  DIR* host = ::opendir(hostDir.c_str());
  if (!host) return false;
  bool bFound = false;
  struct stat st {};
  while (const dirent* entry = ::readdir(host)) {
    const std::string_view hostName = entry->d_name;
    if (hostName == "." || hostName == "..") continue;
    bFound = IsListed(hostDir + "/" + std::string(hostName), st);
    if (bFound) break;
  }
  ::closedir(host);
  return bFound;
}

}  // namespace

std::vector<FindData> EmulatedFileSystem::ListDirectory(const WinPath& dir,
                                                        const ResolvedPath& resolved,
                                                        const std::string& pattern) {
  std::vector<FindData> entries;
  DIR* host = ::opendir(resolved.hostPath.c_str());
  if (!host) return entries;
  while (const dirent* entry = ::readdir(host)) {
    const std::string_view hostName = entry->d_name;
    if (hostName == "." || hostName == "..") continue;
    FindData data;
    data.cFileName = Utf8ToAnsi(hostName);
    if (!MatchesWildcard(pattern, data.cFileName)) continue;
    const std::string hostPath = resolved.hostPath + "/" + std::string(hostName);
    struct stat st {};
    if (!IsListed(hostPath, st)) continue;
    static_cast<FileInfo&>(data) = InfoOf(hostPath, st);
    entries.push_back(std::move(data));
  }
  ::closedir(host);
  std::sort(entries.begin(), entries.end(), ComesBefore);
  if (dir.parts.empty()) return entries;  // a root has no "." and ".."
  std::vector<FindData> dots;
  for (const char* name : {".", ".."}) {
    if (!MatchesWildcard(pattern, name)) continue;
    ResolvedPath dotDir;
    const WinPath dotPath = std::string_view(name) == "." ? dir : ParentOf(dir);
    if (m_resolver.Resolve(dotPath, dotDir) || !dotDir.Exists()) continue;
    FindData data;
    static_cast<FileInfo&>(data) = InfoOf(dotDir.hostPath, dotDir.st);
    data.cFileName = name;
    dots.push_back(std::move(data));
  }
  entries.insert(entries.begin(), dots.begin(), dots.end());
  return entries;
}

uint32_t EmulatedFileSystem::FindFirstFile(const std::string& pattern, FindHandle& hFind,
                                           FindData& data) {
  hFind = FindHandle::Invalid;
  data = FindData();
  WinPath winPath;
  if (uint32_t err = ParseWindowsPath(pattern, m_dirs, winPath, true)) return err;
  ResolvedPath resolved;
  if (winPath.parts.empty() || winPath.bTrailingSeparator) {
    // A directory's name with a separator after it names no entry; a missing one no path.
    if (uint32_t err = m_resolver.Resolve(winPath, resolved)) return err;
    return resolved.IsDirectory() || winPath.parts.empty() ? ERROR_FILE_NOT_FOUND
                                                           : ERROR_PATH_NOT_FOUND;
  }
  const WinPath dir = ParentOf(winPath);
  if (uint32_t err = m_resolver.Resolve(dir, resolved)) return err;
  if (resolved.Exists() && !resolved.IsDirectory()) return ERROR_DIRECTORY;  // "file\*"
  if (!resolved.IsDirectory()) return ERROR_PATH_NOT_FOUND;
  auto pSearch = std::make_unique<Search>();
  pSearch->entries = ListDirectory(dir, resolved, winPath.parts.back());
  if (pSearch->entries.empty()) return ERROR_FILE_NOT_FOUND;
  data = pSearch->entries[0];
  pSearch->nNext = 1;
  const uint32_t nId = ++m_nLastHandle;
  m_searches.emplace(nId, std::move(pSearch));
  hFind = static_cast<FindHandle>(nId);
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::IsDirectoryEmpty(const std::string& path, bool& bEmpty) {
  bEmpty = false;
  ResolvedPath& resolved = m_query;
  if (uint32_t err = ResolveExisting(path, resolved)) return err;
  if (!resolved.IsDirectory()) return ERROR_DIRECTORY;
  const std::string& hostDir = resolved.hostPath;
  struct stat st {};
  const auto bListed = [&](const std::string& hostName) {
    return IsListed(hostDir + "/" + hostName, st);
  };
  bool bHasEntries = false;
  if (!m_resolver.FolderHasName(resolved, bListed, bHasEntries))
    bHasEntries = ReadUntilListedEntry(hostDir);
  bEmpty = !bHasEntries;
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::FindNextFile(FindHandle hFind, FindData& data) {
  const auto it = m_searches.find(static_cast<uint32_t>(hFind));
  if (it == m_searches.end()) return ERROR_INVALID_HANDLE;
  Search& search = *it->second;
  if (search.nNext >= search.entries.size()) return ERROR_NO_MORE_FILES;
  data = search.entries[search.nNext++];
  return ERROR_SUCCESS;
}

uint32_t EmulatedFileSystem::FindClose(FindHandle hFind) {
  return m_searches.erase(static_cast<uint32_t>(hFind)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace platform::emulated
