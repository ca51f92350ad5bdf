#include "install/uninstall_commands.h"

#include <utility>

#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "install/file_path_parts.h"

namespace tarvium {
namespace {

constexpr uint32_t kReinstallRunFlags = 4;  // the repeat run does not start RunIfInstalled

std::string ApplicationKey(SetupRun& run, const char* pszKey) {
  std::string value;
  if (run.inf) GetValue(*run.inf, "Application", pszKey, value, kShortTextSize);
  return value;
}

// The setup information file as the install pass left it, in the application directory.
std::string InstalledInfPath(SetupRun& run) {
  return InfPathBelow(run, run.variables.Get("App"));
}

}  // namespace

std::string InfPathIn(std::string directory, std::string_view setupInfDir,
                      std::string_view infFile) {
  if (!directory.empty() && directory.back() != '\\') directory.push_back('\\');
  directory += setupInfDir;
  if (!setupInfDir.empty() && setupInfDir.back() != '\\') directory.push_back('\\');
  return directory + FileNameOf(infFile);
}

std::string InfPathBelow(SetupRun& run, std::string directory) {
  return InfPathIn(std::move(directory),
                   run.ctx.bFromCD ? std::string() : run.variables.Get("SetupInfDir"),
                   run.ctx.szInfFile);
}

std::string BuiltUninstallCommand(const std::string& program, const std::string& infPath,
                                  bool bQuoteProgram, bool bUninstall) {
  const std::string quotedProgram = bQuoteProgram ? "\"" + program + "\"" : program;
  return quotedProgram + " \"" + infPath + "\"" + (bUninstall ? " /U" : "");
}

void BuildUninstallCommands(SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  std::string uninstall = run.variables.Get("UninstallString");
  std::string reinstall = run.variables.Get("ReinstallString");
  if (ctx.bAdminInstallation) {
    const bool bFromApplication = !ctx.bClientSetup && ctx.bUseUninstallStringFromApplication;
    uninstall = !ctx.szAdminUninstallString.empty() ? ctx.szAdminUninstallString
                : bFromApplication                  ? ApplicationKey(run, "UninstallString")
                                                    : std::string();
    reinstall = !ctx.szAdminReinstallString.empty() ? ctx.szAdminReinstallString
                : bFromApplication                  ? ApplicationKey(run, "ReinstallString")
                                                    : std::string();
  }
  const bool bQuoteProgram = RunOsVersion(run).dwMajorVersion >= 4;
  if (uninstall.empty())
    uninstall =
        BuiltUninstallCommand(kUninstallProgram, InstalledInfPath(run), bQuoteProgram, true);
  if (reinstall.empty())
    reinstall =
        BuiltUninstallCommand(kUninstallProgram, InstalledInfPath(run), bQuoteProgram, false);
  ReplaceVariables(run, uninstall);
  ReplaceVariables(run, reinstall);
  reinstall += " /X" + std::to_string(kReinstallRunFlags);
  run.variables.Set("UninstallString", uninstall);
  run.variables.Set("ReinstallString", reinstall);
}

}  // namespace tarvium
