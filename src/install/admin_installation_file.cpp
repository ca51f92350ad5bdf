#include "install/admin_installation_file.h"

#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

std::string FileNameOf(const std::string& path) {
  const size_t nSlash = path.find_last_of("\\/:");
  return nSlash == std::string::npos ? path : path.substr(nSlash + 1);
}

void RemoveUnselectedOptions(SetupRun& run, const std::string& path) {
  const OptionTable& table = EngineOf(run).options;
  platform::Profile& profile = run.machine.Profiles();
  for (int32_t i = 1; i < table.Count(); ++i)
    if (!table[i].selected)
      profile.WritePrivateProfileString("Options", table[i].name.c_str(), nullptr, path);
}

}  // namespace

std::string AdminInstallationFilePath(SetupRun& run) {
  std::string path = run.variables.Get("ApplicationDir");
  if (!path.empty() && path.back() != '\\') path.push_back('\\');
  return path + run.variables.Get("SetupInfDir") + FileNameOf(run.ctx.szInfFile);
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
