#include "install/admin_installation_file.h"

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/uninstall_commands.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

void RemoveUnselectedOptions(SetupRun& run, const std::string& path) {
  const OptionTable& table = EngineOf(run).options;
  platform::Profile& profile = run.machine.Profiles();
  for (int32_t i = 1; i < table.Count(); ++i)
    if (!table[i].selected)
      profile.WritePrivateProfileString("Options", table[i].name.c_str(), nullptr, path);
}

}  // namespace

std::string AdminInstallationFilePath(SetupRun& run) {
  return InfPathBelow(run, run.variables.Get("ApplicationDir"));
}

bool RewriteAdminInstallationFile(SetupRun& run) {
  const std::string path = AdminInstallationFilePath(run);
  platform::FileSystem& files = run.machine.Files();
  platform::FileInfo info;
  if (files.GetFileAttributesEx(path, info) != platform::ERROR_SUCCESS) return false;
  if (run.machine.Profiles().WritePrivateProfileString("Admin", "AdminSetup", "1", path) !=
      platform::ERROR_SUCCESS)
    return false;
  if (run.ctx.bAskOptions) RemoveUnselectedOptions(run, path);
  files.SetFileTimes(path, info.times);
  return true;
}

}  // namespace tarvium
