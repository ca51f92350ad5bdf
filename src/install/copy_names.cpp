// The numbers are tried in order, so a directory with n backups costs n lookups for the next one;
// that stays small, as each replacement adds one. After a killed run a temporary copy it left
// unfinished (dated as such) is taken over by the next run's copy of the same file.
#include "install/copy_names.h"

#include <cstdio>

#include "engine/setup_run.h"
#include "install/copy_times.h"
#include "install/file_path_parts.h"
#include "install/run_journal.h"

namespace tarvium {
namespace {

constexpr int kNumberedNames = 1000;

// A temporary copy that a killed run left unfinished: the next run deletes it and takes its name,
// so that no such copy stays behind.
bool TakesUnfinishedCopy(SetupRun& run, const std::string& name) {
  platform::FileSystem& files = run.machine.Files();
  platform::FileInfo info;
  if (files.GetFileSizeAndTimes(name, info) != 0 ||
      !IsInterruptedCopyStamp(run, info.times.ftLastWriteTime))
    return false;
  files.SetFileAttributes(name, platform::FILE_ATTRIBUTE_NORMAL);
  return files.DeleteFile(name) == 0;
}

// base + ".000", ".001", ... : the first that names nothing (or, with bTakeUnfinished, an
// unfinished copy of a killed run); the last one when all are taken.
std::string FirstFreeNumberedName(SetupRun& run, const std::string& base, bool bTakeUnfinished) {
  std::string name;
  for (int n = 0; n < kNumberedNames; ++n) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03d", n);
    name = base + suffix;
    uint32_t dwAttributes = 0;
    if (run.machine.Files().GetFileAttributes(name, dwAttributes) != 0) break;
    if (bTakeUnfinished && TakesUnfinishedCopy(run, name)) break;
  }
  return name;
}

}  // namespace

std::string TemporaryCopyName(SetupRun& run, const std::string& destination, bool bKeepExisting) {
  const std::string base = PathWithoutExtension(destination);
  return bKeepExisting ? base + ".new"
                       : FirstFreeNumberedName(run, base, FollowsInterruptedRun(run));
}

std::string BackupName(SetupRun& run, const std::string& destination) {
  return FirstFreeNumberedName(run, destination, false);
}

}  // namespace tarvium
