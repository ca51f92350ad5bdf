// The resolver's memory of where existing files and directories are on the host, keyed by their
// upper-case Windows path ("C:\PROGRAM FILES\APP\A.DLL"). It is kept by folder: each folder that
// held a looked-up entry has its host path and the host names of those entries, keyed by their
// upper-case names. A file is then one short name in a hash table, not a whole path in a sorted
// tree, and forgetting a directory tree touches only the folders, which are few.
#pragma once
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform::emulated {

class PathCache {
 public:
  // The host path of the entry; false when it is not cached.
  bool Find(std::string_view key, std::string& hostPath) const;
  // Keeps where the entry is. The key holds at least one name below its root. A directory is
  // also kept as a folder of its own, so that the names in it are found from its host path.
  void Remember(std::string_view key, std::string_view hostPath, bool bDirectory);
  // The entry's folder as cached (its host path, or null) and the entry's host name in it (or
  // null): one look for the common question "is it cached, and if not, where is its folder".
  struct InFolder {
    const std::string* pFolderHostPath = nullptr;
    const std::string* pHostName = nullptr;
  };
  InFolder FindInFolder(std::string_view key) const;
  // The same with the key already split at its last backslash.
  InFolder FindInFolder(std::string_view folderKey, std::string_view nameKey) const;
  // Drops the entry.
  void Erase(std::string_view key);
  // Drops the entry and everything cached below it.
  void EraseTree(std::string_view key);
  void Clear();

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  template <class Value>
  using Table = std::unordered_map<std::string, Value, Hash, std::equal_to<>>;
  struct Folder {
    std::string hostPath;
    Table<std::string> hostNames;  // upper-case name -> host name
  };

  const Folder* FindFolder(std::string_view folderKey) const;
  void ForgetRecentFolders();

  Table<Folder> m_folders;  // upper-case folder path -> its entries
  size_t m_nEntries = 0;
  // The folders the last look-ups found: a copy goes back and forth between its source and
  // destination folders, which are then found without hashing their long keys again. A folder
  // stays where it is in the table until it is erased, which drops these.
  struct RecentFolder {
    std::string key;
    const Folder* pFolder = nullptr;
  };
  mutable std::array<RecentFolder, 2> m_recentFolders;
  mutable size_t m_nNextRecent = 0;
};

}  // namespace platform::emulated
