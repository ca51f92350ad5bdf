// Path resolution: find the mount, start from the longest cached prefix that still exists, then
// look up the remaining names one directory at a time. A name is first tried in its exact
// spelling (one stat); only when that misses and the name has letters is the folder's index of
// names asked (FolderIndex), or the folder read where it has none.
#include "platform/emulated/files/path_resolver.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/emulated/files/file_times.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr const char* kChangeCounterName = "path_changes";

// Characters that have another spelling in another case.
std::array<bool, 256> MakeCasedTable() {
  std::array<bool, 256> cased{};
  for (int c = 0; c < 256; ++c) {
    const auto upper = static_cast<unsigned char>(AnsiUpperChar(static_cast<char>(c)));
    if (upper != c) cased[c] = cased[upper] = true;
  }
  return cased;
}

bool HasCasedLetters(std::string_view name) {
  static const std::array<bool, 256> kCased = MakeCasedTable();
  for (char c : name)
    if (kCased[static_cast<unsigned char>(c)]) return true;
  return false;
}

// The absolute, lexically normal form of a host directory, without a trailing '/'.
std::string NormalHostDir(const std::string& base, const std::string& dir) {
  std::filesystem::path path(dir);
  if (path.is_relative()) path = std::filesystem::path(base) / path;
  std::string text = path.lexically_normal().string();
  while (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

std::vector<std::string_view> SplitHostPath(std::string_view path) {
  std::vector<std::string_view> names;
  size_t nPos = 0;
  while (nPos < path.size()) {
    size_t nEnd = path.find('/', nPos);
    if (nEnd == std::string_view::npos) nEnd = path.size();
    const std::string_view name = path.substr(nPos, nEnd - nPos);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    nPos = nEnd + 1;
  }
  return names;
}

bool StartsWithNames(const std::vector<std::string_view>& names,
                     const std::vector<std::string_view>& prefix) {
  if (prefix.size() > names.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (names[i] != prefix[i]) return false;
  return true;
}

// The upper-case key of the path and where the key of each leading name ends.
std::string KeyOf(const WinPath& path, std::vector<size_t>& ends) {
  size_t nSize = path.IsUnc() ? 3 + path.server.size() + path.share.size() : 2;
  for (const std::string& part : path.parts) nSize += 1 + part.size();
  std::string key;
  key.reserve(nSize);
  if (path.IsUnc()) {
    key.append("\\\\").append(path.server).append(1, '\\').append(path.share);
  } else {
    key.append(1, path.cDrive).append(1, ':');
  }
  ends.clear();
  for (const std::string& part : path.parts) {
    key.append(1, '\\').append(part);
    ends.push_back(key.size());
  }
  for (char& c : key) c = AnsiUpperChar(c);
  return key;
}

// The host names of hostDir whose upper-case form is `folded`, read from the folder itself.
std::vector<std::string> ReadMatchingNames(const std::string& hostDir, const std::string& folded) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(hostDir.empty() ? "/" : hostDir.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string candidate = entry->d_name;
    if (candidate != "." && candidate != ".." && FoldedHostName(candidate) == folded)
      names.push_back(candidate);
  }
  ::closedir(dir);
  return names;
}

// Every field statx answers is set in place, without a zeroed temporary (every look at the host
// comes here); the rest of st keeps what it held.
void SetStatOfStatx(const struct statx& stx, struct stat& st) {
  st.st_dev = makedev(stx.stx_dev_major, stx.stx_dev_minor);
  st.st_ino = stx.stx_ino;
  st.st_mode = stx.stx_mode;
  st.st_nlink = stx.stx_nlink;
  st.st_uid = stx.stx_uid;
  st.st_gid = stx.stx_gid;
  st.st_rdev = makedev(stx.stx_rdev_major, stx.stx_rdev_minor);
  st.st_size = static_cast<off_t>(stx.stx_size);
  st.st_blksize = static_cast<blksize_t>(stx.stx_blksize);
  st.st_blocks = static_cast<blkcnt_t>(stx.stx_blocks);
  st.st_atim = {static_cast<time_t>(stx.stx_atime.tv_sec), stx.stx_atime.tv_nsec};
  st.st_mtim = {static_cast<time_t>(stx.stx_mtime.tv_sec), stx.stx_mtime.tv_nsec};
  st.st_ctim = {static_cast<time_t>(stx.stx_ctime.tv_sec), stx.stx_ctime.tv_nsec};
}

bool StatxInto(int dirFd, const char* pszPath, int nFlags, HostEntry& entry) {
  struct statx stx;  // the kernel writes all of it (each look of a resolution comes here)
  if (::statx(dirFd, pszPath, nFlags, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0) return false;
  SetStatOfStatx(stx, entry.st);
  entry.ftBirthTime = (stx.stx_mask & STATX_BTIME)
                          ? FileTimeOfTimespec({static_cast<time_t>(stx.stx_btime.tv_sec),
                                                static_cast<long>(stx.stx_btime.tv_nsec)})
                          : 0;
  return true;
}

}  // namespace

bool StatHostEntry(const std::string& path, HostEntry& entry) {
  const char* pszPath = path.empty() ? "/" : path.c_str();
  if (!StatxInto(AT_FDCWD, pszPath, AT_SYMLINK_NOFOLLOW, entry)) return false;
  entry.bLink = S_ISLNK(entry.st.st_mode);
  return !entry.bLink || StatxInto(AT_FDCWD, pszPath, 0, entry);
}

bool StatOpenFile(int fd, HostEntry& entry) {
  entry.bLink = false;
  return StatxInto(fd, "", AT_EMPTY_PATH, entry);
}

std::string PathResolver::FindHostName(const std::string& hostDir, const struct stat& dirStat,
                                       const std::string& name, HostEntry& entry, bool bTryExact) {
  m_bIndexFoundNone = false;
  const std::string exact = AnsiToUtf8(name);
  if (bTryExact && StatHostEntry(hostDir + "/" + exact, entry)) return exact;
  if (!HasCasedLetters(name)) return {};
  const std::string folded = AnsiUpper(name);
  std::vector<std::string> names;
  if (!m_index.Find(hostDir, dirStat, folded, names))
    names = ReadMatchingNames(hostDir, folded);
  else
    m_bIndexFoundNone = names.empty();
  if (names.empty()) return {};
  // The exact spelling, when it was not tried above and is there and can be looked at (not a link
  // to nothing), else the lowest of the names.
  if (!bTryExact && std::find(names.begin(), names.end(), exact) != names.end() &&
      StatHostEntry(hostDir + "/" + exact, entry))
    return exact;
  const std::string best = *std::min_element(names.begin(), names.end());
  if (!StatHostEntry(hostDir + "/" + best, entry)) return {};
  return best;
}

PathResolver::PathResolver(const std::string& machineDir, const MachineConfig& config)
    : m_changes(machineDir + "/" + kChangeCounterName), m_nChangesSeen(m_changes.Read()) {
  const std::string base = NormalHostDir(std::filesystem::current_path().string(), machineDir);
  for (const DriveMapping& drive : config.drives)
    m_mounts.push_back(
        {drive.cLetter, "", "", NormalHostDir(base, drive.hostDir), drive.bReadOnly});
  for (const ShareMapping& share : config.shares)
    m_mounts.push_back(
        {0, share.server, share.share, NormalHostDir(base, share.hostDir), share.bReadOnly});
}

const Mount* PathResolver::DriveMount(char cDrive) const {
  for (const Mount& mount : m_mounts)
    if (mount.cDrive == cDrive) return &mount;
  return nullptr;
}

uint32_t PathResolver::FindMount(const WinPath& path, const Mount*& pMount) const {
  pMount = nullptr;
  if (!path.IsUnc()) {
    pMount = DriveMount(path.cDrive);
    return pMount ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
  }
  bool bServerKnown = false;
  for (const Mount& mount : m_mounts) {
    if (mount.cDrive != 0 || !AnsiEqualNoCase(mount.server, path.server)) continue;
    bServerKnown = true;
    if (AnsiEqualNoCase(mount.share, path.share)) {
      pMount = &mount;
      return ERROR_SUCCESS;
    }
  }
  return bServerKnown ? ERROR_BAD_NET_NAME : ERROR_BAD_NETPATH;
}

void PathResolver::HostPathInCachedFolder(const PathCache::InFolder& found, std::string_view name,
                                          std::string& hostPath) {
  hostPath.assign(*found.pFolderHostPath).push_back('/');
  if (found.pHostName)
    hostPath.append(*found.pHostName);
  else
    AppendAnsiToUtf8(hostPath, name);
}

bool PathResolver::StatInCachedFolder(const std::string& key, const PathCache::InFolder& found,
                                      std::string_view name, ResolvedPath& resolved) {
  std::string& hostPath = resolved.hostPath;
  HostPathInCachedFolder(found, name, hostPath);
  HostEntry entry;
  if (!StatHostEntry(hostPath, entry)) return false;
  if (!found.pHostName && S_ISDIR(entry.st.st_mode)) m_cache.Remember(key, hostPath, true);
  resolved.Take(entry);
  return true;
}

// The common case, answered with one look at the cache: the path's folder is a cached folder
// and the path itself is not cached (a file under its exact name). Its exact spelling is tried
// there; when it is missing, the folder is checked so that the search can go on from it. 0 when
// the folder is not cached or no longer there (the caller then goes the general way).
size_t PathResolver::InCachedFolder(const std::string& key, const WinPath& path,
                                    ResolvedPath& resolved, bool& bExactMissed) {
  const PathCache::InFolder found = m_cache.FindInFolder(key);
  if (!found.pFolderHostPath || found.pHostName || path.parts.empty()) return 0;
  if (!bExactMissed && StatInCachedFolder(key, found, path.parts.back(), resolved))
    return path.parts.size();
  HostEntry folder;
  if (path.parts.size() < 2 || !StatHostEntry(*found.pFolderHostPath, folder) ||
      !S_ISDIR(folder.st.st_mode))
    return 0;
  bExactMissed = true;
  resolved.hostPath = *found.pFolderHostPath;
  resolved.Take(folder);
  return path.parts.size() - 1;
}

PathCache::InFolder PathResolver::FindPlainPath(std::string_view text, PlainPath& plain) {
  plain.pKey = m_plainKeys.MakeKey(text, plain.nNames);
  if (!plain.pKey) return {};
  const std::string_view key = *plain.pKey;
  plain.pMount = DriveMount(key[0]);
  if (!plain.pMount) return {};
  SyncWithOtherProcesses();
  const size_t nNameStart = m_plainKeys.LastNameStart();
  plain.folderKey = key.substr(0, nNameStart - 1);
  plain.name = text.substr(nNameStart);
  return m_cache.FindInFolder(plain.folderKey, key.substr(nNameStart));
}

bool PathResolver::LikelyHostPathOfPlainPath(std::string_view text, std::string& hostPath) {
  PlainPath plain;
  const PathCache::InFolder found = FindPlainPath(text, plain);
  if (!found.pFolderHostPath) return false;
  HostPathInCachedFolder(found, plain.name, hostPath);
  return true;
}

PathResolver::CachedFolderAnswer PathResolver::ResolveInCachedFolder(std::string_view text,
                                                                     ResolvedPath& resolved) {
  constexpr CachedFolderAnswer kGeneral = CachedFolderAnswer::kGoGeneralWay;
  resolved.Reset();
  PlainPath plain;
  const PathCache::InFolder found = FindPlainPath(text, plain);
  resolved.pMount = plain.pMount;
  if (!found.pFolderHostPath) return kGeneral;
  if (m_bMissingKept && m_lastMissing.key == *plain.pKey) return kGeneral;
  const std::string_view name = plain.name;
  const bool bMissExpected =
      !found.pHostName && plain.folderKey == m_folderOfLastMiss && HasCasedLetters(name);
  if (!bMissExpected && StatInCachedFolder(*plain.pKey, found, name, resolved)) {
    resolved.nNames = resolved.nFound = plain.nNames;
    resolved.bParentIsDirectory = true;
    return CachedFolderAnswer::kFound;
  }
  if (found.pHostName) return kGeneral;
  return MissingInCachedFolder(plain, found, resolved) ? CachedFolderAnswer::kMissing
                                                       : CachedFolderAnswer::kExactNameMissing;
}

bool PathResolver::MissingInCachedFolder(const PlainPath& plain, const PathCache::InFolder& found,
                                         ResolvedPath& resolved) {
  const std::string& folderHostPath = *found.pFolderHostPath;
  HostEntry folder;
  if (plain.nNames < 2 || !StatHostEntry(folderHostPath, folder) || !S_ISDIR(folder.st.st_mode))
    return false;
  HostEntry entry;
  if (!FindHostName(folderHostPath, folder.st, std::string(plain.name), entry, false).empty())
    return false;  // there in another case: the general way remembers its host name
  resolved.hostPath = folderHostPath;
  resolved.Take(folder);
  resolved.nNames = plain.nNames;
  resolved.nFound = plain.nNames - 1;
  resolved.bParentIsDirectory = true;
  NoteMissing(*plain.pKey, plain.folderKey.size(), resolved);
  resolved.hostPath.push_back('/');
  AppendAnsiToUtf8(resolved.hostPath, plain.name);
  return true;
}

void PathResolver::NoteMissing(const std::string& key, size_t nFolderKeySize,
                               const ResolvedPath& resolved) {
  m_folderOfLastMiss.clear();
  if (!m_bIndexFoundNone) return;
  KeepMissing(key, resolved);
  if (resolved.nNames >= 2) m_folderOfLastMiss.assign(key, 0, nFolderKeySize);
}

bool PathResolver::ResolveKeptMissing(std::string_view text, ResolvedPath& resolved) {
  if (!m_bMissingKept) return false;
  resolved.Reset();
  const std::string* pKey = m_plainKeys.MakeKey(text, resolved.nNames);
  if (!pKey || *pKey != m_lastMissing.key) return false;
  resolved.pMount = DriveMount((*pKey)[0]);
  SyncWithOtherProcesses();
  return resolved.pMount &&
         TakeLastMissing(*pKey, text.substr(m_plainKeys.LastNameStart()), resolved);
}

size_t PathResolver::CachedPrefix(const std::string& key, const std::vector<size_t>& ends,
                                  const WinPath& path, ResolvedPath& resolved, bool& bExactMissed) {
  if (const size_t nFound = InCachedFolder(key, path, resolved, bExactMissed)) return nFound;
  std::string cached;
  for (size_t i = ends.size(); i > 0; --i) {
    const std::string_view prefix = std::string_view(key).substr(0, ends[i - 1]);
    if (!m_cache.Find(prefix, cached)) continue;
    HostEntry entry;
    if (i + 1 == ends.size() && !bExactMissed) {
      const size_t nFolderEnd = cached.size();
      cached.push_back('/');
      AppendAnsiToUtf8(cached, path.parts[i]);
      if (StatHostEntry(cached, entry)) {
        resolved.hostPath = std::move(cached);
        resolved.Take(entry);
        if (S_ISDIR(entry.st.st_mode)) m_cache.Remember(key, resolved.hostPath, true);
        return i + 1;
      }
      cached.resize(nFolderEnd);
      bExactMissed = true;
    }
    if (StatHostEntry(cached, entry) && (i == ends.size() || S_ISDIR(entry.st.st_mode))) {
      resolved.hostPath = std::move(cached);
      resolved.Take(entry);
      return i;
    }
    bExactMissed = false;
    m_cache.Erase(prefix);  // gone or changed behind our back: look it up afresh
  }
  resolved.hostPath = resolved.pMount->hostRoot;
  return 0;
}

bool PathResolver::TakeLastMissing(const std::string& key, std::string_view name,
                                   ResolvedPath& resolved) {
  if (!m_bMissingKept || m_lastMissing.key != key) return false;
  m_bMissingKept = false;  // used up, whether it still holds or not
  const MissingPath& missing = m_lastMissing;
  if (missing.nChangesSeen != m_nChangesSeen || missing.nIndexChanges != m_index.ChangesSeen())
    return false;
  // The index watches the folder, not the folders above it: one of those replaced on the host
  // puts another folder at the same path, which the index has not seen.
  HostEntry parent;
  if (!StatHostEntry(missing.parentHostPath, parent) || !S_ISDIR(parent.st.st_mode) ||
      parent.st.st_dev != missing.parentDevice || parent.st.st_ino != missing.parentInode)
    return false;
  resolved.hostPath.reserve(missing.parentHostPath.size() + 1 + 2 * name.size());
  resolved.hostPath = missing.parentHostPath;
  resolved.hostPath.push_back('/');
  AppendAnsiToUtf8(resolved.hostPath, name);
  resolved.Take(parent);
  resolved.nFound = resolved.nNames - 1;
  resolved.bParentIsDirectory = true;
  return true;
}

void PathResolver::KeepMissing(const std::string& key, const ResolvedPath& resolved) {
  MissingPath& missing = m_lastMissing;
  missing.key = key;
  missing.parentHostPath = resolved.hostPath;
  missing.parentDevice = resolved.st.st_dev;
  missing.parentInode = resolved.st.st_ino;
  missing.nIndexChanges = m_index.ChangesApplied();
  missing.nChangesSeen = m_nChangesSeen;
  m_bMissingKept = true;
}

void PathResolver::SyncWithOtherProcesses() {
  const uint64_t nChanges = m_changes.Read();
  if (nChanges == m_nChangesSeen) return;
  m_cache.Clear();
  m_nChangesSeen = nChanges;
}

bool PathResolver::CachedHostPath(const WinPath& path, std::string& hostPath) {
  SyncWithOtherProcesses();
  if (path.parts.empty()) return false;
  return m_cache.Find(KeyOf(path, m_ends), hostPath);
}

bool PathResolver::LikelyHostPath(const WinPath& path, std::string& hostPath) {
  SyncWithOtherProcesses();
  if (path.parts.empty()) return false;
  const std::string key = KeyOf(path, m_ends);
  if (m_cache.Find(key, hostPath)) return true;
  if (m_ends.size() < 2) return false;  // a name in the root, which is not cached
  if (!m_cache.Find(std::string_view(key).substr(0, m_ends[m_ends.size() - 2]), hostPath))
    return false;
  hostPath.push_back('/');
  AppendAnsiToUtf8(hostPath, path.parts.back());
  return true;
}

uint32_t PathResolver::ResolveHostPath(const WinPath& path, std::string& hostPath) {
  if (m_changes.IsShared() && CachedHostPath(path, hostPath)) return ERROR_SUCCESS;
  ResolvedPath resolved;
  if (uint32_t err = Resolve(path, resolved)) return err;
  hostPath = std::move(resolved.hostPath);
  return ERROR_SUCCESS;
}

uint32_t PathResolver::Resolve(const WinPath& path, ResolvedPath& resolved,
                               bool bExactNameMissing) {
  resolved.Reset();
  if (uint32_t err = FindMount(path, resolved.pMount)) return err;
  SyncWithOtherProcesses();
  const std::string key = KeyOf(path, m_ends);
  resolved.nNames = path.parts.size();
  if (!path.parts.empty() && TakeLastMissing(key, path.parts.back(), resolved))
    return ERROR_SUCCESS;
  m_bIndexFoundNone = false;
  bool bExactMissed = bExactNameMissing;
  size_t nFound = CachedPrefix(key, m_ends, path, resolved, bExactMissed);
  HostEntry root;
  bool bPresent = nFound > 0 || StatHostEntry(resolved.hostPath, root);
  if (nFound == 0 && bPresent) resolved.Take(root);
  while (bPresent && nFound < resolved.nNames && S_ISDIR(resolved.st.st_mode)) {
    HostEntry entry;
    const bool bTryExact = !(bExactMissed && nFound + 1 == resolved.nNames);
    const std::string name =
        FindHostName(resolved.hostPath, resolved.st, path.parts[nFound], entry, bTryExact);
    if (name.empty()) break;
    resolved.hostPath.append(1, '/').append(name);
    resolved.Take(entry);
    const bool bDirectory = S_ISDIR(entry.st.st_mode);
    if (bDirectory || name != AnsiToUtf8(path.parts[nFound]))
      m_cache.Remember(std::string_view(key).substr(0, m_ends[nFound]), resolved.hostPath,
                       bDirectory);
    ++nFound;
  }
  resolved.nFound = bPresent ? nFound : 0;
  if (nFound == resolved.nNames)
    resolved.bParentIsDirectory = bPresent;
  else
    resolved.bParentIsDirectory =
        bPresent && nFound + 1 == resolved.nNames && S_ISDIR(resolved.st.st_mode);
  if (resolved.bParentIsDirectory && nFound + 1 == resolved.nNames)
    NoteMissing(key, resolved.nNames >= 2 ? m_ends[resolved.nNames - 2] : 0, resolved);
  else
    m_folderOfLastMiss.clear();
  for (size_t i = resolved.nFound; i < resolved.nNames; ++i) {
    resolved.hostPath.push_back('/');
    AppendAnsiToUtf8(resolved.hostPath, path.parts[i]);
  }
  if (resolved.hostPath.empty()) resolved.hostPath = "/";
  return ERROR_SUCCESS;
}

void PathResolver::Forget(const WinPath& path) {
  m_bMissingKept = false;
  m_cache.EraseTree(KeyOf(path, m_ends));
  // Tell the other processes; when one of them changed names since we last looked, our own
  // cache is stale as well.
  const uint64_t nBefore = m_changes.Bump();
  if (nBefore != m_nChangesSeen) m_cache.Clear();
  m_nChangesSeen = nBefore + 1;
}

bool PathResolver::WindowsPathOfHost(std::string_view hostPath, WinPath& path) const {
  if (hostPath.empty() || hostPath[0] != '/') return false;
  const std::vector<std::string_view> names = SplitHostPath(hostPath);
  const Mount* pBest = nullptr;
  size_t nBestDepth = 0;
  for (const Mount& mount : m_mounts) {
    const std::vector<std::string_view> root = SplitHostPath(mount.hostRoot);
    if (StartsWithNames(names, root) && (!pBest || root.size() > nBestDepth)) {
      pBest = &mount;
      nBestDepth = root.size();
    }
  }
  if (!pBest) return false;
  path = WinPath();
  path.cDrive = pBest->cDrive;
  path.server = pBest->server;
  path.share = pBest->share;
  for (size_t i = nBestDepth; i < names.size(); ++i) path.parts.push_back(Utf8ToAnsi(names[i]));
  return true;
}

}  // namespace platform::emulated
