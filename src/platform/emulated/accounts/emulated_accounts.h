// Accounts of the emulated machine, kept in its registry where a person can read them and where
// the write side adds to them. Windows keeps its accounts as binary records under HKLM\SAM; the
// emulated machine keeps a readable layout below the same key:
//
//   HKLM\SAM\Accounts\Users\<name>          "Sid", "Password" (plain text: the machine is a
//                                           test bed), "ProfilePath", "Comment" (REG_SZ),
//                                           "Disabled" (REG_DWORD 0 or 1)
//   HKLM\SAM\Accounts\LocalGroups\<name>    "Sid", "Comment", "Members" (REG_MULTI_SZ)
//   HKLM\SAM\Accounts\GlobalGroups\<name>   "Comment", "Members" (REG_MULTI_SZ)
//
// Members are named as they were added ("User", "CORP\jdoe"). A new machine is seeded with the
// built-in users (Administrator, Guest, DefaultAccount, WDAGUtilityAccount, all disabled), its
// own user (password empty) and the built-in local groups of its language with their usual
// members. The machine also answers for its domain: global groups and domain logons are read
// from the same store when machine.ini names a domain controller, which also answers GetDCName.
#pragma once
#include <string>
#include <vector>

#include "platform/accounts.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/registry.h"

namespace platform::emulated {

class EmulatedAccounts final : public Accounts {
 public:
  EmulatedAccounts(const MachineConfig& config, Registry& registry)
      : config_(config), registry_(registry) {}

  // Writes the built-in accounts of a new machine.
  static uint32_t Seed(const MachineConfig& config, Registry& registry);

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

  // For tests and the machine tool until the write side exists. A new user gets the next free
  // relative identifier of the machine and the profile C:\Users\<name>; NERR_UserExists when
  // the name is taken.
  uint32_t AddUser(const std::string& name, const std::string& password);
  // Creates the group when it is missing; adding a member twice keeps one.
  uint32_t AddGroupMember(const std::string& group, const std::string& member, bool bGlobal);

 private:
  bool IsThisMachine(const std::string& server) const;
  bool IsOwnDomain(const std::string& domain) const;

  const MachineConfig& config_;
  Registry& registry_;
};

}  // namespace platform::emulated
