// Finding the host file behind the program of a Windows command line, and what kind of program it
// is. The rule: a name with a drive or a leading backslash is that path; a name with a backslash
// elsewhere is relative to the new process's current directory; a bare name is looked for in the
// current directory, then in the machine's search directories (given by the machine: System32,
// Windows, ...), then in the host's PATH so that host tools such as "sleep" run. In each place a
// name without extension is tried with ".exe" first and then as it is (host programs have no
// extension), and "x.exe" is tried as "x" when there is no "x.exe". Windows paths become host
// paths only through the machine's path mapping.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Maps a Windows path to the host path behind it; returns a Windows error when it cannot.
using PathMapper = std::function<uint32_t(const std::string& windowsPath, std::string& hostPath)>;

enum class ProgramKind {
  Host,     // an ELF executable or a script with "#!", started directly
  Windows,  // a PE file ("MZ"), started through Wine
  Engine,   // an engine image (engine_image.h), started as the setup engine
};

struct ProgramSearch {
  PathMapper mapPath;
  std::string currentDirectory;                // Windows path; empty: hostCurrentDirectory
  std::string hostCurrentDirectory;            // where the new process starts
  std::vector<std::string> searchDirectories;  // Windows paths
  std::string machineDirectory;                // host path of the machine, when known
};

struct FoundProgram {
  std::string hostPath;
  std::string windowsPath;  // empty when it was found in a host directory
  ProgramKind kind = ProgramKind::Host;
};

// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND (the directory of a path is missing),
// ERROR_ACCESS_DENIED (a directory, or a host program outside the machine without execute
// permission),
// ERROR_BAD_EXE_FORMAT (neither ELF, script, PE nor engine image), or the error of the path
// mapping.
uint32_t FindProgram(const ProgramSearch& search, const std::string& program, FoundProgram& found);

// The host directory of a Windows current directory (empty: the engine's own); ERROR_DIRECTORY
// when it cannot be mapped or is no directory.
uint32_t MapCurrentDirectory(const PathMapper& mapPath, const std::string& windowsDirectory,
                             std::string& hostDirectory);

// The first executable file of that name in the host's PATH, or empty.
std::string FindOnHostPath(const std::string& name);

}  // namespace platform
