#include "install/previous_version.h"

#include <cstdio>
#include <cstdlib>

#include "engine/setup_run.h"
#include "install/installed_product.h"
#include "platform/win_error.h"
#include "script/last_error.h"
#include "script/launch_program.h"

namespace tarvium {
namespace {

using platform::RegRoot;

constexpr uint32_t kRemovalRunFlags = 0x0A;  // machine part only, never restart
constexpr uint32_t k64BitViewFlag = 0x40;
constexpr int32_t kUnknownProduct = 1619;

std::string ReadMachineText(SetupRun& run, const std::string& key, const char* pszName) {
  return RecordText(run, RegRoot::LocalMachine, key, pszName);
}

std::string HexSwitch(uint32_t dwFlags) {
  char text[16];
  std::snprintf(text, sizeof text, " /X%x", dwFlags);
  return text;
}

std::string RemovalCommand(SetupRun& run, const InstalledVersionInfo& older) {
  const SetupContext& ctx = run.ctx;
  const std::string& machineKey = run.variables.Get("MachineKeyName");
  const std::string prefix = older.b64BitView ? "Software\\Wow6432Node\\" : "Software\\";
  const std::string record = prefix + ProductKeyOf(machineKey) + "\\" + older.szVersion + "\\Setup";
  std::string command = ReadMachineText(run, record, "UninstallString");
  const bool bMachineSetup =
      !command.empty() && std::atoi(ReadMachineText(run, record, "MachineSetup").c_str()) != 0;
  if (command.empty())
    command = ReadMachineText(run,
                              prefix + "Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                                  run.variables.Get("UninstallKeyName"),
                              "UninstallString");
  if (command.empty()) return command;
  command += HexSwitch(kRemovalRunFlags);
  if (older.b64BitView) command += HexSwitch(k64BitViewFlag);
  if (ctx.bServiceMode)
    command += " /SX";
  else if (ctx.bSilent)
    command += " /S" + std::to_string(ctx.iSilentLevel);
  if (bMachineSetup) command += " /AW";
  const std::string& errorFile = ctx.szErrorSwitch.empty() ? ctx.szErrorFile : ctx.szErrorSwitch;
  if (!errorFile.empty()) command += " /E\"" + errorFile + "\"";
  return command;
}

// A removal that ended asking for a restart (-6702) or a restart of the computer (-6708) ended
// well; the main sequence stops for that restart. Any other negative code, a log-off or shutdown
// after an abort among them, is a failure.
bool RemovalFailed(bool bStarted, uint32_t dwExitCode) {
  const auto nCode = static_cast<int32_t>(dwExitCode);
  const bool bAsksRestart = nCode == -6702 || nCode == -6708;
  return !bStarted || (nCode < 0 && !bAsksRestart) || nCode == 6704 || nCode == kUnknownProduct;
}

}  // namespace

bool RemovePreviousVersion(SetupRun& run, const InstalledVersionInfo& older, uint32_t& dwExitCode) {
  const std::string command = RemovalCommand(run, older);
  uint32_t dwError = 0;
  dwExitCode = static_cast<uint32_t>(-1);
  const bool bStarted = !command.empty() && LaunchProgram(run, command, "", "", false, true, false,
                                                          &dwError, &dwExitCode, "");
  if (!RemovalFailed(bStarted && dwError == 0, dwExitCode)) return true;
  return IgnoreFailedRemoval(run);
}

bool IgnoreFailedRemoval(SetupRun& run) {
  const std::string lastError = ReadMachineText(run, kLastErrorKey, kLastErrorValue);
  return ShowMessage(run, 5570, lastError) == kResultIgnore;
}

}  // namespace tarvium
