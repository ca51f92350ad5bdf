// Access lists of the emulated machine's objects. The machine keeps one explicit list per object
// in its registry, beside the accounts the entries name:
//
//   HKLM\SAM\Accounts\AccessLists\Files          a REG_MULTI_SZ per file or folder, named by its
//                                                Windows path ("C:\App\Data")
//   HKLM\SAM\Accounts\AccessLists\Shares         ... per share, named by the share
//   HKLM\SAM\Accounts\AccessLists\RegistryKeys   ... per key ("MACHINE\SOFTWARE\Vendor")
//   HKLM\SAM\Accounts\AccessLists\Printers       ... per printer
//
// each string one entry (access_list_text.h). An object must exist to get a list, and a trustee
// must be an account LookupAccountName resolves, as SetNamedSecurityInfo requires. Objects the
// machine does not enforce access on keep their lists for setups and tests to read back. A
// registry key's list goes with the key, as on Windows (the registry tells of deleted keys).
#pragma once
#include "platform/access_control.h"
#include "platform/accounts.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/spooler.h"

namespace platform::emulated {

class EmulatedAccessLists final : public AccessControl {
 public:
  EmulatedAccessLists(Registry& registry, FileSystem& files, Accounts& accounts, Spooler& spooler)
      : registry_(registry), files_(files), accounts_(accounts), spooler_(spooler) {}

  uint32_t ChangeAccess(SecuredObject kind, const std::string& objectName,
                        const AccessEntry& entry) override;
  uint32_t GetAccess(SecuredObject kind, const std::string& objectName,
                     std::vector<AccessEntry>& entries) override;
  // Drops the lists of the key and of every key below it, which were deleted.
  void ForgetRegistryKey(RegRoot root, const std::string& keyPath);

 private:
  // The object's value name in its kind's key, or the error for a missing object.
  uint32_t FindObject(SecuredObject kind, const std::string& objectName, std::string& valueName);
  uint32_t FindFile(const std::string& path, std::string& valueName);
  uint32_t FindShare(const std::string& name, std::string& valueName);
  uint32_t FindRegistryKey(const std::string& name, std::string& valueName);
  uint32_t FindPrinter(const std::string& name, std::string& valueName);

  Registry& registry_;
  FileSystem& files_;
  Accounts& accounts_;
  Spooler& spooler_;
};

}  // namespace platform::emulated
