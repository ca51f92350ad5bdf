// The folder index over inotify. A watch is added before the folder is read, so that a change
// made while it is read is both seen (or not) by the read and queued; applying the queue
// afterwards gives the same names either way, as adding a name twice or removing a missing one
// changes nothing. A lost queue (overflow) drops every index; they are read again on demand.
#include "platform/emulated/files/folder_index.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/ansi_case.h"
#include "platform/code_page.h"

namespace platform::emulated {
namespace {

// Bounds the watches and memory one process holds; beyond it every index starts afresh.
constexpr size_t kMaxFolders = 1024;
constexpr uint32_t kWatchedChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

void AddName(std::vector<std::string>& names, const std::string& name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

}  // namespace

std::string FoldedHostName(const std::string& hostName) {
  return AnsiUpper(Utf8ToAnsi(hostName));
}

FolderIndex::~FolderIndex() {
  if (m_fd >= 0) ::close(m_fd);
}

bool FolderIndex::Start() {
  if (m_fd >= 0) return true;
  if (m_bUnavailable) return false;
  m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  m_bUnavailable = m_fd < 0;
  return !m_bUnavailable;
}

FolderIndex::Folder* FolderIndex::Indexed(const std::string& hostDir, const struct stat& dirStat) {
  if (m_fd >= 0) ApplyPendingChanges();
  const FolderKey key{dirStat.st_dev, dirStat.st_ino};
  const auto it = m_folders.find(key);
  if (it != m_folders.end()) return &it->second;
  if (m_askedOnce.size() >= kMaxFolders) m_askedOnce.clear();
  if (m_askedOnce.insert(key).second || !Start()) return nullptr;
  return Open(hostDir, key);
}

bool FolderIndex::Find(const std::string& hostDir, const struct stat& dirStat,
                       const std::string& folded, std::vector<std::string>& hostNames) {
  hostNames.clear();
  const Folder* pFolder = Indexed(hostDir, dirStat);
  if (!pFolder) return false;
  const auto found = pFolder->names.find(folded);
  if (found != pFolder->names.end()) hostNames = found->second;
  return true;
}

bool FolderIndex::HasName(const std::string& hostDir, const struct stat& dirStat,
                          const std::function<bool(const std::string&)>& bAccepted,
                          bool& bHasName) {
  bHasName = false;
  const Folder* pFolder = Indexed(hostDir, dirStat);
  if (!pFolder) return false;
  for (const auto& [folded, hostNames] : pFolder->names)
    for (const std::string& hostName : hostNames)
      if (bAccepted(hostName)) return bHasName = true;
  return true;
}

uint64_t FolderIndex::ChangesSeen() {
  if (m_fd >= 0) ApplyPendingChanges();
  return m_nChanges;
}

FolderIndex::Folder* FolderIndex::Open(const std::string& hostDir, const FolderKey& key) {
  if (m_folders.size() >= kMaxFolders) DropAll();
  const std::string dirPath = hostDir.empty() ? "/" : hostDir;
  const int nWatch = ::inotify_add_watch(m_fd, dirPath.c_str(), kWatchedChanges);
  if (nWatch < 0) return nullptr;
  struct stat st {};
  DIR* dir = ::opendir(dirPath.c_str());
  // The watch must be on the folder that was asked about, not on one renamed into its place.
  if (!dir || ::fstat(::dirfd(dir), &st) != 0 || st.st_dev != key.first ||
      st.st_ino != key.second) {
    if (dir) ::closedir(dir);
    if (!m_watches.count(nWatch)) ::inotify_rm_watch(m_fd, nWatch);
    return nullptr;
  }
  Folder& folder = m_folders[key];
  folder.nWatch = nWatch;
  m_watches[nWatch] = key;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") AddName(folder.names[FoldedHostName(name)], name);
  }
  ::closedir(dir);
  return &folder;
}

// A read returns every queued event that fits; one that left room for another event of the
// largest size has emptied the queue, which spares the read that would only say so.
void FolderIndex::ApplyPendingChanges() {
  alignas(inotify_event) char buffer[64 * 1024];
  constexpr ssize_t kLargestEvent = sizeof(inotify_event) + NAME_MAX + 1;
  for (;;) {
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // EAGAIN: nothing queued
    for (ssize_t nAt = 0; nAt < n;) {
      const auto* pEvent = reinterpret_cast<const inotify_event*>(buffer + nAt);
      ApplyChange(pEvent->wd, pEvent->mask, pEvent->len ? pEvent->name : "");
      nAt += static_cast<ssize_t>(sizeof(inotify_event) + pEvent->len);
    }
    if (n <= static_cast<ssize_t>(sizeof buffer) - kLargestEvent) return;
  }
}

void FolderIndex::ApplyChange(int nWatch, uint32_t mask, const char* pszName) {
  ++m_nChanges;
  if (mask & IN_Q_OVERFLOW) return DropAll();
  const auto watch = m_watches.find(nWatch);
  if (watch == m_watches.end()) return;
  if (mask & (IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT)) return Drop(watch->second);
  if (mask & IN_MOVE_SELF) return;  // the names stay; only paths through the folder changed
  Folder& folder = m_folders[watch->second];
  const std::string name = pszName;
  const std::string folded = FoldedHostName(name);
  if (mask & (IN_CREATE | IN_MOVED_TO)) {
    AddName(folder.names[folded], name);
  } else if (mask & (IN_DELETE | IN_MOVED_FROM)) {
    const auto it = folder.names.find(folded);
    if (it == folder.names.end()) return;
    std::erase(it->second, name);
    if (it->second.empty()) folder.names.erase(it);
  }
}

void FolderIndex::Drop(const FolderKey& key) {
  const auto it = m_folders.find(key);
  if (it == m_folders.end()) return;
  ++m_nChanges;
  ::inotify_rm_watch(m_fd, it->second.nWatch);  // fails harmlessly when the kernel dropped it
  m_watches.erase(it->second.nWatch);
  m_folders.erase(it);
}

void FolderIndex::DropAll() {
  // A fresh instance: the old one's queue may still hold events of watches about to be reused.
  ::close(m_fd);
  m_fd = -1;
  ++m_nChanges;
  m_folders.clear();
  m_watches.clear();
  Start();
}

}  // namespace platform::emulated
