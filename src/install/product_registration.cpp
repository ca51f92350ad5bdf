// The values follow one table per place and condition, so that what registration writes and what
// its removal deletes can be read side by side. The user list of a workstation installation and
// the uninstall entry are always in the machine hive; the record is in the hive of the run.
#include "install/product_registration.h"

#include "engine/inf_reader.h"
#include "engine/registry_operations.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "install/registration_keys.h"
#include "install/run_journal.h"
#include "install/uninstall_commands.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

using platform::RegRoot;

constexpr uint32_t kRunFlagForceOnce = 0x10;

struct UninstallFlag {
  uint32_t dwBit;
  const char* pszValue;
};
constexpr UninstallFlag kUninstallFlags[] = {{kUninstallSystemComponent, "SystemComponent"},
                                             {kUninstallNoRemove, "NoRemove"},
                                             {kUninstallNoModify, "NoModify"},
                                             {kUninstallNoRepair, "NoRepair"}};

bool IsUserSetup(const SetupRun& run) {
  return run.ctx.bUserPartRun;
}

bool IsClientRun(const SetupContext& ctx) {
  return ctx.bClientSetup || ctx.bFromCD;
}

bool WritesDataPath(const SetupRun& run) {
  return run.ctx.bAskDataDir && !run.ctx.bWorkstationSetup;
}

void WriteWhenSet(SetupRun& run, const RegPlace& place, const char* pszName,
                  const std::string& text) {
  if (!text.empty()) RegWriteText(run, place.root, place.key, pszName, text);
}

std::string ApplicationText(SetupRun& run, const char* pszKey) {
  std::string value;
  if (run.inf) GetValue(*run.inf, "Application", pszKey, value, kPathSize);
  return value;
}

bool HasApplicationKey(SetupRun& run, const char* pszKey) {
  std::string value;
  return run.inf && GetValue(*run.inf, "Application", pszKey, value, kShortTextSize);
}

