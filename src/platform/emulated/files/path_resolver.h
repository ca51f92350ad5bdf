// Maps full Windows paths of the emulated machine to host paths and back. Each drive letter and
// UNC share is a mount: a host directory and a read-only flag from machine.ini. Below the mount,
// each name is looked up without regard to case (Windows-1252 upper case), preferring the exact
// spelling; a name that does not exist keeps the spelling it was given, so new files keep their
// case. Host names are UTF-8, Windows names ANSI.
//
// Resolutions of existing directories, and of files whose host name differs from the name asked
// for, are cached by their upper-case Windows path. A file found by its exact spelling is not:
// the one stat that checks a cached answer finds it as cheaply under its folder's cached path.
// Renames and deletes through the emulated file system drop the entries of the path and of
// everything below it (Forget) and bump the machine's shared ChangeCounter, so that the caches of
// other processes on the same machine start afresh. Resolve checks a cached answer with the one
// stat its callers need anyway (a file removed or renamed on the host, not through the machine,
// is then looked up afresh); ResolveHostPath trusts the cache and makes no system call at all.
// Every look goes by the whole host path, never relative to a kept handle of a drive's root: a
// root directory replaced on the host, or a path the host takes only in pieces (over PATH_MAX),
// would then be seen otherwise than by a process that looks afresh.
// A path found missing is kept too, for the next resolution of the same path only (a file is
// looked at before it is created): that is answered without looking again while the folder's
// index (see FolderIndex) and the other processes have seen no change since, and one stat finds
// the same folder at its path (the index does not see a folder above it replaced on the host).
#pragma once
#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/emulated/files/folder_index.h"
#include "platform/emulated/files/path_cache.h"
#include "platform/emulated/files/win_path.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/emulated/registry/change_counter.h"

namespace platform::emulated {

struct Mount {
  char cDrive = 0;     // 'A'..'Z', or 0 for a share
  std::string server;  // a share's server and share name, as configured
  std::string share;
  std::string hostRoot;  // absolute host directory without a trailing '/' ("" for "/")
  bool bReadOnly = false;
};

// What one look at a host entry tells: its stat (of the target, for a symbolic link), whether it
// is a link, and its birth time as a FILETIME (0 when the file system keeps none).
struct HostEntry {
  struct stat st {};
  bool bLink = false;
  uint64_t ftBirthTime = 0;
};

// One statx gives all of it (a link takes a second one for its target). False when the entry is
// missing or cannot be read.
bool StatHostEntry(const std::string& path, HostEntry& entry);
// The same for an open file descriptor (never a link); false with errno set when it fails.
bool StatOpenFile(int fd, HostEntry& entry);

struct ResolvedPath {
  const Mount* pMount = nullptr;
  std::string hostPath;             // the whole path on the host; missing names appended as given
  size_t nFound = 0;                // how many leading names exist on the host
  size_t nNames = 0;                // how many names the path has
  bool bParentIsDirectory = false;  // the directory that would hold the last name exists
  struct stat st {};                // of hostPath, when Exists()
  bool bLink = false;               // hostPath is a symbolic link (st is its target's)
  uint64_t ftBirthTime = 0;         // of hostPath, when Exists() and the host keeps it

  // Back to a fresh resolution; the host path keeps its room. Member by member (every one is
  // reset here): each query of the file system starts with it.
  void Reset() {
    pMount = nullptr;
    hostPath.clear();
    nFound = nNames = 0;
    bParentIsDirectory = false;
    st = {};
    bLink = false;
    ftBirthTime = 0;
  }

  void Take(const HostEntry& entry) {
    st = entry.st;
    bLink = entry.bLink;
    ftBirthTime = entry.ftBirthTime;
  }

  bool Exists() const { return nFound == nNames && bParentIsDirectory; }
  bool IsDirectory() const { return Exists() && S_ISDIR(st.st_mode); }
};

class PathResolver {
 public:
  // Mounts of the machine's drives and shares; relative host directories lie in machineDir.
  PathResolver(const std::string& machineDir, const MachineConfig& config);

