// The access-control commands: each changes one object's access list by one entry, as
// SetEntriesInAcl merges an explicit entry into a list. Their fields:
//
//   FileDacl.Add|Del     (path, trustee, mode, rights, inheritance)
//   FileDaclEx.Add|Del   (path, trustee, mode, rights, inheritance): also every file and folder
//                        that lies below the folder now
//   RegDacl.Add|Del      (root, key, trustee, mode, rights, inheritance)
//   NetShareDacl.Add|Del (server, share, trustee, mode, rights, inheritance)
//   PrinterDacl.Add|Del  (printer, trustee, mode, rights, inheritance)
//
// mode is GRANT, SET, DENY or REVOKE; rights are ALL, READ, WRITE, EXECUTE, DELETE, READ_CONTROL,
// WRITE_DAC, WRITE_OWNER, SYNCHRONIZE (or GENERIC_... and a decimal number), joined with '|';
// inheritance is NO_INHERITANCE, OBJECT_INHERIT, CONTAINER_INHERIT,
// SUB_CONTAINERS_AND_OBJECTS_INHERIT, INHERIT_ONLY, NO_PROPAGATE_INHERIT. Add lines run in an
// install, Del lines in the uninstall pass, both with the operation they name.
#include <array>

#include "engine/registry_text.h"
#include "engine/setup_run.h"
#include "platform/access_control.h"
#include "platform/win_error.h"
#include "script/file_walk.h"
#include "sysconfig/security_call.h"