std::string Quoted(const std::string& text) {
  return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

std::string InstallationDate(SetupRun& run) {
  return run.variables.Get("SysDate") + " " + run.variables.Get("SysTime");
}

// Started by a parent window (/W) the program is the Setup.exe of the source directory, and the
// setup information file is its default.
void WriteSourceValues(SetupRun& run, const RegPlace& record) {
  const SetupContext& ctx = run.ctx;
  const VariableStore& v = run.variables;
  const bool bFromParent = ctx.hNotifyWindow != 0;
  const std::string exe = bFromParent ? v.Get("Src") + "Setup.exe" : ctx.szSetupProgram;
  RegWriteText(run, record.root, record.key, "SrcSetupExe", exe);
  RegWriteText(run, record.root, record.key, "SrcSetupInf", bFromParent ? "" : ctx.szInfFile);
}

// The values only a machine installation has: how to remove it and where it came from.
void WriteMachineValues(SetupRun& run, const RegPlace& record) {
  const SetupContext& ctx = run.ctx;
  const VariableStore& v = run.variables;
  WriteWhenSet(run, record, "UninstallString", v.Get("UninstallString"));
  WriteWhenSet(run, record, "RegisteredOwner", v.Get("User"));
  WriteWhenSet(run, record, "RegisteredOrganization", v.Get("Company"));
  WriteWhenSet(run, record, "SrcPath", v.Get("Src"));
  WriteSourceValues(run, record);
  RegDeleteValueAt(run, record.root, record.key, "FromAdminSetup");
  if (ctx.bAdminInstallation) RegWriteText(run, record.root, record.key, "FromAdminSetup", "1");
  if (ctx.bWorkstationSetup) {
    std::string installAtLast;
    if (run.inf) GetValue(*run.inf, "Client", "InstallAtLast", installAtLast, kShortTextSize);
    if (!installAtLast.empty() && installAtLast != "0")
      RegWriteText(run, record.root, record.key, "InstallAtLast", "1");
    RegWriteText(run, record.root, record.key, "MachineSetup", "1");
    WriteWhenSet(run, record, "SilentLevel", ctx.szSilentLevel);
  }
  if (ctx.bClientSwitch) RegWriteText(run, record.root, record.key, "SharedSetup", "1");
  if (ctx.bFromCD) RegWriteText(run, record.root, record.key, "FromCD", "1");
}

void WriteRecord(SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  const VariableStore& v = run.variables;
  const RegPlace record = RecordPlace(run);
  WriteWhenSet(run, record, "AppPath", v.Get("App"));
  if (IsClientRun(ctx) && !ctx.bWorkstationSetup)
    WriteWhenSet(run, record, "ClientPath", v.Get("Client"));
  WriteWhenSet(run, record, "ProductName", v.Get("ProductName"));
  if (IsUserSetup(run)) {
    std::string displayName;
    const RegPlace machine = RecordPlace(run, "", true);
    if (RegReadText(run, machine.root, machine.key, "DisplayName", displayName) == 0)
      WriteWhenSet(run, record, "DisplayName", displayName);
  }
  WriteWhenSet(run, record, "DeveloperName", v.Get("DeveloperName"));
  for (const char* pszName : {"Version", "Revision"}) {
    RegDeleteValueAt(run, record.root, record.key, pszName);
    WriteWhenSet(run, record, pszName, v.Get(pszName));
  }
  if (WritesDataPath(run)) WriteWhenSet(run, record, "DataPath", v.Get("Data"));
  RegWriteText(run, record.root, record.key, "Date", InstallationDate(run));
  if (ctx.dwRunFlags & kRunFlagForceOnce)
    RegWriteText(run, record.root, record.key, "ForceOnceDate", ctx.szForceOnceDate);
  if (!IsUserSetup(run) && !ctx.bServiceRelease) WriteMachineValues(run, record);
}

void WritePrompts(SetupRun& run) {
  const RegPlace prompts = RecordPlace(run, "Prompts");
  for (const std::string& answer : AnsweredPrompts(run)) {
    const size_t nEquals = answer.find('=');
    if (nEquals == std::string::npos) continue;
    RegWriteText(run, prompts.root, prompts.key, answer.substr(0, nEquals),
                 answer.substr(nEquals + 1));
  }
}

void WriteUserEntry(SetupRun& run) {
  const RegPlace users = RecordPlace(run, "Users", true);
  RegWriteText(run, users.root, users.key, run.variables.Get("WindowsUser"), InstallationDate(run));
}

void WriteUninstallFlags(SetupRun& run, const std::string& entry) {
  const SetupContext& ctx = run.ctx;
  if (HasApplicationKey(run, "UninstallOptions")) {
    for (const UninstallFlag& flag : kUninstallFlags)
      RegDeleteValueAt(run, RegRoot::LocalMachine, entry, flag.pszValue);
  }
  for (const UninstallFlag& flag : kUninstallFlags) {
    const bool bServiceForbids = ctx.bServiceMode && flag.dwBit != kUninstallSystemComponent;
    if ((ctx.dwUninstallOptions & flag.dwBit) || bServiceForbids)
      RegWriteDword(run, RegRoot::LocalMachine, entry, flag.pszValue, 1);
  }
}

const char* DisplayNameValue(const SetupRun& run) {
  return run.ctx.nHideUninstall >= 1 ? "QuietDisplayName" : "DisplayName";
}

void WriteUninstallEntry(SetupRun& run, const std::string& uninstallKeyName) {
  const SetupContext& ctx = run.ctx;
  const VariableStore& v = run.variables;
  const RegPlace entry{RegRoot::LocalMachine, UninstallEntryKey(uninstallKeyName)};
  WriteWhenSet(run, entry, DisplayNameValue(run), v.Get("UninstallDisplayName"));
  std::string icon = ApplicationText(run, "UninstallDisplayIcon");
  ReplaceVariables(run, icon);
  WriteWhenSet(run, entry, "DisplayIcon", icon);
  RegWriteText(run, entry.root, entry.key, "Publisher", v.Get("DeveloperName"));
  RegWriteText(run, entry.root, entry.key, "DisplayVersion", v.Get("Version"));
  RegWriteText(run, entry.root, entry.key, "PackageGUID", v.Get("ZQ58.SetupInfo.PackageGUID"));
  if (!ctx.bServiceRelease) {
    const char* pszCommand = ctx.nReinstallMode != 0 ? "ReinstallString" : "UninstallString";
    RegWriteText(run, entry.root, entry.key, "UninstallString", v.Get(pszCommand));
    RegWriteText(run, entry.root, entry.key, "MachineKeyName", RunMachineKeyName(run));
  }
  WriteUninstallFlags(run, entry.key);
}

// A user's own entry starts the machine installation's setup program on its file for removal.
void WriteUserUninstallEntry(SetupRun& run, const std::string& uninstallKeyName) {
  const RegPlace machine = RecordPlace(run, "", true);
  std::string exe, inf;
  RegReadText(run, machine.root, machine.key, "SrcSetupExe", exe);
  RegReadText(run, machine.root, machine.key, "SrcSetupInf", inf);
  const RegPlace entry = UserHivePlace(run, UninstallEntryKey(uninstallKeyName));
  WriteWhenSet(run, entry, "QuietDisplayName", run.variables.Get("UninstallDisplayName"));
  RegWriteText(run, entry.root, entry.key, "UninstallString",
               Quoted(exe) + " " + Quoted(inf) + " /U");
  RegWriteText(run, entry.root, entry.key, "MachineKeyName", RunMachineKeyName(run));
}

// The built uninstall command starts "_UnInst.exe" of the Windows directory: this engine.
void PlaceUninstallProgram(SetupRun& run) {
  std::string program = kUninstallProgram;
  ReplaceVariables(run, program);
  const std::string& command = run.variables.Get("UninstallString");
  if (platform::AnsiUpper(command).find(platform::AnsiUpper(program)) != std::string::npos)
    run.machine.Programs().PlaceEngineImage(program);
}

std::string UninstallKeyNameOfRun(SetupRun& run) {
  std::string name = run.variables.Get("UninstallKeyName");
  ReplaceVariables(run, name);
  return name;
}

void DeleteValues(SetupRun& run, const RegPlace& place, std::initializer_list<const char*> names) {
  for (const char* pszName : names) RegDeleteValueAt(run, place.root, place.key, pszName);
}

void DeletePrompts(SetupRun& run) {
  const RegPlace prompts = RecordPlace(run, "Prompts");
  for (const std::string& answer : AnsweredPrompts(run))
    RegDeleteValueAt(run, prompts.root, prompts.key, answer.substr(0, answer.find('=')));
  RegDeleteKeyAt(run, prompts.root, prompts.key);
}

void DeleteRecordValues(SetupRun& run, bool bHasUninstallEntry) {
  const SetupContext& ctx = run.ctx;
  const RegPlace record = RecordPlace(run);
  if (IsClientRun(ctx)) DeleteValues(run, record, {"ClientPath"});
  if (WritesDataPath(run)) DeleteValues(run, record, {"DataPath"});
  DeleteValues(
      run, record,
      {"AppPath", "ProductName", "DisplayName", "DeveloperName", "Version", "Revision", "Date"});
  if (!IsUserSetup(run) || bHasUninstallEntry)
    DeleteValues(run, record, {"SrcSetupExe", "SrcSetupInf"});
}

void DeleteUninstallEntry(SetupRun& run, const RegPlace& entry) {
  const bool bQuiet = run.ctx.nHideUninstall >= 1 || IsUserSetup(run);
  DeleteValues(run, entry, {bQuiet ? "QuietDisplayName" : "DisplayName"});
  DeleteValues(run, entry,
               {"DisplayIcon", "UninstallString", "Publisher", "DisplayVersion", "MachineKeyName"});
  if (RegIsKeyEmpty(run, entry.root, entry.key)) RegDeleteKeyAt(run, entry.root, entry.key);
}

void DeleteUserOrMachineValues(SetupRun& run) {
  if (IsUserSetup(run)) {
    const RegPlace users = RecordPlace(run, "Users", true);
    RegDeleteValueAt(run, users.root, users.key, run.variables.Get("WindowsUser"));
    if (RegIsKeyEmpty(run, users.root, users.key)) RegDeleteKeyAt(run, users.root, users.key);
    return;
  }
  DeleteValues(run, RecordPlace(run, "", true),
               {"UninstallString", "RegisteredOwner", "RegisteredOrganization", "SrcPath",
                "FromAdminSetup", "MachineSetup", "SharedSetup", "FromCD", "InstallAtLast"});
}

// The product's per-user key goes with the product, unless the run is a machine-part run or the
// key is per option (the install pass removes those).
void DeleteProductUserKey(SetupRun& run) {
  if (IsMachinePartRun(run.ctx)) return;
  std::string name = run.variables.Get("UserKeyName");
  if (name.empty() || platform::AnsiUpper(name).find("%OPTION") != std::string::npos) return;
  ReplaceVariables(run, name);
  const RegPlace key = UserHivePlace(run, "Software\\" + name);
  RegDeleteTree(run, key.root, key.key, true);
}

// True when the machine's uninstall entry was written, whose command starts the engine's image.
bool WriteRegistration(SetupRun& run) {
  WriteRecord(run);
  WritePrompts(run);
  if (IsUserSetup(run)) WriteUserEntry(run);
  const std::string uninstallKeyName = UninstallKeyNameOfRun(run);
  if (uninstallKeyName.empty()) return false;
  if (IsUserSetup(run)) {
    WriteUserUninstallEntry(run, uninstallKeyName);
    return false;
  }
  WriteUninstallEntry(run, uninstallKeyName);
  return true;
}

}  // namespace