  // The mount of the path's drive or share: ERROR_PATH_NOT_FOUND for a drive the machine does
  // not have, ERROR_BAD_NETPATH for an unknown server, ERROR_BAD_NET_NAME for an unknown share.
  // bExactNameMissing: ResolveInCachedFolder has just found the last name's exact spelling
  // missing in its cached folder, or expects it to be, and it is then not looked at by itself.
  uint32_t Resolve(const WinPath& path, ResolvedPath& resolved, bool bExactNameMissing = false);
  // The resolution of an entry of a cached folder, straight from the text of a plain full drive
  // path (see KeyOfPlainDrivePath) without parsing it into names: one look at the cache and one
  // stat for an existing entry (kFound); for a missing one (kMissing), a stat of the folder and
  // the folder's index, which answers for every spelling, the exact one too when a miss is
  // expected (the folder's last name asked about was missing). resolved is then what Resolve
  // gives. Otherwise the caller goes the general way: the text is not of that form, its folder
  // is not cached, or the name is there in another case or its folder could not be looked at
  // (kExactNameMissing when its exact spelling was found missing).
  enum class CachedFolderAnswer { kFound, kMissing, kExactNameMissing, kGoGeneralWay };
  CachedFolderAnswer ResolveInCachedFolder(std::string_view text, ResolvedPath& resolved);
  // Resolve for the path that the last resolution kept as missing (a file is looked at before it
  // is created), straight from the text of a plain full drive path; false when the text is not
  // that path or the kept answer no longer holds (the caller then resolves it the general way).
  bool ResolveKeptMissing(std::string_view text, ResolvedPath& resolved);
  // LikelyHostPath (below) straight from the text of a plain full drive path; false when the text
  // is not of that form or its folder is not cached (the caller then parses it).
  bool LikelyHostPathOfPlainPath(std::string_view text, std::string& hostPath);
  // Only the host path, from the cache when it has one (see above).
  uint32_t ResolveHostPath(const WinPath& path, std::string& hostPath);
  // The host path of an existing file or directory as cached, without a look at the host: the
  // caller checks it with its own system call (opening it). False when nothing is cached.
  bool CachedHostPath(const WinPath& path, std::string& hostPath);
  // The same, or else the name as spelled in its cached folder, which is where a file found by
  // its exact spelling is; the caller's own system call tells whether it is there.
  bool LikelyHostPath(const WinPath& path, std::string& hostPath);
  // Whether the existing directory `folder` holds a host name that bAccepted takes, from the
  // folder's index (see FolderIndex::HasName); false when it has none, and the caller reads the
  // folder itself.
  bool FolderHasName(const ResolvedPath& folder,
                     const std::function<bool(const std::string&)>& bAccepted, bool& bHasName) {
    return m_index.HasName(folder.hostPath, folder.st, bAccepted, bHasName);
  }
  // Drops the cached resolutions of the path and of everything below it.
  void Forget(const WinPath& path);
  // The Windows path of an absolute host path: the mount with the longest host root that holds
  // it (drives before shares). False when no mount holds it.
  bool WindowsPathOfHost(std::string_view hostPath, WinPath& path) const;
  // True when both paths lie on the same drive or share.
  static bool IsSameMount(const ResolvedPath& a, const ResolvedPath& b) {
    return a.pMount == b.pMount;
  }

