#include "install/other_users.h"

#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "install/previous_version.h"
#include "install/registration_keys.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "script/launch_program.h"

namespace tarvium {
namespace {

using platform::RegRoot;

bool UserHasProduct(SetupRun& run) {
  const std::string machineKey = RunMachineKeyName(run);
  const RegPlace record = UserHivePlace(run, SetupRecordKey(machineKey));
  std::string productName;
  return RegReadText(run, record.root, record.key, "ProductName", productName) == 0 &&
         !productName.empty();
}

bool RemoveUserPart(SetupRun& run) {
  uint32_t dwError = 0;
  uint32_t dwExitCode = 0;
  const bool bStarted = LaunchProgram(run, UserPartRemovalCommand(run), "", "", false, true, false,
                                      &dwError, &dwExitCode, "");
  const auto nCode = static_cast<int32_t>(dwExitCode);
  if (bStarted && dwError == 0 && nCode >= 0 && nCode != 6704) return true;
  return IgnoreFailedRemoval(run);
}

}  // namespace

uint32_t CountOtherUsers(SetupRun& run) {
  const RegPlace users = RecordPlace(run, "Users", true);
  const std::string& me = run.variables.Get("WindowsUser");
  platform::Registry& reg = run.machine.Reg();
  uint32_t nOthers = 0;
  std::string name;
  platform::RegValue value;
  for (uint32_t i = 0; reg.EnumValue(users.root, users.key, i, name, value) == 0; ++i)
    if (!platform::AnsiEqualNoCase(name, me)) ++nOthers;
  return nOthers;
}

std::string UserPartRemovalCommand(SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  std::string command = "\"" + ctx.szSetupProgram + "\" \"" + ctx.szInfFile + "\" /U /S";
  if (ctx.dwRunFlags & kRunFlagMachinePart) command += " /X2";
  const std::string& errorFile = ctx.szErrorSwitch.empty() ? ctx.szErrorFile : ctx.szErrorSwitch;
  if (!errorFile.empty()) command += " /E\"" + errorFile + "\"";
  return command;
}

bool CheckOtherUsers(SetupRun& run) {
  const uint32_t nOthers = CountOtherUsers(run);
  if (nOthers > 0 && !run.ctx.bSilent &&
      ShowMessage(run, 5563, run.variables.Get("ProductName"), static_cast<int64_t>(nOthers)) ==
          kResultNo)
    return false;
  return !UserHasProduct(run) || RemoveUserPart(run);
}

}  // namespace tarvium
