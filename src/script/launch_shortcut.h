// A shortcut given as the program of a start: its target, arguments, working directory and window
// state, read from the .lnk file through the machine and with the %Name% references in them
// replaced. A .pif file, or a .lnk that is no readable shell link, is not resolved: the launcher
// then starts the file as it is and the machine decides whether it can run it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

struct LaunchShortcut {
  std::string target;  // empty: the link names no file
  std::string arguments;
  std::string workingDir;
  uint32_t nShowCmd = 0;
};

// Whether the program names a shortcut: it ends in ".lnk" or ".pif" (any case).
bool IsShortcutName(std::string_view program);

// False when the file cannot be read or is no shell link.
bool ResolveShortcut(SetupRun& run, const std::string& linkPath, LaunchShortcut& shortcut);

}  // namespace tarvium
