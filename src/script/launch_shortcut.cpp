// Reads the link through the machine's file system and takes a relative target against the
// link's full path, so that a link found through the current directory resolves the same way as
// one given with its whole path.
#include "script/launch_shortcut.h"

#include "engine/debug_output.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/shell_link.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

std::string FullPathOf(SetupRun& run, const std::string& path) {
  std::string fullPath;
  if (path.empty() || run.machine.Files().GetFullPathName(path, fullPath) != 0) return path;
  return fullPath;
}

}  // namespace

bool IsShortcutName(std::string_view program) {
  return platform::AnsiEndsWithNoCase(program, ".lnk") ||
         platform::AnsiEndsWithNoCase(program, ".pif");
}

bool ResolveShortcut(SetupRun& run, const std::string& linkPath, LaunchShortcut& shortcut) {
  platform::ShellLink link;
  if (const uint32_t err = platform::ReadShellLinkFile(run.machine.Files(), linkPath, link)) {
    DebugOutput(run,
                err == platform::ERROR_BAD_FORMAT
                    ? "'" + linkPath + "' is no shell link; started as it is"
                    : "Shortcut '" + linkPath + "' cannot be read, error " + std::to_string(err));
    return false;
  }
  shortcut.target = platform::ShellLinkTarget(link, FullPathOf(run, linkPath));
  shortcut.arguments = link.szArguments;
  shortcut.workingDir = link.szWorkingDir;
  shortcut.nShowCmd = platform::ShowCommandOfLink(link);
  for (std::string* pText : {&shortcut.target, &shortcut.arguments, &shortcut.workingDir})
    ReplaceVariables(run, *pText);
  if (link.szLocalBasePath.empty() && link.szNetName.empty())
    shortcut.target = FullPathOf(run, shortcut.target);  // resolves "..\" of a relative path
  return true;
}

}  // namespace tarvium
