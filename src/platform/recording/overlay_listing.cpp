// The overlay file system's listings: the wrapped machine's listing of the directory, with the
// entries the run deleted left out, those it changed shown as they are now and those it made added
// in the order of their upper-case names, which is the order both backends give. Only the
// directory's own index of changed entries is visited, so a listing costs what the directory
// holds, however many files the run changed elsewhere.
#include <algorithm>
#include <unordered_set>

#include "platform/ansi_case.h"
#include "platform/recording/overlay_file_system.h"

namespace platform {

namespace {

bool IsDotEntry(const std::string& name) {
  return name == "." || name == "..";
}

bool MatchesName(const std::string& pattern, const std::string& name) {
  return pattern == "*.*" || AnsiMatchesPattern(pattern, name);
}

std::string LastName(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

FindData FindDataOf(const OverlayEntry& entry) {
  FindData data;
  static_cast<FileInfo&>(data) = entry.info;
  data.cFileName = LastName(entry.path);
  return data;
}

}  // namespace

uint32_t OverlayFileSystem::WrappedListing(const std::string& pattern,
                                           std::vector<FindData>& entries) {
  FindHandle hFind;
  FindData data;
  uint32_t dwError = m_wrapped.FindFirstFile(pattern, hFind, data);
  if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND ||
      dwError == ERROR_NO_MORE_FILES)
    return ERROR_SUCCESS;
  if (dwError) return dwError;
  while (dwError == ERROR_SUCCESS) {
    entries.push_back(std::move(data));
    dwError = m_wrapped.FindNextFile(hFind, data);
  }
  m_wrapped.FindClose(hFind);
  return dwError == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : dwError;
}

uint32_t OverlayFileSystem::ListDirectory(const Presence& dir, const std::string& namePattern,
                                          std::vector<FindData>& entries) {
  const std::string separator = dir.fullPath.back() == '\\' ? "" : "\\";
  if (uint32_t dwError = WrappedListing(dir.fullPath + separator + namePattern, entries))
    return dwError;
  const bool bRoot = OverlayEntries::ParentKey(dir.key).empty();
  if (dir.pEntry && !bRoot && (entries.empty() || !IsDotEntry(entries.front().cFileName))) {
    // A directory only the overlay holds: its own "." and "..".
    for (const char* dot : {"..", "."}) {
      if (!MatchesName(namePattern, dot)) continue;
      FindData data;
      static_cast<FileInfo&>(data) = dir.info;
      data.cFileName = dot;
      entries.insert(entries.begin(), std::move(data));
    }
  }
  MergeOverlayChildren(dir.key, namePattern, entries);
  return ERROR_SUCCESS;
}

void OverlayFileSystem::MergeOverlayChildren(const std::string& dirKey,
                                             const std::string& namePattern,
                                             std::vector<FindData>& entries) {
  const std::set<std::string>* pChildren = m_entries.Children(dirKey);
  if (!pChildren) return;
  const std::string prefix = dirKey + "\\";
  std::unordered_set<std::string> listed;
  std::vector<FindData> merged;
  merged.reserve(entries.size() + pChildren->size());
  for (FindData& data : entries) {
    if (IsDotEntry(data.cFileName)) {
      merged.push_back(std::move(data));
      continue;
    }
    const std::string key = prefix + AnsiUpper(data.cFileName);
    listed.insert(key);
    const OverlayEntry* pEntry = m_entries.Find(key);
    if (!pEntry)
      merged.push_back(std::move(data));
    else if (pEntry->state != EntryState::Deleted)
      merged.push_back(FindDataOf(*pEntry));
  }
  const size_t nFirstNew = merged.size();
  for (const std::string& key : *pChildren) {
    const OverlayEntry* pEntry = m_entries.Find(key);
    if (listed.count(key) || pEntry->state == EntryState::Deleted) continue;
    FindData data = FindDataOf(*pEntry);
    if (MatchesName(namePattern, data.cFileName)) merged.push_back(std::move(data));
  }
  if (merged.size() > nFirstNew) {
    const auto firstName = std::find_if(merged.begin(), merged.end(), [](const FindData& data) {
      return !IsDotEntry(data.cFileName);
    });
    std::sort(firstName, merged.end(), [](const FindData& a, const FindData& b) {
      return AnsiCompareNoCase(a.cFileName, b.cFileName) < 0;
    });
  }
  entries = std::move(merged);
}

uint32_t OverlayFileSystem::FindFirstFile(const std::string& pattern, FindHandle& hFind,
                                          FindData& data) {
  hFind = FindHandle::Invalid;
  const size_t slash = pattern.find_last_of("\\/");
  const std::string dirPath = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  Presence dir;
  if (uint32_t dwError = Locate(dirPath, dir)) return dwError;
  if (!dir.bExists || !dir.IsDirectory()) return ERROR_PATH_NOT_FOUND;
  Listing listing;
  if (uint32_t dwError = ListDirectory(dir, namePattern, listing.entries)) return dwError;
  if (listing.entries.empty()) return ERROR_FILE_NOT_FOUND;
  data = listing.entries.front();
  listing.nNext = 1;
  const uint32_t nHandle = ++m_nLastHandle;
  m_listings.emplace(nHandle, std::move(listing));
  hFind = static_cast<FindHandle>(nHandle);
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::FindNextFile(FindHandle hFind, FindData& data) {
  auto it = m_listings.find(static_cast<uint32_t>(hFind));
  if (it == m_listings.end()) return ERROR_INVALID_HANDLE;
  Listing& listing = it->second;
  if (listing.nNext >= listing.entries.size()) return ERROR_NO_MORE_FILES;
  data = listing.entries[listing.nNext++];
  return ERROR_SUCCESS;
}

uint32_t OverlayFileSystem::FindClose(FindHandle hFind) {
  return m_listings.erase(static_cast<uint32_t>(hFind)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

uint32_t OverlayFileSystem::IsDirectoryEmpty(const std::string& path, bool& bEmpty) {
  bEmpty = false;
  Presence dir;
  if (uint32_t dwError = Locate(path, dir)) return dwError;
  if (!dir.bExists) return MissingError(dir);
  if (!dir.IsDirectory()) return ERROR_DIRECTORY;
  if (!m_entries.Children(dir.key)) {
    const uint32_t dwError = m_wrapped.IsDirectoryEmpty(dir.fullPath, bEmpty);
    const bool bOnlyOverlay = dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
    if (bOnlyOverlay && dir.pEntry) bEmpty = true;
    return bOnlyOverlay && dir.pEntry ? ERROR_SUCCESS : dwError;
  }
  std::vector<FindData> entries;
  if (uint32_t dwError = ListDirectory(dir, "*", entries)) return dwError;
  bEmpty = std::none_of(entries.begin(), entries.end(),
                        [](const FindData& data) { return !IsDotEntry(data.cFileName); });
  return ERROR_SUCCESS;
}

}  // namespace platform
