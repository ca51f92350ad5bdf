// The restart of an emulated machine. A DOS-based machine (PlatformId 1) also carries out the
// "Rename" section of %Windows%\WININIT.INI, as its start-up did: each line "target=source" in
// order, "NUL=file" a delete; the file is then kept as WININIT.BAK so that it runs only once.
#include "platform/emulated/machine/machine_reboot.h"

#include "platform/ansi_case.h"
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

// The "target=source" lines of the [Rename] section, in file order (keys may repeat).
std::vector<std::pair<std::string, std::string>> ReadWininitRenames(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> renames;
  bool bInRename = false;
  size_t nStart = 0;
  while (nStart < text.size()) {
    size_t nEnd = text.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = text.size();
    std::string line = text.substr(nStart, nEnd - nStart);
    nStart = nEnd + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line.front() == '[') {
      bInRename = AnsiEqualNoCase(line, "[Rename]");
      continue;
    }
    const size_t nEquals = line.find('=');
    if (bInRename && nEquals != std::string::npos && nEquals > 0)
      renames.emplace_back(line.substr(0, nEquals), line.substr(nEquals + 1));
  }
  return renames;
}

void RunWininitRenames(EmulatedMachine& machine, std::vector<RebootStep>& steps) {
  if (machine.Config().dwPlatformId != 1) return;  // VER_PLATFORM_WIN32_WINDOWS
  FileSystem& files = machine.Files();
  const std::string wininit = machine.Config().szWindowsDir + "\\WININIT.INI";
  std::string text;
  if (files.ReadWholeFile(wininit, text) != ERROR_SUCCESS) return;
  for (const auto& [target, source] : ReadWininitRenames(text)) {
    if (AnsiEqualNoCase(target, "NUL")) {
      files.SetFileAttributes(source, FILE_ATTRIBUTE_NORMAL);
      steps.push_back({"delete " + source + " (WININIT.INI)", files.DeleteFile(source)});
    } else {
      steps.push_back({"rename " + source + " -> " + target + " (WININIT.INI)",
                       files.MoveFileEx(source, target, MOVEFILE_REPLACE_EXISTING)});
    }
  }
  files.MoveFileEx(wininit, machine.Config().szWindowsDir + "\\WININIT.BAK",
                   MOVEFILE_REPLACE_EXISTING);
}

void AddServiceSteps(const std::vector<ServiceRestartStep>& serviceSteps,
                     std::vector<RebootStep>& steps) {
  for (const ServiceRestartStep& step : serviceSteps) steps.push_back({step.what, step.dwResult});
}

}  // namespace

std::vector<RebootStep> RebootMachine(EmulatedMachine& machine) {
  std::vector<RebootStep> steps;
  std::vector<ServiceRestartStep> serviceSteps;
  machine.EmulatedServiceManager().ShutDown(serviceSteps);
  AddServiceSteps(serviceSteps, steps);
  std::vector<PendingRenameOutcome> outcomes;
  RunPendingFileRenames(machine.Reg(), machine.Files(), &outcomes);
  for (const PendingRenameOutcome& outcome : outcomes) {
    const PendingFileRename& rename = outcome.rename;
    steps.push_back({rename.ntTarget.empty()
                         ? "delete " + rename.ntSource
                         : "rename " + rename.ntSource + " -> " + rename.ntTarget,
                     outcome.dwError});
  }
  RunWininitRenames(machine, steps);
  steps.push_back({"volatile keys removed", machine.SqlRegistry().DeleteVolatileKeys()});
  serviceSteps.clear();
  machine.EmulatedServiceManager().StartUp(serviceSteps);
  AddServiceSteps(serviceSteps, steps);
  RunRunOnce(machine, RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE", steps);
  RunRunOnce(machine, RegRoot::CurrentUser, "HKEY_CURRENT_USER", steps);
  steps.push_back({"restart request cleared", machine.PowerRequests().ClearPowerRequest()});
  return steps;
}

}  // namespace platform::emulated
