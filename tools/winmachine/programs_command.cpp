// winmachine programs: what the system's list of installed programs offers. Without arguments it
// lists the products of the Uninstall keys (64-bit and 32-bit views of the machine, then the
// user's), as the list shows them: by display name, leaving out system components. With
// "uninstall", "modify" or "repair" and a product (its display name or its key name; the words
// after the action form it, as typed) it runs the
// product's command through the machine, waits for it and shows its exit code, refusing what the
// entry forbids (NoRemove, NoModify, NoRepair).
//
// A product registered by this setup engine (its entry names a MachineKeyName) is modified and
// repaired by its registered command with the engine's /M or /R in place of /U; any other product
// is modified by its ModifyPath and has no repair command.
#include <optional>

#include "cli.h"
#include "platform/ansi_case.h"
#include "platform/emulated/processes/host_processes.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

using platform::RegRoot;
using platform::RegView;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct ProgramEntry {
  RegRoot root;
  RegView view;
  std::string key;  // the entry's key name below the Uninstall key
};

constexpr std::pair<RegRoot, RegView> kListPlaces[] = {{RegRoot::LocalMachine, RegView::View64},
                                                       {RegRoot::LocalMachine, RegView::View32},
                                                       {RegRoot::CurrentUser, RegView::Default}};

std::string EntryText(platform::Registry& registry, const ProgramEntry& entry, const char* name) {
  platform::RegValue value;
  if (registry.QueryValue(entry.root, std::string(kUninstallKey) + "\\" + entry.key, name, value,
                          entry.view) != platform::ERROR_SUCCESS)
    return "";
  if (value.dwType == platform::REG_DWORD && value.data.size() >= 4)
    return std::to_string(value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                          value.data[3] << 24);
  std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

bool IsSet(platform::Registry& registry, const ProgramEntry& entry, const char* name) {
  const std::string text = EntryText(registry, entry, name);
  return !text.empty() && text != "0";
}

// The entries the list shows, in the order of the places above; the 32-bit view of a 32-bit
// machine is the same as its only view and is not listed twice.
std::vector<ProgramEntry> ListedEntries(platform::Machine& machine) {
  platform::Registry& registry = machine.Reg();
  std::vector<ProgramEntry> entries;
  for (const auto& [root, view] : kListPlaces) {
    if (view == RegView::View32 && !machine.System().OsVersion().b64Bit) continue;
    std::string key;
    for (uint32_t i = 0; registry.EnumKey(root, kUninstallKey, i, key, view) == 0; ++i) {
      const ProgramEntry entry{root, view, key};
      if (!EntryText(registry, entry, "DisplayName").empty() &&
          !IsSet(registry, entry, "SystemComponent"))
        entries.push_back(entry);
    }
  }
  return entries;
}

void PrintEntry(platform::Registry& registry, const ProgramEntry& entry) {
  const std::string version = EntryText(registry, entry, "DisplayVersion");
  const std::string publisher = EntryText(registry, entry, "Publisher");
  PrintLine(EntryText(registry, entry, "DisplayName") + (version.empty() ? "" : " " + version) +
            (publisher.empty() ? "" : " (" + publisher + ")") + "  [" + entry.key + "]");
  const std::string command = EntryText(registry, entry, "UninstallString");
  if (!command.empty()) PrintLine("    uninstall: " + command);
}

std::optional<ProgramEntry> FindEntry(platform::Machine& machine, const std::string& product) {
  for (const ProgramEntry& entry : ListedEntries(machine))
    if (platform::AnsiEqualNoCase(entry.key, product) ||
        platform::AnsiEqualNoCase(EntryText(machine.Reg(), entry, "DisplayName"), product))
      return entry;
  return std::nullopt;
}

// The engine's removal switch /U, the last one of its command, becomes the action's switch.
std::string WithEngineSwitch(const std::string& command, const char* pszSwitch) {
  const size_t nRemove = platform::AnsiUpper(command).rfind(" /U");
  if (nRemove == std::string::npos) return command + " " + pszSwitch;
  return command.substr(0, nRemove + 1) + pszSwitch + command.substr(nRemove + 3);
}

struct Action {
  const char* pszName;
  const char* pszForbidden;  // the entry's value that forbids it
  const char* pszEngineSwitch;
};
constexpr Action kActions[] = {
    {"uninstall", "NoRemove", nullptr}, {"modify", "NoModify", "/M"}, {"repair", "NoRepair", "/R"}};

// The command of the action, or empty (after a message) when there is none or it is forbidden.
std::string ActionCommand(platform::Registry& registry, const ProgramEntry& entry,
                          const Action& action) {
  if (IsSet(registry, entry, action.pszForbidden)) {
    Fail(kExitFailed, std::string("the product does not allow ") + action.pszName + " (" +
                          action.pszForbidden + ")");
    return "";
  }
  std::string command = EntryText(registry, entry, "UninstallString");
  if (action.pszEngineSwitch) {
    if (!EntryText(registry, entry, "MachineKeyName").empty())
      command = WithEngineSwitch(command, action.pszEngineSwitch);
    else
      command =
          std::string(action.pszName) == "modify" ? EntryText(registry, entry, "ModifyPath") : "";
  }
  if (command.empty())
    Fail(kExitFailed, std::string("the product has no ") + action.pszName + " command");
  return command;
}

int ListPrograms(const Invocation& invocation) {
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  for (const ProgramEntry& entry : ListedEntries(*machine)) PrintEntry(machine->Reg(), entry);
  return kExitOk;
}

}  // namespace

int ProgramsCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  if (args.empty()) return ListPrograms(invocation);
  const Action* pAction = nullptr;
  for (const Action& action : kActions)
    if (args[0] == action.pszName) pAction = &action;
  if (!pAction || args.size() < 2)
    return Fail(kExitUsage, "programs takes no arguments, or uninstall|modify|repair PRODUCT");
  uint32_t dwExitCode = 0;
  {
    auto machine = OpenMachine(invocation);
    if (!machine) return kExitFailed;
    std::string product = FromArg(args[1]);
    for (size_t i = 2; i < args.size(); ++i) product += " " + FromArg(args[i]);
    const auto entry = FindEntry(*machine, product);
    if (!entry) return Fail(kExitFailed, "no installed program '" + product + "'");
    const std::string command = ActionCommand(machine->Reg(), *entry, *pAction);
    if (command.empty()) return kExitFailed;
    PrintLine(std::string(pAction->pszName) + ": " + command);
    std::fflush(stdout);
    if (!RunToEnd(*machine, command, dwExitCode)) return kExitFailed;
    PrintLine("exit code: " + std::to_string(static_cast<int32_t>(dwExitCode)));
  }  // the machine is closed before this process ends
  std::fflush(stdout);
  platform::HostProcesses({}).ExitProcess(dwExitCode);
}

}  // namespace winmachine
