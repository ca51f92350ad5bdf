// The system directory as the copy rules see it: whether it can be written (checked once per run
// by creating and deleting a probe file in it), and whether an administrator setup copies the
// files meant for it a second time, which it does when that directory lies outside the Windows
// directory and can be written.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

struct SetupRun;

bool IsSystemDirectoryWritable(SetupRun& run);

bool CopiesSystemFilesTwice(SetupRun& run);

// Whether a full path lies in a directory (or is that directory), without regard to case.
bool PathLiesIn(std::string_view path, std::string_view dir);

// Whether a full path lies in the system directory (%System%).
bool LiesInSystemDirectory(SetupRun& run, const std::string& path);

}  // namespace tarvium
