// The user hive is HKEY_CURRENT_USER, or the setup service's user below HKEY_USERS, as for every
// registry text of the run.
#include "install/options_registry.h"

#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "install/registration_keys.h"
#include "install/run_journal.h"

namespace tarvium {

std::string OptionsKeyPath(SetupRun& run) {
  return RecordPlace(run, "Options", true).key;
}

bool IsRecordedInstalled(SetupRun& run, const std::string& name, bool bMachineHive) {
  const RegPlace place = RecordPlace(run, "Options", bMachineHive);
  if (place.key.empty()) return false;
  std::string value;
  if (RegReadText(run, place.root, place.key, name, value) != 0) return false;
  return value == "1";
}

void NoteOptionBeforeRun(SetupRun& run, const std::string& name) {
  NoteBeforeChange(run, JournalPart::Options, name,
                   [&] { return std::string(IsRecordedInstalled(run, name) ? "1" : "0"); });
}

void RecordOptionInstalled(SetupRun& run, const std::string& name) {
  const RegPlace place = RecordPlace(run, "Options");
  if (place.key.empty()) return;
  NoteOptionBeforeRun(run, name);
  RegWriteText(run, place.root, place.key, name, "1");
}

void ForgetOptionInstalled(SetupRun& run, const std::string& name) {
  const RegPlace place = RecordPlace(run, "Options");
  if (place.key.empty()) return;
  NoteOptionBeforeRun(run, name);
  RegDeleteValueAt(run, place.root, place.key, name);
}

void DeleteUserKey(SetupRun& run, const std::string& name) {
  const RegPlace place = UserHivePlace(run, "Software\\" + name);
  RegDeleteTree(run, place.root, place.key, true);
}

}  // namespace tarvium
