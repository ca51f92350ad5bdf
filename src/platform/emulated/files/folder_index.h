// Case-insensitive lookup of names in host folders at a cost independent of the folder's size.
// A name whose exact spelling is missing must be looked for in every other case; reading the
// whole folder for each such name made creating n files in one folder cost n^2. The index reads a
// folder once, keeps its names by their upper-case Windows-1252 form, and is then kept current by
// the kernel's change notifications (inotify) on that folder: whoever changes the folder, this
// process, another engine process or a host program, the change is queued before the call that
// made it returns, and the queue is applied before every lookup. So an answer is never older than
// the last completed change, with no clock or time stamp to trust.
//
// Folders are keyed by device and inode, as the notifications follow the folder, not its path; a
// folder removed or renamed elsewhere keeps or drops its index with it. When notifications cannot
// be had (no inotify instance or watch left), Find says so and the caller reads the folder itself.
//
// A folder is indexed only from its second question on: the first is answered by the caller's
// own read. Most folders are asked once in a run, and a process that holds any inotify watch
// waits at its exit for the kernel to retire them (some 20 ms), which a short run would pay for
// nothing.
#pragma once
#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::emulated {

class FolderIndex {
 public:
  FolderIndex() = default;
  ~FolderIndex();
  FolderIndex(const FolderIndex&) = delete;
  FolderIndex& operator=(const FolderIndex&) = delete;

  // The host names of the folder hostDir (dirStat its stat) whose upper-case ANSI form is
  // `folded`. False when the folder cannot be indexed; the caller then reads it itself.
  bool Find(const std::string& hostDir, const struct stat& dirStat, const std::string& folded,
            std::vector<std::string>& hostNames);
  // Whether the folder holds a host name that bAccepted takes, asked of its names in no order
  // until one is taken: one name for a folder whose names are all there to be listed, rather
  // than a read of the whole folder. False, as for Find, when the folder cannot be indexed.
  bool HasName(const std::string& hostDir, const struct stat& dirStat,
               const std::function<bool(const std::string&)>& bAccepted, bool& bHasName);
  // Applies the queued notifications and tells how many changes the index has seen in all its
  // folders (names added or removed, folders moved, dropped or lost): an answer of Find stays
  // true while this count stays the same. ChangesApplied is the count without applying the
  // queue, as it stood after the last Find or ChangesSeen.
  uint64_t ChangesSeen();
  uint64_t ChangesApplied() const { return m_nChanges; }

 private:
  using FolderKey = std::pair<dev_t, ino_t>;
  struct Folder {
    int nWatch = -1;
    std::unordered_map<std::string, std::vector<std::string>> names;  // folded -> host names
  };

  bool Start();
  // The folder's index, made at its second question; null when it has none (yet).
  Folder* Indexed(const std::string& hostDir, const struct stat& dirStat);
  Folder* Open(const std::string& hostDir, const FolderKey& key);
  void ApplyPendingChanges();
  void ApplyChange(int nWatch, uint32_t mask, const char* pszName);
  void Drop(const FolderKey& key);
  void DropAll();

  int m_fd = -1;
  bool m_bUnavailable = false;
  uint64_t m_nChanges = 0;  // inotify could not be started: do not try again
  std::map<FolderKey, Folder> m_folders;
  std::set<FolderKey> m_askedOnce;  // folders asked about once, not indexed yet
  std::unordered_map<int, FolderKey> m_watches;
};

// The upper-case Windows-1252 form of a UTF-8 host name, as the index keys it.
std::string FoldedHostName(const std::string& hostName);

}  // namespace platform::emulated
