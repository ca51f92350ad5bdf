// Accounts of the emulated machine, kept in its registry where a person can read them and where
// the write side adds to them. Windows keeps its accounts as binary records under HKLM\SAM; the
// emulated machine keeps a readable layout below the same key (sam_store.h has the key names):
//
//   HKLM\SAM\Accounts\Users\<name>          "Sid", "Password" (plain text: the machine is a
//                                           test bed), "ProfilePath", "Comment", "HomeDir",
//                                           "ScriptPath" (REG_SZ), "Flags" (REG_DWORD, UF_*:
//                                           UF_ACCOUNTDISABLE marks a disabled account),
//                                           "PasswordExpired" (REG_DWORD 0 or 1)
//   HKLM\SAM\Accounts\LocalGroups\<name>    "Sid", "Comment", "Members" (REG_MULTI_SZ)
//   HKLM\SAM\Accounts\GlobalGroups\<name>   "Comment", "Members" (REG_MULTI_SZ)
//   HKLM\SAM\Accounts\Shares\<name>         "Path", "Remark" (REG_SZ), "MaxUses" (REG_DWORD)
//   HKLM\SAM\Accounts\Rights                 one REG_MULTI_SZ per account holding rights: the
//                                           value's name is the account's SID, its strings the
//                                           rights ("SeServiceLogonRight")
//   HKLM\SAM\Accounts\Domain                 "Joined" (REG_SZ: the domain the machine joined,
//                                           empty in a workgroup), "Workgroup" (REG_SZ); until
//                                           a join or unjoin writes it, machine.ini holds
//   HKLM\SAM\Accounts\AccessLists\<kind>     access lists (emulated_access_lists.h)
//
// A user's privilege level is not kept: Windows derives it from membership in Administrators or
// Guests, and so does GetUserInfo. Members are named as they were added ("User", "CORP\jdoe").
// Users and local groups draw their relative identifiers from one counter, as on Windows. A new
// machine is seeded with the built-in users (Administrator, Guest, DefaultAccount,
// WDAGUtilityAccount, all disabled), its own user (password empty) and the built-in local groups
// of its language with their usual members. The machine also answers for its domain: global
// groups and domain logons are read from the same store while the machine is joined to the
// domain whose controller machine.ini names, which also answers GetDCName.
#pragma once
#include <string>
#include <vector>

#include "platform/accounts.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace platform::emulated {

class EmulatedAccounts final : public Accounts {
 public:
  // files (when given) holds the folders shares name.
  EmulatedAccounts(const MachineConfig& config, Registry& registry, FileSystem* files = nullptr)
      : config_(config), registry_(registry), files_(files) {}

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

  // For tests and the machine tool, which stand in for the domain: puts a member into a global
  // group of the machine's domain, creating the group when it is missing; adding a member twice
  // keeps one.
  uint32_t AddGlobalGroupMember(const std::string& group, const std::string& member);
  // The SIDs of the accounts that hold rights, sorted.
  uint32_t EnumRightHolders(std::vector<std::string>& sids);
  // The domain the machine is joined to; empty in a workgroup.
  std::string JoinedDomain();

 private:
  bool IsThisMachine(const std::string& server);
  uint32_t CheckRightCall(const std::string& system, const std::string& sid,
                          const std::string& right, std::string& canonical);
  bool IsOwnDomain(const std::string& domain);
  // The SID of a local user or group, or of the computer; empty when there is none.
  std::string LocalAccountSid(const std::string& name);
  std::string NextAccountSid();
  uint32_t CheckNewUser(const LocalUserInfo& user);
  uint32_t PrivilegeOf(const std::string& name);
  uint32_t DropFromLocalGroups(const std::string& name);
  bool IsLocalMemberName(const std::string& member, const std::string& name) const;
  uint32_t ResolveMember(const std::string& member, std::string& sid);

  const MachineConfig& config_;
  Registry& registry_;
  FileSystem* files_;
};

}  // namespace platform::emulated
