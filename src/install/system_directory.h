// The system directory as the copy rules see it: whether it can be written (checked once per run
// by creating and deleting a probe file in it), and whether an administrator setup copies the
// files meant for it a second time, which it does when that directory lies outside the Windows
// directory and can be written.
#pragma once
#include <string>
#include <string_view>

#include "platform/ansi_case.h"

namespace tarvium {

struct SetupRun;

bool IsSystemDirectoryWritable(SetupRun& run);

bool CopiesSystemFilesTwice(SetupRun& run);

// Whether a full path lies in a directory (or is that directory), without regard to case.
// Inline: every copy line asks it of several directories, and most differ in the first letter.
inline bool PathLiesIn(std::string_view path, std::string_view dir) {
  while (!dir.empty() && dir.back() == '\\') dir.remove_suffix(1);
  if (dir.empty() || path.empty() ||
      platform::AnsiUpperChar(path[0]) != platform::AnsiUpperChar(dir[0]))
    return false;
  return platform::AnsiStartsWithNoCase(path, dir) &&
         (path.size() == dir.size() || path[dir.size()] == '\\');
}

// Whether a full path lies in the system directory (%System%).
bool LiesInSystemDirectory(SetupRun& run, const std::string& path);

}  // namespace tarvium
