#include "platform/emulated/machine/machine_reboot.h"

#include "platform/pending_file_renames.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

struct RunOnceEntry {
  std::string name;
  std::string command;
};

std::vector<RunOnceEntry> ReadRunOnce(Registry& registry, RegRoot root) {
  std::vector<RunOnceEntry> entries;
  std::string name;
  RegValue value;
  for (uint32_t i = 0; registry.EnumValue(root, kRunOnceKey, i, name, value) == ERROR_SUCCESS;
       ++i) {
    if (value.dwType != REG_SZ && value.dwType != REG_EXPAND_SZ) continue;
    std::string command(value.data.begin(), value.data.end());
    entries.push_back({name, command.substr(0, command.find('\0'))});
  }
  return entries;
}

uint32_t RunAndWait(EmulatedMachine& machine, const std::string& commandLine) {
  ProcessStart start;
  start.commandLine = machine.Env().ExpandEnvironmentStrings(commandLine);
  start.environment = machine.Env().Block();
  ProcessHandle hProcess;
  if (uint32_t err = machine.Programs().CreateProcess(start, hProcess); err != ERROR_SUCCESS)
    return err;
  WaitResult result;
  uint32_t dwExitCode = 0;
  machine.Programs().WaitForProcess(hProcess, kRunOnceTimeoutMs, {}, result);
  if (result != WaitResult::Exited) machine.Programs().TerminateProcess(hProcess, 0xFFFFFFFF);
  machine.Programs().GetExitCodeProcess(hProcess, dwExitCode);
  machine.Programs().CloseProcess(hProcess);
  return dwExitCode;
}

void RunRunOnce(EmulatedMachine& machine, RegRoot root, const char* rootName,
                std::vector<RebootStep>& steps) {
  Registry& registry = machine.Reg();
  for (const RunOnceEntry& entry : ReadRunOnce(registry, root)) {
    const bool bDeleteAfter = !entry.name.empty() && entry.name.front() == '!';
    if (!bDeleteAfter) registry.DeleteValue(root, kRunOnceKey, entry.name);
    const uint32_t dwResult = RunAndWait(machine, entry.command);
    if (bDeleteAfter) registry.DeleteValue(root, kRunOnceKey, entry.name);
    steps.push_back({std::string("run ") + rootName + "\\" + kRunOnceKey + "\\" + entry.name +
                         ": " + entry.command,
                     dwResult});
  }
}

}  // namespace

std::vector<RebootStep> RebootMachine(EmulatedMachine& machine) {
  std::vector<RebootStep> steps;
  std::vector<PendingRenameOutcome> outcomes;
  RunPendingFileRenames(machine.Reg(), machine.Files(), &outcomes);
  for (const PendingRenameOutcome& outcome : outcomes) {
    const PendingFileRename& rename = outcome.rename;
    steps.push_back({rename.ntTarget.empty()
                         ? "delete " + rename.ntSource
                         : "rename " + rename.ntSource + " -> " + rename.ntTarget,
                     outcome.dwError});
  }
  steps.push_back({"volatile keys removed", machine.SqlRegistry().DeleteVolatileKeys()});
  RunRunOnce(machine, RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE", steps);
  RunRunOnce(machine, RegRoot::CurrentUser, "HKEY_CURRENT_USER", steps);
  steps.push_back({"restart request cleared", machine.PowerRequests().ClearPowerRequest()});
  return steps;
}

}  // namespace platform::emulated
