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

bool PathCache::Find(std::string_view key, std::string& hostPath) const {
  const auto folder = m_folders.find(FolderOf(key, '\\'));
  if (folder == m_folders.end()) return false;
  const auto name = folder->second.hostNames.find(NameOf(key, '\\'));
  if (name == folder->second.hostNames.end()) return false;
  hostPath.reserve(folder->second.hostPath.size() + 1 + name->second.size());
  hostPath.assign(folder->second.hostPath).append(1, '/').append(name->second);
  return true;
}

void PathCache::Remember(std::string_view key, std::string_view hostPath) {
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
}

void PathCache::Erase(std::string_view key) {
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
  m_folders.clear();
  m_nEntries = 0;
}

}  // namespace platform::emulated
