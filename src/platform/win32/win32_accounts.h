// The machine's accounts through the network management functions (netapi32): local users and
// groups, global groups and their members, a logon check with LogonUser, and a domain's
// controller through DsGetDcName.
#pragma once
#include "platform/accounts.h"

namespace platform::win32 {

class Win32Accounts final : public Accounts {
 public:
  uint32_t EnumUsers(std::vector<std::string>& names) override;
  uint32_t GetUser(const std::string& name, UserAccount& user) override;
  uint32_t EnumGroups(bool bGlobal, std::vector<std::string>& names) override;
  uint32_t GetGroupMembers(const std::string& server, const std::string& group, bool bGlobal,
                           std::vector<std::string>& members) override;
  uint32_t LogonUser(const std::string& domain, const std::string& userName,
                     const std::string& password) override;
  uint32_t GetDCName(const std::string& domain, std::string& dcName) override;
};

}  // namespace platform::win32
