// Access lists of securable objects as the setup's access-control commands change them
// (SetEntriesInAcl with one explicit entry, then SetNamedSecurityInfo on the object's list):
// files and folders, network shares, registry keys and printers. The emulated machine keeps one
// list per object in its registry; Windows changes the objects' own lists.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace platform {

enum class SecuredObject { File, Share, RegistryKey, Printer };

// ACCESS_MODE values.
inline constexpr uint32_t GRANT_ACCESS = 1;
inline constexpr uint32_t SET_ACCESS = 2;
inline constexpr uint32_t DENY_ACCESS = 3;
inline constexpr uint32_t REVOKE_ACCESS = 4;

// Access rights (the generic and standard bits; GENERIC_READ and GENERIC_WRITE are those of
// file_system.h; the specific ones pass as numbers).
inline constexpr uint32_t DELETE = 0x00010000;
inline constexpr uint32_t READ_CONTROL = 0x00020000;
inline constexpr uint32_t WRITE_DAC = 0x00040000;
inline constexpr uint32_t WRITE_OWNER = 0x00080000;
inline constexpr uint32_t GENERIC_ALL = 0x10000000;
inline constexpr uint32_t GENERIC_EXECUTE = 0x20000000;

// Inheritance flags of an entry.
inline constexpr uint32_t NO_INHERITANCE = 0x0;
inline constexpr uint32_t OBJECT_INHERIT_ACE = 0x1;
inline constexpr uint32_t CONTAINER_INHERIT_ACE = 0x2;
inline constexpr uint32_t NO_PROPAGATE_INHERIT_ACE = 0x4;
inline constexpr uint32_t INHERIT_ONLY_ACE = 0x8;
inline constexpr uint32_t SUB_CONTAINERS_AND_OBJECTS_INHERIT = 0x3;

struct AccessEntry {
  std::string trustee;  // an account name as LookupAccountName takes it
  uint32_t dwMode = GRANT_ACCESS;
  uint32_t dwRights = 0;
  uint32_t dwInheritance = NO_INHERITANCE;
};

class AccessControl {
 public:
  virtual ~AccessControl() = default;
  // Merges one entry into the object's access list as SetEntriesInAcl does: GRANT adds rights,
  // SET replaces the trustee's allowing entries, DENY adds a denying entry, REVOKE removes the
  // trustee's entries. The object is named as SetNamedSecurityInfo names it: a Windows path, a
  // share ("\\server\share" or "share"), a registry key ("MACHINE\SOFTWARE\..."), a printer.
  // ERROR_FILE_NOT_FOUND (or the object's own not-found error) for a missing object,
  // ERROR_NONE_MAPPED (1332) for an unknown trustee.
  virtual uint32_t ChangeAccess(SecuredObject kind, const std::string& objectName,
                                const AccessEntry& entry) = 0;
  // The explicit entries of the object's list, in order.
  virtual uint32_t GetAccess(SecuredObject kind, const std::string& objectName,
                             std::vector<AccessEntry>& entries) = 0;
};

}  // namespace platform
