// Recorded account changes: the target names the account, group, share or domain; the detail says
// which operation and with what.
#include "platform/recording/recording_accounts.h"

#include "platform/win_error.h"

namespace platform {

uint32_t RecordingAccounts::Record(std::string target, std::string detail) {
  m_changes.Add(ChangeKind::AccountChange, std::move(target), std::move(detail));
  return ERROR_SUCCESS;
}

uint32_t RecordingAccounts::AddUser(const LocalUserInfo& user) {
  return Record(user.name, "add user");
}

uint32_t RecordingAccounts::SetUserInfo(const std::string& name, const LocalUserInfo&,
                                        bool bSetPassword) {
  return Record(name, bSetPassword ? "change user and password" : "change user");
}

uint32_t RecordingAccounts::DeleteUser(const std::string& name) {
  return Record(name, "delete user");
}

uint32_t RecordingAccounts::AddLocalGroup(const std::string& name, const std::string&) {
  return Record(name, "add local group");
}

uint32_t RecordingAccounts::DeleteLocalGroup(const std::string& name) {
  return Record(name, "delete local group");
}

uint32_t RecordingAccounts::AddLocalGroupMember(const std::string& group,
                                                const std::string& member) {
  return Record(group, "add member " + member);
}

uint32_t RecordingAccounts::DeleteLocalGroupMember(const std::string& group,
                                                   const std::string& member) {
  return Record(group, "remove member " + member);
}

uint32_t RecordingAccounts::AddShare(const std::string& server, const ShareInfo& share) {
  return Record(server + "\\" + share.name, "add share of " + share.path);
}

uint32_t RecordingAccounts::DeleteShare(const std::string& server, const std::string& name) {
  return Record(server + "\\" + name, "delete share");
}

uint32_t RecordingAccounts::AddAccountRight(const std::string&, const std::string& sid,
                                            const std::string& right) {
  return Record(sid, "add right " + right);
}

uint32_t RecordingAccounts::RemoveAccountRight(const std::string&, const std::string& sid,
                                               const std::string& right) {
  return Record(sid, "remove right " + right);
}

uint32_t RecordingAccounts::JoinDomain(const std::string&, const std::string& domain,
                                       const std::string&, const std::string& account,
                                       const std::string&, uint32_t dwOptions) {
  return Record(domain, (dwOptions & NETSETUP_JOIN_DOMAIN ? "join domain" : "join workgroup") +
                            (account.empty() ? std::string() : " as " + account));
}

uint32_t RecordingAccounts::UnjoinDomain(const std::string&, const std::string& account,
                                         const std::string&, uint32_t) {
  return Record("WORKGROUP", "leave domain" + (account.empty() ? std::string() : " as " + account));
}

}  // namespace platform
