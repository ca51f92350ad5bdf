// Operations put off to the next restart because a file is in use, and the rename that falls
// back on them. A Windows NT machine keeps them in the system's pending rename list (MoveFileEx
// with MOVEFILE_DELAY_UNTIL_REBOOT); a machine whose OS data says DOS-based keeps them as lines of
// the "Rename" section of WININIT.INI in the Windows directory, "target=source" with short paths
// and "NUL" as the target of a delete. That section is read back and written whole, because one
// key may occur several times there and the order of the lines is the order of execution, which
// the profile functions' key-by-key writing would not keep.
#include <string_view>

#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/file_path_parts.h"
#include "install/shared_files.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr uint32_t kPlatformDos = 1;  // VER_PLATFORM_WIN32_WINDOWS

std::string ShortPathOf(SetupRun& run, const std::string& path) {
  std::string shortPath;
  if (run.machine.Files().GetShortPathName(path, shortPath) != platform::ERROR_SUCCESS)
    return path;  // a target that does not exist yet has no short form
  return shortPath;
}

uint32_t DeferInWininit(SetupRun& run, const std::string& source, const std::string& target) {
  const std::string wininit = run.variables.Get("Windows") + "\\WININIT.INI";
  const std::string entry = (target.empty() ? std::string("NUL") : ShortPathOf(run, target)) + "=" +
                            ShortPathOf(run, source);
  std::string entries = run.machine.Profiles().GetPrivateProfileSection("Rename", wininit);
  entries.append(entry).push_back('\0');
  return run.machine.Profiles().WritePrivateProfileSection("Rename", entries, wininit);
}

}  // namespace

bool DeferFileOperation(SetupRun& run, const std::string& source, const std::string& target) {
  uint32_t err = platform::ERROR_SUCCESS;
  if (RunOsVersion(run).dwPlatformId == kPlatformDos) {
    err = DeferInWininit(run, source, target);
  } else {
    const uint32_t dwFlags = platform::MOVEFILE_DELAY_UNTIL_REBOOT |
                             (target.empty() ? 0 : platform::MOVEFILE_REPLACE_EXISTING);
    err = run.machine.Files().MoveFileEx(source, target, dwFlags);
  }
  SetupTrace(run, "Deferred until restart: %s -> %s (error %u)\n", source.c_str(),
             target.empty() ? "(delete)" : target.c_str(), err);
  if (err != platform::ERROR_SUCCESS) return false;
  NotePlan(run, "restart", target.empty() ? source : target, target.empty() ? "delete" : "replace",
           target.empty() ? "in use: removed at the next restart"
                          : "in use: put in place at the next restart from " + source);
  run.ctx.bConfigChanged = true;
  return true;
}

bool RenameInstalledFile(SetupRun& run, const std::string& from, const std::string& to) {
  std::string target = to;
  if (ParentDirectoryOf(to).empty()) {
    const std::string directory = ParentDirectoryOf(from);
    if (!directory.empty()) target = directory + (directory.back() == '\\' ? "" : "\\") + to;
  }
  const uint32_t err = run.machine.Files().MoveFileEx(from, target, 0);
  if (err == platform::ERROR_SUCCESS) return true;
  const bool bDeferrable = err == platform::ERROR_ALREADY_EXISTS ||
                           err == platform::ERROR_FILE_EXISTS ||
                           err == platform::ERROR_ACCESS_DENIED;
  if (!bDeferrable || run.ctx.bAdminSetup) return false;
  return DeferFileOperation(run, from, target);
}

}  // namespace tarvium
