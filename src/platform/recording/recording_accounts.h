// Users, groups, shares, account rights and the domain of a recorded run: what the wrapped machine
// has is listed and looked up as it is; every change is logged as an AccountChange (its operation
// and arguments, never a password) and answered with success without being made.
#pragma once
#include "platform/accounts.h"
#include "platform/recording/machine_change.h"

namespace platform {

class RecordingAccounts final : public Accounts {
 public:
  RecordingAccounts(Accounts& wrapped, ChangeLog& changes)
      : m_wrapped(wrapped), m_changes(changes) {}

  uint32_t EnumUsers(std::vector<std::string>& names) override {
    return m_wrapped.EnumUsers(names);
  }
  uint32_t GetUser(const std::string& name, UserAccount& user) override {
    return m_wrapped.GetUser(name, user);
  }
  uint32_t EnumGroups(bool bGlobal, std::vector<std::string>& names) override {
    return m_wrapped.EnumGroups(bGlobal, names);
  }
  uint32_t GetGroupMembers(const std::string& server, const std::string& group, bool bGlobal,
                           std::vector<std::string>& members) override {
    return m_wrapped.GetGroupMembers(server, group, bGlobal, members);
  }
  uint32_t LogonUser(const std::string& domain, const std::string& userName,
                     const std::string& password) override {
    return m_wrapped.LogonUser(domain, userName, password);
  }
  uint32_t GetDCName(const std::string& domain, std::string& dcName) override {
    return m_wrapped.GetDCName(domain, dcName);
  }
  uint32_t GetUserInfo(const std::string& name, LocalUserInfo& user) override {
    return m_wrapped.GetUserInfo(name, user);
  }
  uint32_t EnumShares(const std::string& server, std::vector<ShareInfo>& shares) override {
    return m_wrapped.EnumShares(server, shares);
  }
  uint32_t LookupAccountName(const std::string& system, const std::string& account,
                             std::string& sid) override {
    return m_wrapped.LookupAccountName(system, account, sid);
  }
  uint32_t EnumAccountRights(const std::string& system, const std::string& sid,
                             std::vector<std::string>& rights) override {
    return m_wrapped.EnumAccountRights(system, sid, rights);
  }

  uint32_t AddUser(const LocalUserInfo& user) override;
  uint32_t SetUserInfo(const std::string& name, const LocalUserInfo& user,
                       bool bSetPassword) override;
  uint32_t DeleteUser(const std::string& name) override;
  uint32_t AddLocalGroup(const std::string& name, const std::string& comment) override;
  uint32_t DeleteLocalGroup(const std::string& name) override;
  uint32_t AddLocalGroupMember(const std::string& group, const std::string& member) override;
  uint32_t DeleteLocalGroupMember(const std::string& group, const std::string& member) override;
  uint32_t AddShare(const std::string& server, const ShareInfo& share) override;
  uint32_t DeleteShare(const std::string& server, const std::string& name) override;
  uint32_t AddAccountRight(const std::string& system, const std::string& sid,
                           const std::string& right) override;
  uint32_t RemoveAccountRight(const std::string& system, const std::string& sid,
                              const std::string& right) override;
  uint32_t JoinDomain(const std::string& server, const std::string& domain,
                      const std::string& accountOU, const std::string& account,
                      const std::string& password, uint32_t dwOptions) override;
  uint32_t UnjoinDomain(const std::string& server, const std::string& account,
                        const std::string& password, uint32_t dwOptions) override;

 private:
  uint32_t Record(std::string target, std::string detail);

  Accounts& m_wrapped;
  ChangeLog& m_changes;
};

}  // namespace platform
