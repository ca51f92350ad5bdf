// The entry store of the overlay file system: an ordered map from folded full path to entry, an
// index of each directory's changed children and the bytes added per drive.
#include "platform/recording/overlay_entries.h"

#include "platform/ansi_case.h"

namespace platform {

std::string OverlayEntries::KeyOf(std::string_view fullPath) {
  std::string key = AnsiUpper(fullPath);
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

std::string OverlayEntries::ParentKey(const std::string& key) {
  const size_t slash = key.rfind('\\');
  if (slash == std::string::npos || slash < 2) return {};
  return key.substr(0, slash);
}

bool OverlayEntries::IsBelow(const std::string& key, const std::string& dirKey) {
  return key.size() > dirKey.size() + 1 && key.compare(0, dirKey.size(), dirKey) == 0 &&
         key[dirKey.size()] == '\\';
}

OverlayEntry* OverlayEntries::Find(const std::string& key) {
  auto it = m_entries.find(key);
  return it == m_entries.end() ? nullptr : &it->second;
}

OverlayEntry& OverlayEntries::Put(const std::string& key, OverlayEntry entry,
                                  uint64_t nSizeBefore) {
  const uint64_t nSizeAfter = entry.state == EntryState::File ? entry.info.nFileSize : 0;
  m_addedBytes[DriveOf(key)] +=
      static_cast<int64_t>(nSizeAfter) - static_cast<int64_t>(nSizeBefore);
  const std::string parent = ParentKey(key);
  if (!parent.empty()) m_children[parent].insert(key);
  OverlayEntry& stored = m_entries[key];
  stored = std::move(entry);
  return stored;
}

void OverlayEntries::Resize(const std::string& key, OverlayEntry& entry, uint64_t nNewSize) {
  m_addedBytes[DriveOf(key)] +=
      static_cast<int64_t>(nNewSize) - static_cast<int64_t>(entry.info.nFileSize);
  entry.info.nFileSize = nNewSize;
}

const std::set<std::string>* OverlayEntries::Children(const std::string& dirKey) const {
  auto it = m_children.find(dirKey);
  return it == m_children.end() ? nullptr : &it->second;
}

std::vector<std::string> OverlayEntries::KeysBelow(const std::string& dirKey) const {
  std::vector<std::string> keys;
  for (auto it = m_entries.lower_bound(dirKey + "\\");
       it != m_entries.end() && IsBelow(it->first, dirKey); ++it)
    keys.push_back(it->first);
  return keys;
}

int64_t OverlayEntries::AddedBytes(const std::string& key) const {
  auto it = m_addedBytes.find(DriveOf(key));
  return it == m_addedBytes.end() ? 0 : it->second;
}

// "C:" for a drive path, "\\SERVER\SHARE" for a share.
std::string OverlayEntries::DriveOf(const std::string& key) {
  if (key.size() < 2 || key.compare(0, 2, "\\\\") != 0) return key.substr(0, 2);
  const size_t server = key.find('\\', 2);
  if (server == std::string::npos) return key;
  return key.substr(0, key.find('\\', server + 1));
}

}  // namespace platform
