// PathCache. A key is split at its last backslash into the folder and the name; a host path at
// its last slash. The cache starts afresh when it holds 100,000 entries, which bounds its memory
// on machines with more files than any one run looks at.
#include "platform/emulated/files/path_cache.h"

namespace platform::emulated {
namespace {

constexpr size_t kMaxEntries = 100000;

std::string_view FolderOf(std::string_view path, char cSeparator) {
  const size_t nEnd = path.rfind(cSeparator);
  return nEnd == std::string_view::npos ? std::string_view() : path.substr(0, nEnd);
}

std::string_view NameOf(std::string_view path, char cSeparator) {
  const size_t nEnd = path.rfind(cSeparator);
  return nEnd == std::string_view::npos ? path : path.substr(nEnd + 1);
}

}  // namespace

PathCache::InFolder PathCache::FindInFolder(std::string_view key) const {
  return FindInFolder(FolderOf(key, '\\'), NameOf(key, '\\'));
}

const PathCache::Folder* PathCache::FindFolder(std::string_view folderKey) const {
  for (const RecentFolder& recent : m_recentFolders)
    if (recent.pFolder && recent.key == folderKey) return recent.pFolder;
  const auto folder = m_folders.find(folderKey);
  if (folder == m_folders.end()) return nullptr;
  RecentFolder& recent = m_recentFolders[m_nNextRecent];
  m_nNextRecent = (m_nNextRecent + 1) % m_recentFolders.size();
  recent.key.assign(folderKey);
  recent.pFolder = &folder->second;
  return recent.pFolder;
}

void PathCache::ForgetRecentFolders() {
  for (RecentFolder& recent : m_recentFolders) recent.pFolder = nullptr;
}

PathCache::InFolder PathCache::FindInFolder(std::string_view folderKey,
                                            std::string_view nameKey) const {
  InFolder found;
  const Folder* pFolder = FindFolder(folderKey);
  if (!pFolder) return found;
  found.pFolderHostPath = &pFolder->hostPath;
  // Files found under their exact spelling are not kept, so most folders hold no names.
  if (pFolder->hostNames.empty()) return found;
  const auto name = pFolder->hostNames.find(nameKey);
  if (name != pFolder->hostNames.end()) found.pHostName = &name->second;
  return found;
}

bool PathCache::Find(std::string_view key, std::string& hostPath) const {
  const InFolder found = FindInFolder(key);
  if (!found.pHostName) return false;
  hostPath.reserve(found.pFolderHostPath->size() + 1 + found.pHostName->size());
  hostPath.assign(*found.pFolderHostPath).append(1, '/').append(*found.pHostName);
  return true;
}

void PathCache::Remember(std::string_view key, std::string_view hostPath, bool bDirectory) {
  if (m_nEntries >= kMaxEntries) Clear();
  const std::string_view folderKey = FolderOf(key, '\\');
  auto folder = m_folders.find(folderKey);
  if (folder == m_folders.end())
    folder =
        m_folders.emplace(std::string(folderKey), Folder{std::string(FolderOf(hostPath, '/')), {}})
            .first;
  auto [name, bAdded] =
      folder->second.hostNames.try_emplace(std::string(NameOf(key, '\\')), NameOf(hostPath, '/'));
  if (!bAdded) name->second = NameOf(hostPath, '/');
  m_nEntries += bAdded ? 1 : 0;
  if (!bDirectory) return;
  auto [own, bNew] = m_folders.try_emplace(std::string(key));
  if (!bNew && own->second.hostPath != hostPath) {
    m_nEntries -= own->second.hostNames.size();
    own->second.hostNames.clear();
  }
  own->second.hostPath = hostPath;
}

void PathCache::Erase(std::string_view key) {
  ForgetRecentFolders();
  if (const auto own = m_folders.find(key); own != m_folders.end()) {
    m_nEntries -= own->second.hostNames.size();
    m_folders.erase(own);
  }
  const auto folder = m_folders.find(FolderOf(key, '\\'));
  if (folder == m_folders.end()) return;
  const auto name = folder->second.hostNames.find(NameOf(key, '\\'));
  if (name == folder->second.hostNames.end()) return;
  folder->second.hostNames.erase(name);
  --m_nEntries;
}

void PathCache::EraseTree(std::string_view key) {
  Erase(key);
  for (auto it = m_folders.begin(); it != m_folders.end();) {
    const std::string& folderKey = it->first;
    const bool bBelow = folderKey.size() >= key.size() &&
                        folderKey.compare(0, key.size(), key) == 0 &&
                        (folderKey.size() == key.size() || folderKey[key.size()] == '\\');
    if (!bBelow) {
      ++it;
      continue;
    }
    m_nEntries -= it->second.hostNames.size();
    it = m_folders.erase(it);
  }
}

void PathCache::Clear() {
  ForgetRecentFolders();
  m_folders.clear();
  m_nEntries = 0;
}

}  // namespace platform::emulated
