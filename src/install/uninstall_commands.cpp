#include "install/uninstall_commands.h"

#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"

namespace tarvium {
namespace {

constexpr uint32_t kReinstallRunFlags = 4;  // the repeat run does not start RunIfInstalled

// The file name part of a path.
std::string FileNameOf(const std::string& path) {
  const size_t nSlash = path.find_last_of("\\/:");
  return nSlash == std::string::npos ? path : path.substr(nSlash + 1);
}

std::string ApplicationKey(SetupRun& run, const char* pszKey) {
  std::string value;
  if (run.inf) GetValue(*run.inf, "Application", pszKey, value, kShortTextSize);
  return value;
}

// The setup information file as the install pass left it: in the application directory, below
// its own directory of the source (not in a start from CD).
std::string InstalledInfPath(SetupRun& run) {
  const VariableStore& v = run.variables;
  std::string path = v.Get("App");
  if (!path.empty() && path.back() != '\\') path.push_back('\\');
  if (!run.ctx.bFromCD) path += v.Get("SetupInfDir");
  return path + FileNameOf(run.ctx.szInfFile);
}

}  // namespace

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
  const bool bQuoteProgram = run.machine.System().OsVersion().dwMajorVersion >= 4;
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