 private:
  uint32_t FindMount(const WinPath& path, const Mount*& pMount) const;
  const Mount* DriveMount(char cDrive) const;
  // The longest cached prefix that still exists: how many names it covers (0 for the root).
  // When only the last name's folder is cached, the last name is tried in its exact spelling
  // first, which for an existing file saves the look at the folder; bExactMissed tells that it
  // was tried and is not there (already on entry when the caller knows it).
  size_t CachedPrefix(const std::string& key, const std::vector<size_t>& ends, const WinPath& path,
                      ResolvedPath& resolved, bool& bExactMissed);
  // A plain full drive path split as the cache keys it (views into its key, which m_plainKeys
  // keeps until its next key, and into the text).
  struct PlainPath {
    const std::string* pKey = nullptr;
    const Mount* pMount = nullptr;
    size_t nNames = 0;
    std::string_view folderKey;
    std::string_view name;  // as written
  };
  // The cache's entries for a plain full drive path's folder and last name; no folder when the
  // text is not of that form or its folder is not cached.
  PathCache::InFolder FindPlainPath(std::string_view text, PlainPath& plain);
  // Where the entry `name` of a cached folder is on the host: under its cached host name, or else
  // its exact spelling.
  static void HostPathInCachedFolder(const PathCache::InFolder& found, std::string_view name,
                                     std::string& hostPath);
  // Looks for the entry `name` of a cached folder under its cached host name, or else its exact
  // spelling: true with the host path and what the entry is when it is there.
  bool StatInCachedFolder(const std::string& key, const PathCache::InFolder& found,
                          std::string_view name, ResolvedPath& resolved);
  size_t InCachedFolder(const std::string& key, const WinPath& path, ResolvedPath& resolved,
                        bool& bExactMissed);
  // The name of a plain path, its exact spelling missing or expected to be, looked for in its
  // cached folder's index as Resolve does: true with resolved when it is missing there.
  bool MissingInCachedFolder(const PlainPath& plain, const PathCache::InFolder& found,
                             ResolvedPath& resolved);
  // Notes a miss in a folder whose index said "none": kept for the next resolution of the same
  // path, and the folder's next name is expected to be missing as well.
  void NoteMissing(const std::string& key, size_t nFolderKeySize, const ResolvedPath& resolved);
  // Answers a resolution from the kept missing path when it is that path and still true; name is
  // the path's last name.
  bool TakeLastMissing(const std::string& key, std::string_view name, ResolvedPath& resolved);
  void KeepMissing(const std::string& key, const ResolvedPath& resolved);
  // Drops the whole cache when another process changed names since we last looked.
  void SyncWithOtherProcesses();
  // The name of an entry of the folder hostDir (dirStat its stat) that equals `name` without
  // regard to case: the exact spelling when it exists, else the lowest matching host name; entry
  // receives what it is. Empty when there is none. bTryExact false: the exact spelling is not
  // looked at by itself, as it is known or expected to be missing (a search that finds it still
  // prefers it).
  std::string FindHostName(const std::string& hostDir, const struct stat& dirStat,
                           const std::string& name, HostEntry& entry, bool bTryExact = true);

  std::vector<Mount> m_mounts;
  ChangeCounter m_changes;
  uint64_t m_nChangesSeen = 0;
  PathCache m_cache;
  std::vector<size_t> m_ends;  // where each name's part of the last key ends (kept for its room)
  PlainPathKeys m_plainKeys;   // the keys of ResolveInCachedFolder, kept with their room
  FolderIndex m_index;
  bool m_bIndexFoundNone = false;  // the last FindHostName had the index say "no such name"
  // The upper-case key of the folder in which the last resolution found a name missing, with the
  // index's answer: files made one after another in a folder are each asked about first while
  // missing, so the next name there is looked for in the index without trying its spelling.
  std::string m_folderOfLastMiss;
  struct MissingPath {
    std::string key;             // upper-case path
    std::string parentHostPath;  // the folder that would hold it
    dev_t parentDevice = 0;      // which folder that was
    ino_t parentInode = 0;
    uint64_t nIndexChanges = 0;
    uint64_t nChangesSeen = 0;
  };
  MissingPath m_lastMissing;  // while m_bMissingKept; its strings keep their room between uses
  bool m_bMissingKept = false;
};

}  // namespace platform::emulated
