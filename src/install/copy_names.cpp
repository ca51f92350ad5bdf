// The numbers are tried in order, so a directory with n backups costs n lookups for the next one;
// that stays small, as each replacement adds one.
#include "install/copy_names.h"

#include <cstdio>

#include "engine/setup_run.h"
#include "install/file_path_parts.h"

namespace tarvium {
namespace {

constexpr int kNumberedNames = 1000;

// base + ".000", ".001", ... : the first that names nothing; the last one when all are taken.
std::string FirstFreeNumberedName(SetupRun& run, const std::string& base) {
  std::string name;
  for (int n = 0; n < kNumberedNames; ++n) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03d", n);
    name = base + suffix;
    uint32_t dwAttributes = 0;
    if (run.machine.Files().GetFileAttributes(name, dwAttributes) != 0) break;
  }
  return name;
}

}  // namespace

std::string TemporaryCopyName(SetupRun& run, const std::string& destination, bool bKeepExisting) {
  const std::string base = PathWithoutExtension(destination);
  return bKeepExisting ? base + ".new" : FirstFreeNumberedName(run, base);
}

std::string BackupName(SetupRun& run, const std::string& destination) {
  return FirstFreeNumberedName(run, destination);
}

}  // namespace tarvium
