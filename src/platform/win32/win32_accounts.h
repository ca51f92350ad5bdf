// The machine's accounts through the network management functions (netapi32): local users and
// groups, global groups and their members, a logon check with LogonUser, and a domain's
// controller through DsGetDcName (win32_accounts.cpp, imported). The write side is split by what
// it changes: users and local groups (win32_account_changes.cpp), shares (win32_shares.cpp),
// account names and rights (win32_account_rights.cpp), the domain (win32_domain_join.cpp); its
// netapi32 functions are found at run time (win32_net_api.h).
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
  uint32_t AddUser(const LocalUserInfo& user) override;
  uint32_t GetUserInfo(const std::string& name, LocalUserInfo& user) override;
  uint32_t SetUserInfo(const std::string& name, const LocalUserInfo& user,
                       bool bSetPassword) override;
  uint32_t DeleteUser(const std::string& name) override;
  uint32_t AddLocalGroup(const std::string& name, const std::string& comment) override;
  uint32_t DeleteLocalGroup(const std::string& name) override;
  uint32_t AddLocalGroupMember(const std::string& group, const std::string& member) override;
  uint32_t DeleteLocalGroupMember(const std::string& group, const std::string& member) override;
  uint32_t AddShare(const std::string& server, const ShareInfo& share) override;
  uint32_t DeleteShare(const std::string& server, const std::string& name) override;
  uint32_t EnumShares(const std::string& server, std::vector<ShareInfo>& shares) override;
  uint32_t LookupAccountName(const std::string& system, const std::string& account,
                             std::string& sid) override;
  uint32_t AddAccountRight(const std::string& system, const std::string& sid,
                           const std::string& right) override;
  uint32_t RemoveAccountRight(const std::string& system, const std::string& sid,
                              const std::string& right) override;
  uint32_t EnumAccountRights(const std::string& system, const std::string& sid,
                             std::vector<std::string>& rights) override;
  uint32_t JoinDomain(const std::string& server, const std::string& domain,
                      const std::string& accountOU, const std::string& account,
                      const std::string& password, uint32_t dwOptions) override;
  uint32_t UnjoinDomain(const std::string& server, const std::string& account,
                        const std::string& password, uint32_t dwOptions) override;
};

}  // namespace platform::win32