std::vector<std::string>& AnsweredPrompts(SetupRun& run) {
  return run.ctx.answeredPrompts;
}

void RegisterInstallation(SetupRun& run) {
  if (RunMachineKeyName(run).empty()) return;
  // The product's values go in as one change of the registry: one write of its log for the whole
  // registration, not one per value. A value that cannot be written is left out. When the change
  // as a whole cannot be made (another process holds the registry longer than a call waits), the
  // values are written one by one, each waiting on its own, so that a busy registry costs the
  // values it held up and not the product's whole registration.
  bool bMachineEntry = false;
  const uint32_t dwError = run.machine.Reg().WriteAsOne([&] {
    bMachineEntry = WriteRegistration(run);
    CloseRunJournal(run);
    return uint32_t{platform::ERROR_SUCCESS};
  });
  if (dwError) {
    bMachineEntry = WriteRegistration(run);
    CloseRunJournal(run);
  }
  if (bMachineEntry) PlaceUninstallProgram(run);
}

void RemoveRegistration(SetupRun& run) {
  if (RunMachineKeyName(run).empty()) return;
  for (const char* pszSubkey : {"Options", "Sections"}) {
    const RegPlace place = RecordPlace(run, pszSubkey);
    RegDeleteKeyAt(run, place.root, place.key);
  }
  DeletePrompts(run);
  const std::string uninstallKeyName = UninstallKeyNameOfRun(run);
  DeleteRecordValues(run, !uninstallKeyName.empty());
  if (!uninstallKeyName.empty()) {
    const std::string entryKey = UninstallEntryKey(uninstallKeyName);
    DeleteUninstallEntry(run, IsUserSetup(run) ? UserHivePlace(run, entryKey)
                                               : RegPlace{RegRoot::LocalMachine, entryKey});
  }
  DeleteUserOrMachineValues(run);
  const RegPlace record = RecordPlace(run);
  if (RegIsKeyEmpty(run, record.root, record.key)) RegDeleteKeyAt(run, record.root, record.key);
  DeleteProductUserKey(run);
}

uint32_t DeleteRecordKeys(SetupRun& run, const std::string& machineKeyName) {
  const RegPlace record = RecordPlace(run);
  const std::string setupKey = SetupRecordKey(machineKeyName);
  uint32_t dwFirstError = platform::ERROR_SUCCESS;
  for (const char* pszSubkey : {"\\Options", "\\Prompts", "\\Sections", "\\Users", ""}) {
    const uint32_t dwError = RegDeleteKeyAt(run, record.root, setupKey + pszSubkey);
    const bool bGone =
        dwError == platform::ERROR_FILE_NOT_FOUND || dwError == platform::ERROR_PATH_NOT_FOUND;
    if (!dwFirstError && !bGone) dwFirstError = dwError;
  }
  RegDeleteKeyAt(run, record.root, ProductVersionKey(machineKeyName));
  return dwFirstError;
}

}  // namespace tarvium
