// Walking the files a command names: a directory and a file mask, optionally through every
// subdirectory. Copy, Del and the sizing of Copy share it; the mask is matched by the file
// system's own enumeration, so wildcards mean what they mean to Windows.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace tarvium {

struct SetupRun;

// A path split into its directory (without trailing backslash; "." for none) and last part.
struct SplitPath {
  std::string directory;
  std::string name;
};
SplitPath SplitLastPart(std::string_view path);
std::string JoinPath(std::string_view directory, std::string_view name);

// One file found: the path relative to the walk's directory ("sub\a.txt") and its data.
using FileVisitor = std::function<bool(const std::string& relative, const platform::FindData&)>;

// Calls visit for each file matching the mask in directory (and with bRecursive in every
// subdirectory, files of a directory before its subdirectories). Stops with false as soon as
// visit returns false; a directory without matches is no failure.
bool WalkFiles(SetupRun& run, const std::string& directory, const std::string& mask,
               bool bRecursive, const FileVisitor& visit);

// The subdirectories of a directory (names only).
std::vector<std::string> ListSubdirectories(SetupRun& run, const std::string& directory);

}  // namespace tarvium
