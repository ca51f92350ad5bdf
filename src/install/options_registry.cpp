// The user hive is HKEY_CURRENT_USER, or the setup service's user below HKEY_USERS, as for every
// registry text of the run.
#include "install/options_registry.h"

#include "engine/registry_text.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"

namespace tarvium {
namespace {

using platform::RegRoot;

struct RegPlace {
  RegRoot root;
  std::string key;
};

RegPlace UserHive(SetupRun& run, const std::string& key) {
  const std::string& sid = run.variables.userHiveSid;
  if (sid.empty()) return {RegRoot::CurrentUser, key};
  return {RegRoot::Users, sid + "\\" + key};
}

RegPlace OptionsPlace(SetupRun& run, bool bMachineHive) {
  const std::string key = OptionsKeyPath(run);
  if (bMachineHive || !run.ctx.bUserPartRun) return {RegRoot::LocalMachine, key};
  return UserHive(run, key);
}

}  // namespace

std::string OptionsKeyPath(SetupRun& run) {
  std::string machineKey = run.variables.Get("MachineKeyName");
  ReplaceVariables(run, machineKey);
  return machineKey.empty() ? std::string() : "Software\\" + machineKey + "\\Setup\\Options";
}

bool IsRecordedInstalled(SetupRun& run, const std::string& name, bool bMachineHive) {
  const RegPlace place = OptionsPlace(run, bMachineHive);
  if (place.key.empty()) return false;
  std::string value;
  if (RegReadText(run, place.root, place.key, name, value) != 0) return false;
  return value == "1";
}

void RecordOptionInstalled(SetupRun& run, const std::string& name) {
  const RegPlace place = OptionsPlace(run, false);
  if (place.key.empty()) return;
  platform::Registry& reg = run.machine.Reg();
  if (reg.CreateKey(place.root, place.key) != 0) return;
  platform::RegValue value{platform::REG_SZ, {'1', '\0'}};
  reg.SetValue(place.root, place.key, name, value);
}

void ForgetOptionInstalled(SetupRun& run, const std::string& name) {
  const RegPlace place = OptionsPlace(run, false);
  if (!place.key.empty()) run.machine.Reg().DeleteValue(place.root, place.key, name);
}

void DeleteUserKey(SetupRun& run, const std::string& name) {
  const RegPlace place = UserHive(run, "Software\\" + name);
  run.machine.Reg().DeleteTree(place.root, place.key);
}

}  // namespace tarvium
