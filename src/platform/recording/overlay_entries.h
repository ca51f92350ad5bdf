// The entries a recorded run changed below the wrapped machine's files: each full path, folded to
// upper case as Windows compares names, maps to a file (its content, attributes, times and size),
// a directory, or a deleted entry that hides the wrapped machine's. The map is ordered so that a
// directory's subtree is one range of it, and each directory keeps an index of the entries made
// in it, so that a listing merges only what the run changed there. The bytes the run added on each
// drive are kept as it goes, for the free space a later question should see.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace platform {

// A file's content: bytes the run wrote, or (bytes null) the file of the wrapped machine it was
// copied from, read only when asked so that copying a large file costs no memory.
struct OverlayContent {
  std::shared_ptr<std::string> bytes;
  std::string sourcePath;
};

enum class EntryState { File, Directory, Deleted };

struct OverlayEntry {
  EntryState state = EntryState::Deleted;
  std::string path;  // the full path as the run named it
  OverlayContent content;
  FileInfo info;
  // The wrapped machine's file this entry still is (unchanged but for attributes or times, or
  // moved here): another process that locks it refuses its replacement. Empty once replaced.
  std::string wrappedFile;
};

// Lays the times that are set (not 0) over the kept ones, as SetFileTime does.
inline void LayTimes(FileTimes& kept, const FileTimes& times) {
  if (times.ftCreationTime) kept.ftCreationTime = times.ftCreationTime;
  if (times.ftLastAccessTime) kept.ftLastAccessTime = times.ftLastAccessTime;
  if (times.ftLastWriteTime) kept.ftLastWriteTime = times.ftLastWriteTime;
}

class OverlayEntries {
 public:
  // The key of a full path: upper case, without a trailing backslash.
  static std::string KeyOf(std::string_view fullPath);
  // The key of the directory holding `key` (empty for a drive or share).
  static std::string ParentKey(const std::string& key);
  static bool IsBelow(const std::string& key, const std::string& dirKey);

  OverlayEntry* Find(const std::string& key);
  // Stores the entry; nSizeBefore is the size of the file the path showed before (0 for none)
  // and the drive's added bytes move by the difference.
  OverlayEntry& Put(const std::string& key, OverlayEntry entry, uint64_t nSizeBefore);
  // A file's size changes by writing: the drive's added bytes follow.
  void Resize(const std::string& key, OverlayEntry& entry, uint64_t nNewSize);
  // The keys of the entries made in a directory, sorted; null for none.
  const std::set<std::string>* Children(const std::string& dirKey) const;
  // The keys of every entry below a directory, parents before their children.
  std::vector<std::string> KeysBelow(const std::string& dirKey) const;
  // The bytes the run added on the drive or share of `key` (negative when it freed more).
  int64_t AddedBytes(const std::string& key) const;
  // The drive ("C:") or share ("\\SERVER\SHARE") of a key or full path.
  static std::string DriveOf(const std::string& key);

 private:
  std::map<std::string, OverlayEntry> m_entries;
  std::unordered_map<std::string, std::set<std::string>> m_children;
  std::unordered_map<std::string, int64_t> m_addedBytes;
};

}  // namespace platform
