// SearchPath as the shell-link code uses it (no path list, no default extension): where a program
// named on a command line is found. A name with a directory part or a drive is looked up as it
// is; a bare name in the caller's first directory (the setup's own), the current directory, the
// system directory, the Windows directory and then the directories of the PATH variable.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class Machine;

// ERROR_SUCCESS with the file's full path, or ERROR_FILE_NOT_FOUND. Directories are not found.
uint32_t SearchPath(Machine& machine, const std::string& firstDirectory, const std::string& name,
                    std::string& fullPath);

}  // namespace platform