namespace tarvium {
namespace {

using platform::ERROR_SUCCESS;
using platform::SecuredObject;

constexpr std::array<FlagName, 8> kModes = {{
    {"GRANT", platform::GRANT_ACCESS},
    {"GRANT_ACCESS", platform::GRANT_ACCESS},
    {"SET", platform::SET_ACCESS},
    {"SET_ACCESS", platform::SET_ACCESS},
    {"DENY", platform::DENY_ACCESS},
    {"DENY_ACCESS", platform::DENY_ACCESS},
    {"REVOKE", platform::REVOKE_ACCESS},
    {"REVOKE_ACCESS", platform::REVOKE_ACCESS},
}};
constexpr std::array<FlagName, 13> kRights = {{
    {"ALL", platform::GENERIC_ALL},
    {"READ", platform::GENERIC_READ},
    {"WRITE", platform::GENERIC_WRITE},
    {"EXECUTE", platform::GENERIC_EXECUTE},
    {"GENERIC_ALL", platform::GENERIC_ALL},
    {"GENERIC_READ", platform::GENERIC_READ},
    {"GENERIC_WRITE", platform::GENERIC_WRITE},
    {"GENERIC_EXECUTE", platform::GENERIC_EXECUTE},
    {"DELETE", platform::DELETE},
    {"READ_CONTROL", platform::READ_CONTROL},
    {"WRITE_DAC", platform::WRITE_DAC},
    {"WRITE_OWNER", platform::WRITE_OWNER},
    {"SYNCHRONIZE", 0x00100000},
}};
constexpr std::array<FlagName, 11> kInheritance = {{
    {"NO_INHERITANCE", platform::NO_INHERITANCE},
    {"OBJECT_INHERIT", platform::OBJECT_INHERIT_ACE},
    {"OBJECT_INHERIT_ACE", platform::OBJECT_INHERIT_ACE},
    {"SUB_OBJECTS_ONLY_INHERIT", platform::OBJECT_INHERIT_ACE},
    {"CONTAINER_INHERIT", platform::CONTAINER_INHERIT_ACE},
    {"CONTAINER_INHERIT_ACE", platform::CONTAINER_INHERIT_ACE},
    {"SUB_CONTAINERS_ONLY_INHERIT", platform::CONTAINER_INHERIT_ACE},
    {"SUB_CONTAINERS_AND_OBJECTS_INHERIT", platform::SUB_CONTAINERS_AND_OBJECTS_INHERIT},
    {"NO_PROPAGATE_INHERIT", platform::NO_PROPAGATE_INHERIT_ACE},
    {"INHERIT_ONLY", platform::INHERIT_ONLY_ACE},
    {"INHERIT_ONLY_ACE", platform::INHERIT_ONLY_ACE},
}};

// The entry of the fields from index on (trustee, mode, rights, inheritance); false after 5530.
bool ReadEntry(SecurityCall& call, size_t index, platform::AccessEntry& entry) {
  entry.trustee = call.Text(index);
  return ReadFlagField(call, index + 1, kModes, entry.dwMode) &&
         ReadFlagField(call, index + 2, kRights, entry.dwRights) &&
         ReadFlagField(call, index + 3, kInheritance, entry.dwInheritance);
}

uint32_t ChangeAccess(SecurityCall& call, SecuredObject kind, const std::string& object,
                      size_t nEntryIndex) {
  platform::AccessEntry entry;
  if (!ReadEntry(call, nEntryIndex, entry)) return kCommandStopped;
  return call.run.machine.Access().ChangeAccess(kind, object, entry);
}

// Add lines act in an install, Del lines in the uninstall pass.
bool RunsInThisPass(const SecurityCall& call, bool bAddLine) {
  return call.run.ctx.bUninstall != bAddLine;
}

uint32_t FileAccess(SecurityCall& call) {
  return ChangeAccess(call, SecuredObject::File, call.Text(0), 1);
}

// The folder, then everything below it, each changed by the same entry.
uint32_t FileTreeAccess(SecurityCall& call) {
  platform::AccessEntry entry;
  if (!ReadEntry(call, 1, entry)) return kCommandStopped;
  platform::AccessControl& access = call.run.machine.Access();
  const std::string root = call.Text(0);
  uint32_t err = access.ChangeAccess(SecuredObject::File, root, entry);
  std::vector<std::string> folders{root};
  for (size_t i = 0; i < folders.size() && err == ERROR_SUCCESS; ++i) {
    for (const std::string& sub : ListSubdirectories(call.run, folders[i]))
      folders.push_back(JoinPath(folders[i], sub));
    WalkFiles(call.run, folders[i], "*", false,
              [&](const std::string& relative, const platform::FindData&) {
                err = access.ChangeAccess(SecuredObject::File, JoinPath(folders[i], relative),
                                          entry);
                return err == ERROR_SUCCESS;
              });
    if (i > 0 && err == ERROR_SUCCESS)
      err = access.ChangeAccess(SecuredObject::File, folders[i], entry);
  }
  return err;
}

// The key as the security functions name it: "MACHINE\Software\...".
uint32_t RegistryAccess(SecurityCall& call) {
  platform::RegRoot root{};
  if (ParseRootName(call.Text(0), root) != RootName::Supported)
    return platform::ERROR_INVALID_PARAMETER;
  static constexpr const char* kObjectRoots[] = {"CLASSES_ROOT", "CURRENT_USER", "MACHINE",
                                                 "USERS", "CURRENT_CONFIG"};
  const std::string object = std::string(kObjectRoots[static_cast<int>(root)]) + "\\" +
                             call.Text(1);
  return ChangeAccess(call, SecuredObject::RegistryKey, object, 2);
}

uint32_t ShareAccess(SecurityCall& call) {
  std::string server = call.Text(0);
  if (!server.empty() && server.rfind("\\\\", 0) != 0) server = "\\\\" + server;
  const std::string object = server.empty() ? call.Text(1) : server + "\\" + call.Text(1);
  return ChangeAccess(call, SecuredObject::Share, object, 2);
}

uint32_t PrinterAccess(SecurityCall& call) {
  return ChangeAccess(call, SecuredObject::Printer, call.Text(0), 1);
}

template <SecurityMethod change, bool bAddLine>
uint32_t InItsPass(SecurityCall& call) {
  return RunsInThisPass(call, bAddLine) ? change(call) : ERROR_SUCCESS;
}

constexpr std::array<MethodEntry, 10> kMethods = {{
    {"FileDacl", "Add", InItsPass<FileAccess, true>},
    {"FileDacl", "Del", InItsPass<FileAccess, false>},
    {"FileDaclEx", "Add", InItsPass<FileTreeAccess, true>},
    {"FileDaclEx", "Del", InItsPass<FileTreeAccess, false>},
    {"RegDacl", "Add", InItsPass<RegistryAccess, true>},
    {"RegDacl", "Del", InItsPass<RegistryAccess, false>},
    {"NetShareDacl", "Add", InItsPass<ShareAccess, true>},
    {"NetShareDacl", "Del", InItsPass<ShareAccess, false>},
    {"PrinterDacl", "Add", InItsPass<PrinterAccess, true>},
    {"PrinterDacl", "Del", InItsPass<PrinterAccess, false>},
}};

}  // namespace

SecurityMethod FindAccessListMethod(const std::string& object, const std::string& method) {
  return FindMethodIn(kMethods, object, method);
}

}  // namespace tarvium
