// Requests for shortcuts and security lines go through the configuration hooks; a hook that is
// not part of this build is traced and the run goes on.
#include "install/installation_run.h"

#include "engine/inf_reader.h"
#include "engine/registry_operations.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/admin_installation_file.h"
#include "install/install_engine.h"
#include "install/install_pass.h"
#include "install/installed_product.h"
#include "install/other_users.h"
#include "install/product_registration.h"
#include "install/registration_keys.h"
#include "install/run_journal.h"
#include "install/uninstall_commands.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "script/message_catalog.h"

namespace tarvium {
namespace {

using platform::RegRoot;

constexpr char kRunOncePrefix[] = "SetupStarter.exe /A /N";
constexpr const char* kRunOnceKeys[] = {"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"};

bool IsWindowsNT(SetupRun& run) {
  return RunOsVersion(run).dwPlatformId == 2;
}

std::string FileText(SetupRun& run, const char* pszSection, const char* pszKey) {
  std::string value;
  if (run.inf) GetValue(*run.inf, pszSection, pszKey, value, kShortTextSize);
  return value;
}

bool FileSwitch(SetupRun& run, const char* pszSection, const char* pszKey) {
  const std::string value = FileText(run, pszSection, pszKey);
  return !value.empty() && value != "0";
}

void RunSecurityLine(SetupRun& run, const std::string& line) {
  const auto& hook = EngineOf(run).configuration.runSecurityLine;
  if (!hook) {
    SetupTrace(run, "Security line not processed: %s\n", line.c_str());
    return;
  }
  hook(run, line);
}

// Everyone may write below the product key, so that user setups can write their records.
void OpenProductKeyToUsers(SetupRun& run) {
  const std::string productKey = ProductKeyOf(RunMachineKeyName(run));
  if (productKey.empty()) return;
  RunSecurityLine(run, "RegDacl.Add (HKEY_LOCAL_MACHINE, Software\\" + productKey +
                           ", %$Everyone%, SET, ALL, SUB_CONTAINERS_AND_OBJECTS_INHERIT)");
}

struct RunOnceEntry {
  std::string name, data;
  bool bExpand;
};

// A command with environment references keeps them, to be expanded when it runs.
RunOnceEntry ReadRunOnceEntry(SetupRun& run, const std::string& name,
                              const platform::RegValue& value) {
  if (value.dwType != platform::REG_EXPAND_SZ) return {name, RegValueToText(run, value), false};
  const std::string raw(value.data.begin(), value.data.end());
  return {name, raw.substr(0, raw.find('\0')), true};
}

// The entries of RunOnce and RunOnceEx are handed to the companion starter, which runs them
// after the restart in the right order.
void ReplaceRunOnceEntries(SetupRun& run) {
  platform::Registry& reg = run.machine.Reg();
  for (const char* pszKey : kRunOnceKeys) {
    if (IsWindowsNT(run))
      RunSecurityLine(run, std::string("RegDacl.Add (HKEY_LOCAL_MACHINE, ") + pszKey +
                               ", %$Everyone%, SET, READ | WRITE | DELETE, "
                               "SUB_CONTAINERS_AND_OBJECTS_INHERIT)");
    std::vector<RunOnceEntry> entries;
    std::string name;
    platform::RegValue value;
    for (uint32_t i = 0; reg.EnumValue(RegRoot::LocalMachine, pszKey, i, name, value) == 0; ++i)
      entries.push_back(ReadRunOnceEntry(run, name, value));
    for (const RunOnceEntry& entry : entries) {
      if (entry.data.rfind(kRunOncePrefix, 0) == 0) continue;
      const std::string data = std::string(kRunOncePrefix) + " " + entry.data;
      if (entry.bExpand)
        RegWriteEnvText(run, RegRoot::LocalMachine, pszKey, entry.name, data);
      else
        RegWriteText(run, RegRoot::LocalMachine, pszKey, entry.name, data);
    }
  }
}

void CreateShortcut(SetupRun& run, const char* pszFolder, int nGroupText, const char* pszNameKey,
                    const std::string& fields) {
  std::string name = FileText(run, "Workstation", pszNameKey);
  if (name.empty()) name = run.variables.Get("UninstallDisplayName");
  std::string link = std::string("%") + pszFolder + "%\\" + GetText(run, nGroupText) + "\\" + name;
  ReplaceVariables(run, link);
  const auto& hook = EngineOf(run).configuration.createEngineLink;
  if (!hook) {
    SetupTrace(run, "Shortcut not created: %s\n", link.c_str());
    return;
  }
  hook(run, link, fields);
}

// The administrator's link removes the machine installation; the users' link sets up their part.
void CreateWorkstationShortcuts(SetupRun& run) {
  if (RunOsVersion(run).dwMajorVersion < 4) return;
  const VariableStore& v = run.variables;
  if (FileSwitch(run, "Workstation", "AdminUninstallLink"))
    CreateShortcut(run, "UserPrograms", 5034, "AdminUninstallLinkName",
                   ", " + v.Get("UninstallString") + " /AW, , , , , 1, ,");
  if (FileSwitch(run, "Workstation", "UserSetupLink"))
    CreateShortcut(run, "CommonPrograms", 5035, "UserSetupLinkName",
                   ", " + v.Get("ReinstallString"));
}

// The readme is opened only when the copy put it in place. A Readme that names the file as a
// whole is handed to the shell quoted, as its path may hold blanks; else it is a program with the
// file as its argument.
void OpenReadme(SetupRun& run) {
  if (!run.ctx.bReadmeExists || !run.script.launchProgram) return;
  std::string readme = run.ctx.szReadme;
  ReplaceVariables(run, readme);
  if (run.machine.Files().FileExists(readme)) readme = "\"" + readme + "\"";
  uint32_t dwExitCode = 0;
  run.script.launchProgram(run, readme, false, dwExitCode);
}

void StartExecute(SetupRun& run) {
  std::string command = run.ctx.szExecute;
  ReplaceVariables(run, command);
  uint32_t dwExitCode = 0;
  if (!command.empty() && run.script.launchProgram)
    run.script.launchProgram(run, command, false, dwExitCode);
}

bool InstalledVersionIsSamePlace(SetupRun& run, const std::string& oldRecord) {
  const VariableStore& v = run.variables;
  const RegPlace record = RecordPlace(run);
  auto same = [&](const char* pszValue, const std::string& current) {
    std::string installed;
    RegReadText(run, record.root, oldRecord, pszValue, installed);
    return !current.empty() && platform::AnsiEqualNoCase(current, installed);
  };
  if (!run.ctx.bUserPartRun) return same("AppPath", v.Get("App"));
  return same("ClientPath", v.Get("Client")) || same("DataPath", v.Get("Data"));
}

std::string MachineKeyOfVersion(const std::string& machineKey, const std::string& version) {
  const std::string productKey = ProductKeyOf(machineKey);
  return productKey.empty() ? version : productKey + "\\" + version;
}

// Whether the run keeps a journal in the product's record: an install that registers the
// product at its end, or a removal that takes the registration away.
bool KeepsJournal(SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  return !ctx.bAdminSetup && !ctx.bTestRun && !RunMachineKeyName(run).empty();
}

// A removal's registration goes in the same change of the registry as its journal, so that a
// run killed before sees its counts put back by the next one, and one killed after has nothing
// left to put back. A removal that fails keeps what it did, as it always has.
void EndRemovalRun(SetupRun& run, bool bPassed) {
  if (!bPassed) return CloseRunJournal(run);
  const uint32_t dwError = run.machine.Reg().WriteAsOne([&] {
    CloseRunJournal(run);
    RemoveRegistration(run);
    return uint32_t{platform::ERROR_SUCCESS};
  });
  if (dwError) {
    CloseRunJournal(run);
    RemoveRegistration(run);
  }
}

void EndInstallRun(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (!ctx.bAdminSetup && !ctx.bTestRun && !RunMachineKeyName(run).empty()) {
    // The attributes of the files copied are in place before the journal goes with the
    // registration: a run killed after that point has nothing left for the next one to put right.
    run.machine.Files().FlushMetadata();
    RegisterInstallation(run);
    if (ctx.bWorkstationSetup && IsWindowsNT(run)) OpenProductKeyToUsers(run);
    DeleteReplacedRegistration(run);
    OpenReadme(run);
    StartExecute(run);
    if (ctx.bWorkstationSetup) CreateWorkstationShortcuts(run);
  }
  if (ctx.bAdminSetup && !ctx.bTestRun && !RewriteAdminInstallationFile(run)) ctx.bAborted = true;
  if (!ctx.bTestRun && !ctx.bUserPartRun && ctx.bReplaceRunOnce) ReplaceRunOnceEntries(run);
}

bool HasRegistration(SetupRun& run) {
  const RegPlace record = RecordPlace(run);
  std::string productName;
  return !record.key.empty() &&
         RegReadText(run, record.root, record.key, "ProductName", productName) == 0 &&
         !productName.empty();
}

}  // namespace

void DeleteReplacedRegistration(SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  const VariableStore& v = run.variables;
  const std::string& installedVersion = v.Get("InstalledVersion");
  if (ctx.bNewInstance || ctx.bRepair || ctx.bModify || ctx.bServiceRelease ||
      installedVersion.empty() || platform::AnsiEqualNoCase(installedVersion, v.Get("Version")))
    return;
  const std::string oldMachineKey = MachineKeyOfVersion(RunMachineKeyName(run), installedVersion);
  if (!InstalledVersionIsSamePlace(run, SetupRecordKey(oldMachineKey))) return;
  DeleteRecordKeys(run, oldMachineKey);
  std::string uninstallKeyName = FileText(run, "Application", "UninstallKeyName");
  if (ctx.bUserPartRun ||
      platform::AnsiUpper(uninstallKeyName).find("%VERSION%") == std::string::npos)
    return;
  VariableStore& variables = run.variables;
  const std::string version = variables.Get("Version");
  variables.Set("Version", installedVersion);
  ReplaceVariables(run, uninstallKeyName);
  variables.Set("Version", version);
  RegDeleteTree(run, RegRoot::LocalMachine, UninstallEntryKey(uninstallKeyName), true);
}

bool RunInstallationWithRegistration(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  const bool bRegisteredBefore = HasRegistration(run);
  BuildUninstallCommands(run);
  if (KeepsJournal(run)) OpenRunJournal(run, bRegisteredBefore);
  const bool bPassed = RunInstallationPasses(run) && !ctx.bAborted;
  if (ctx.bUninstall) {
    EndRemovalRun(run, bPassed);
    // The workstation links go with the machine part they serve (the hook removes in a removal).
    if (bPassed && ctx.bWorkstationSetup && !ctx.bUserPartRun) CreateWorkstationShortcuts(run);
    return bPassed;
  }
  // A script's "Exit" ends the installation early but not in failure: the product is registered.
  if (bPassed || ctx.bExitCommand)
    EndInstallRun(run);
  else if (!ctx.bAdminSetup && !RunMachineKeyName(run).empty())
    EndAbortedInstall(run, bRegisteredBefore);
  return bPassed && !ctx.bAborted;
}

void AttachInstallationRun(SetupRun& run) {
  run.install.runInstallation = RunInstallationWithRegistration;
  run.install.removeUserParts = CheckOtherUsers;
  run.install.recoverInterruptedRun = RecoverInterruptedRun;
}

}  // namespace tarvium
