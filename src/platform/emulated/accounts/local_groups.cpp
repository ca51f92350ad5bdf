// Local groups of the emulated machine and their members, as NetLocalGroupAdd, NetLocalGroupDel
// and NetLocalGroupAdd/DelMembers change them, and the global groups tests put members into.
// A member is kept under the name it was added by; two names are the same member when they name
// the same account, so "alice" and "TARVIUM-PC\alice" cannot both be in one group.
#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/emulated/accounts/emulated_accounts.h"
#include "platform/emulated/accounts/sam_store.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr size_t kMaxGroupName = 256;

bool IsGroupNameValid(const std::string& name) {
  return !name.empty() && name.size() <= kMaxGroupName &&
         name.find_first_of("\\/\"[]:|<>+=;,?*@") == std::string::npos &&
         name.find_first_not_of(". ") != std::string::npos;
}

}  // namespace

// Whether a member's name ("alice", ".\alice", "TARVIUM-PC\alice") names the local user.
bool EmulatedAccounts::IsLocalMemberName(const std::string& member, const std::string& name) const {
  const size_t slash = member.find('\\');
  if (slash == std::string::npos) return AnsiEqualNoCase(member, name);
  const std::string domain = member.substr(0, slash);
  return (domain.empty() || domain == "." || AnsiEqualNoCase(domain, config_.szComputerName)) &&
         AnsiEqualNoCase(member.substr(slash + 1), name);
}

// The member's SID; an account of the joined domain, which its controller would resolve, has
// none here but is a member all the same.
uint32_t EmulatedAccounts::ResolveMember(const std::string& member, std::string& sid) {
  if (LookupAccountName("", member, sid) == ERROR_SUCCESS) return ERROR_SUCCESS;
  const size_t slash = member.find('\\');
  const std::string joined = JoinedDomain();
  if (slash != std::string::npos && slash + 1 < member.size() && !joined.empty() &&
      AnsiEqualNoCase(member.substr(0, slash), joined))
    return ERROR_SUCCESS;
  return ERROR_NO_SUCH_MEMBER;
}

uint32_t EmulatedAccounts::AddLocalGroup(const std::string& name, const std::string& comment) {
  if (!IsGroupNameValid(name)) return ERROR_INVALID_PARAMETER;
  const std::string key = kLocalGroupsKey + "\\" + name;
  if (KeyExists(registry_, key)) return ERROR_ALIAS_EXISTS;
  if (KeyExists(registry_, kGlobalGroupsKey + "\\" + name) ||
      KeyExists(registry_, kUsersKey + "\\" + name))
    return NERR_GroupExists;
  return registry_.WriteAsOne([&] {
    const std::string sid = NextAccountSid();
    for (uint32_t err :
         {registry_.CreateKey(RegRoot::LocalMachine, key), SetString(registry_, key, "Sid", sid),
          SetString(registry_, key, "Comment", comment)})
      if (err != ERROR_SUCCESS) return err;
    return ERROR_SUCCESS;
  });
}

uint32_t EmulatedAccounts::DeleteLocalGroup(const std::string& name) {
  const std::string key = kLocalGroupsKey + "\\" + name;
  if (name.empty() || !KeyExists(registry_, key)) return NERR_GroupNotFound;
  const std::string sid = ReadString(registry_, key, "Sid");
  if (sid.rfind("S-1-5-32-", 0) == 0) return ERROR_SPECIAL_ACCOUNT;
  return registry_.WriteAsOne([&] {
    if (uint32_t err = SetStrings(registry_, kRightsKey, sid, {})) return err;
    return registry_.DeleteTree(RegRoot::LocalMachine, key);
  });
}

uint32_t EmulatedAccounts::AddLocalGroupMember(const std::string& group,
                                               const std::string& member) {
  const std::string key = kLocalGroupsKey + "\\" + group;
  if (group.empty() || !KeyExists(registry_, key)) return ERROR_NO_SUCH_ALIAS;
  std::string sid;
  if (uint32_t err = ResolveMember(member, sid)) return err;
  std::vector<std::string> members = ReadStrings(registry_, key, "Members");
  for (const std::string& each : members) {
    std::string eachSid;
    if (AnsiEqualNoCase(each, member) ||
        (!sid.empty() && LookupAccountName("", each, eachSid) == ERROR_SUCCESS && eachSid == sid))
      return ERROR_MEMBER_IN_ALIAS;
  }
  members.push_back(member);
  return SetStrings(registry_, key, "Members", members);
}

uint32_t EmulatedAccounts::DeleteLocalGroupMember(const std::string& group,
                                                  const std::string& member) {
  const std::string key = kLocalGroupsKey + "\\" + group;
  if (group.empty() || !KeyExists(registry_, key)) return ERROR_NO_SUCH_ALIAS;
  std::vector<std::string> members = ReadStrings(registry_, key, "Members");
  std::string sid;
  const bool bResolved = ResolveMember(member, sid) == ERROR_SUCCESS;
  const auto found = std::find_if(members.begin(), members.end(), [&](const std::string& each) {
    std::string eachSid;
    return AnsiEqualNoCase(each, member) ||
           (!sid.empty() && LookupAccountName("", each, eachSid) == ERROR_SUCCESS &&
            eachSid == sid);
  });
  if (found == members.end()) return bResolved ? ERROR_MEMBER_NOT_IN_ALIAS : ERROR_NO_SUCH_MEMBER;
  members.erase(found);
  return SetStrings(registry_, key, "Members", members);
}

// A deleted user leaves every local group it was in.
uint32_t EmulatedAccounts::DropFromLocalGroups(const std::string& name) {
  std::vector<std::string> groups;
  if (uint32_t err = EnumSubkeys(registry_, kLocalGroupsKey, groups)) return err;
  for (const std::string& group : groups) {
    const std::string key = kLocalGroupsKey + "\\" + group;
    std::vector<std::string> members = ReadStrings(registry_, key, "Members");
    const auto kept = std::remove_if(members.begin(), members.end(), [&](const std::string& m) {
      return IsLocalMemberName(m, name);
    });
    if (kept == members.end()) continue;
    members.erase(kept, members.end());
    if (uint32_t err = SetStrings(registry_, key, "Members", members)) return err;
  }
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::AddGlobalGroupMember(const std::string& group,
                                                const std::string& member) {
  if (!IsGroupNameValid(group) || member.empty()) return ERROR_INVALID_PARAMETER;
  const std::string key = kGlobalGroupsKey + "\\" + group;
  if (uint32_t err = registry_.CreateKey(RegRoot::LocalMachine, key)) return err;
  std::vector<std::string> members = ReadStrings(registry_, key, "Members");
  if (std::any_of(members.begin(), members.end(),
                  [&](const std::string& each) { return AnsiEqualNoCase(each, member); }))
    return ERROR_SUCCESS;
  members.push_back(member);
  return SetStrings(registry_, key, "Members", members);
}

}  // namespace platform::emulated
