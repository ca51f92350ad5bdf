// Where the product's registration lives: the record "Software\<MachineKeyName>\Setup" with its
// Options, Prompts, Sections and Users subkeys, the entry of the system's list of installed
// programs, and the hive each belongs to. A user setup keeps its record in the user's hive (the
// current user, or the setup service's user below HKEY_USERS); everything else, and the Users list
// always, is in the machine hive.
#pragma once
#include <string>

#include "platform/registry.h"

namespace tarvium {

struct SetupRun;

struct RegPlace {
  platform::RegRoot root = platform::RegRoot::LocalMachine;
  std::string key;
};

inline constexpr char kUninstallEntries[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// "Software\<machineKeyName>" and its "\Setup" record.
std::string ProductVersionKey(const std::string& machineKeyName);
std::string SetupRecordKey(const std::string& machineKeyName);
// The uninstall entry of a key name.
std::string UninstallEntryKey(const std::string& uninstallKeyName);

// A key of the user's hive.
RegPlace UserHivePlace(SetupRun& run, const std::string& key);
// The record (with a subkey such as "Options" when given) in the hive of the run: the user's in a
// user setup, the machine's otherwise; bMachineHive names the machine's whatever the run is.
RegPlace RecordPlace(SetupRun& run, const std::string& subkey = "", bool bMachineHive = false);

// The run's MachineKeyName with variables replaced; empty when the product has none.
std::string RunMachineKeyName(SetupRun& run);

}  // namespace tarvium
