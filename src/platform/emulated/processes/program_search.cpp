// The program search: candidate names per place, places in order, and a look at the first bytes
// of the file found to tell a host program from a Windows one or an engine image. Everything that
// touches a Windows path goes through the machine's mapping; only host PATH entries are host paths
// from the start.
#include "platform/emulated/processes/program_search.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/ansi_case.h"
#include "platform/emulated/machine/host_errno.h"
#include "platform/emulated/processes/engine_image.h"
#include "platform/win_error.h"

namespace platform {
namespace {

// A place to look: a Windows directory (empty: the name is a whole Windows path) or a host one.
struct SearchPlace {
  std::string directory;
  bool bHost = false;
};

bool IsAbsoluteWindowsPath(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || path.starts_with('\\') || path.starts_with('/');
}

bool HasDirectoryPart(const std::string& name) {
  return name.find_first_of("\\/:") != std::string::npos;
}

std::vector<std::string> NameCandidates(const std::string& name) {
  const size_t nLastSeparator = name.find_last_of("\\/:");
  const size_t nDot = name.rfind('.');
  const bool bHasExtension =
      nDot != std::string::npos && (nLastSeparator == std::string::npos || nDot > nLastSeparator);
  if (!bHasExtension) return {name + ".exe", name};
  if (AnsiEndsWithNoCase(name, ".exe")) return {name, name.substr(0, name.size() - 4)};
  return {name};
}

// The Windows path of a name in a Windows place; empty in a host place.
std::string WindowsPathIn(const SearchPlace& place, const std::string& name) {
  if (place.bHost) return {};
  if (place.directory.empty()) return name;
  return place.directory + (place.directory.ends_with('\\') ? "" : "\\") + name;
}

uint32_t HostPathIn(const ProgramSearch& search, const SearchPlace& place, const std::string& name,
                    std::string& hostPath) {
  if (place.bHost) {
    hostPath = place.directory + "/" + name;
    for (char& c : hostPath)
      if (c == '\\') c = '/';
    return ERROR_SUCCESS;
  }
  return search.mapPath ? search.mapPath(WindowsPathIn(place, name), hostPath)
                        : ERROR_PATH_NOT_FOUND;
}

SearchPlace CurrentDirectoryPlace(const ProgramSearch& search) {
  if (search.currentDirectory.empty()) return {search.hostCurrentDirectory, true};
  return {search.currentDirectory, false};
}

bool IsDirectory(const std::string& hostPath) {
  struct stat st {};
  return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ParentIsDirectory(const std::string& hostPath) {
  const size_t nSlash = hostPath.find_last_of('/');
  return nSlash == std::string::npos || IsDirectory(nSlash == 0 ? "/" : hostPath.substr(0, nSlash));
}

// Windows runs a program whatever its permissions. A host program that a setup copied onto the
// machine has lost its execute bit (a copy writes the data, not the host's modes), so one inside
// the machine's directory gets the bit back; one outside it needs the bit already.
bool IsRunnable(const std::string& hostPath, const std::string& machineDirectory) {
  if (::faccessat(AT_FDCWD, hostPath.c_str(), X_OK, AT_EACCESS) == 0) return true;
  struct stat st {};
  if (machineDirectory.empty() || !hostPath.starts_with(machineDirectory + "/") ||
      ::stat(hostPath.c_str(), &st) != 0)
    return false;
  return ::chmod(hostPath.c_str(), (st.st_mode | S_IXUSR) & 07777) == 0;
}

uint32_t ClassifyProgram(const std::string& hostPath, const std::string& machineDirectory,
                         FoundProgram& found) {
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return WinErrorFromErrno(errno);
  char head[sizeof kEngineImageSignature] = {};
  const ssize_t n = ::read(fd, head, sizeof(head));
  ::close(fd);
  const std::string_view start(head, n > 0 ? static_cast<size_t>(n) : 0);
  found.hostPath = hostPath;
  if (start.starts_with("MZ") || IsEngineImage(start)) {
    found.kind = start.starts_with("MZ") ? ProgramKind::Windows : ProgramKind::Engine;
    return ERROR_SUCCESS;
  }
  if (!start.starts_with("\x7F"
                         "ELF") &&
      !start.starts_with("#!"))
    return ERROR_BAD_EXE_FORMAT;
  found.kind = ProgramKind::Host;
  return IsRunnable(hostPath, machineDirectory) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Looks in one place; ERROR_FILE_NOT_FOUND when no candidate is a file there.
uint32_t FindInPlace(const ProgramSearch& search, const SearchPlace& place, const std::string& name,
                     FoundProgram& found) {
  for (const std::string& candidate : NameCandidates(name)) {
    std::string hostPath;
    struct stat st {};
    if (HostPathIn(search, place, candidate, hostPath) == ERROR_SUCCESS &&
        ::stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      found.windowsPath = WindowsPathIn(place, candidate);
      return ClassifyProgram(hostPath, search.machineDirectory, found);
    }
  }
  return ERROR_FILE_NOT_FOUND;
}

// A program given with a directory: when it is not there, the error says what is missing.
uint32_t FindAtPath(const ProgramSearch& search, const SearchPlace& place, const std::string& path,
                    FoundProgram& found) {
  if (const uint32_t err = FindInPlace(search, place, path, found); err != ERROR_FILE_NOT_FOUND)
    return err;
  std::string hostPath;
  if (const uint32_t err = HostPathIn(search, place, path, hostPath)) return err;
  if (IsDirectory(hostPath)) return ERROR_ACCESS_DENIED;
  return ParentIsDirectory(hostPath) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

std::vector<std::string> HostPathDirectories() {
  std::vector<std::string> dirs;
  const char* pszPath = std::getenv("PATH");
  std::string_view rest = pszPath ? pszPath : "";
  while (!rest.empty()) {
    const size_t nColon = rest.find(':');
    const std::string_view dir = rest.substr(0, nColon);
    if (dir.starts_with('/')) dirs.emplace_back(dir);  // relative entries mean the host's cwd
    rest = nColon == std::string_view::npos ? std::string_view() : rest.substr(nColon + 1);
  }
  return dirs;
}

std::vector<SearchPlace> SearchPlaces(const ProgramSearch& search) {
  std::vector<SearchPlace> places{CurrentDirectoryPlace(search)};
  for (const std::string& dir : search.searchDirectories) places.push_back({dir, false});
  for (const std::string& dir : HostPathDirectories()) places.push_back({dir, true});
  return places;
}

}  // namespace

uint32_t FindProgram(const ProgramSearch& search, const std::string& program, FoundProgram& found) {
  if (program.empty()) return ERROR_FILE_NOT_FOUND;
  if (IsAbsoluteWindowsPath(program)) return FindAtPath(search, {}, program, found);
  if (HasDirectoryPart(program))
    return FindAtPath(search, CurrentDirectoryPlace(search), program, found);
  for (const SearchPlace& place : SearchPlaces(search)) {
    const uint32_t err = FindInPlace(search, place, program, found);
    if (err != ERROR_FILE_NOT_FOUND) return err;
  }
  return ERROR_FILE_NOT_FOUND;
}

uint32_t MapCurrentDirectory(const PathMapper& mapPath, const std::string& windowsDirectory,
                             std::string& hostDirectory) {
  if (windowsDirectory.empty()) {
    char* pszCwd = ::getcwd(nullptr, 0);
    if (!pszCwd) return ERROR_DIRECTORY;
    hostDirectory = pszCwd;
    std::free(pszCwd);
    return ERROR_SUCCESS;
  }
  if (!mapPath || mapPath(windowsDirectory, hostDirectory) != ERROR_SUCCESS) return ERROR_DIRECTORY;
  return IsDirectory(hostDirectory) ? ERROR_SUCCESS : ERROR_DIRECTORY;
}

std::string FindOnHostPath(const std::string& name) {
  for (const std::string& dir : HostPathDirectories()) {
    const std::string path = dir + "/" + name;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0)
      return path;
  }
  return {};
}

}  // namespace platform
