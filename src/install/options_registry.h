// Where the installed options are recorded: one value per option (or per section processed for
// it) named after it under "Software\<MachineKeyName>\Setup\Options", holding "1" while it is
// installed, in the user hive for a user setup and in the machine hive otherwise. The option
// table reads it to know what is installed, the section processing to know what was installed
// before, and the install pass writes and deletes it.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// The key path, or empty when the product has no machine key name.
std::string OptionsKeyPath(SetupRun& run);

// True when the value named `name` is "1" under the options key; bMachineHive reads the machine
// hive whatever the run is.
bool IsRecordedInstalled(SetupRun& run, const std::string& name, bool bMachineHive = false);

// Notes in the run's journal whether the option was recorded before this run came to it; the run
// does so before it processes the option, so that the journal knows every option it touched.
void NoteOptionBeforeRun(SetupRun& run, const std::string& name);

// Writes "1" for the option (creating the key); failures are not reported.
void RecordOptionInstalled(SetupRun& run, const std::string& name);

// Deletes the option's value.
void ForgetOptionInstalled(SetupRun& run, const std::string& name);

// Deletes "Software\<name>" with its subkeys from the user hive (the current user, or the setup
// service's user).
void DeleteUserKey(SetupRun& run, const std::string& name);

}  // namespace tarvium
