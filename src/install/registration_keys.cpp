#include "install/registration_keys.h"

#include "engine/replace_variables.h"
#include "engine/setup_run.h"

namespace tarvium {

std::string ProductVersionKey(const std::string& machineKeyName) {
  return "Software\\" + machineKeyName;
}

std::string SetupRecordKey(const std::string& machineKeyName) {
  return ProductVersionKey(machineKeyName) + "\\Setup";
}

std::string UninstallEntryKey(const std::string& uninstallKeyName) {
  return std::string(kUninstallEntries) + "\\" + uninstallKeyName;
}

RegPlace UserHivePlace(SetupRun& run, const std::string& key) {
  const std::string& sid = run.variables.userHiveSid;
  if (sid.empty()) return {platform::RegRoot::CurrentUser, key};
  return {platform::RegRoot::Users, sid + "\\" + key};
}

std::string RunMachineKeyName(SetupRun& run) {
  std::string machineKey = run.variables.Get("MachineKeyName");
  ReplaceVariables(run, machineKey);
  return machineKey;
}

RegPlace RecordPlace(SetupRun& run, const std::string& subkey, bool bMachineHive) {
  const std::string machineKey = RunMachineKeyName(run);
  if (machineKey.empty()) return {};
  const std::string key = SetupRecordKey(machineKey) + (subkey.empty() ? "" : "\\" + subkey);
  if (bMachineHive || !run.ctx.bUserPartRun) return {platform::RegRoot::LocalMachine, key};
  return UserHivePlace(run, key);
}

}  // namespace tarvium
