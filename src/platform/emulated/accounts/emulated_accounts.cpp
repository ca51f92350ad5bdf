// The account store over the registry: every operation reads or writes the keys named in the
// header, so that two engine processes on one machine see the same accounts.
#include "platform/emulated/accounts/emulated_accounts.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "platform/ansi_case.h"
#include "platform/emulated/accounts/well_known_accounts.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

const std::string kUsersKey = "SAM\\Accounts\\Users";
const std::string kLocalGroupsKey = "SAM\\Accounts\\LocalGroups";
const std::string kGlobalGroupsKey = "SAM\\Accounts\\GlobalGroups";

const std::string& GroupsKey(bool bGlobal) {
  return bGlobal ? kGlobalGroupsKey : kLocalGroupsKey;
}

// --- Values -------------------------------------------------------------------------------------

uint32_t SetString(Registry& registry, const std::string& key, const char* name,
                   const std::string& text) {
  RegValue value{REG_SZ, std::vector<uint8_t>(text.begin(), text.end())};
  value.data.push_back(0);
  return registry.SetValue(RegRoot::LocalMachine, key, name, value);
}

uint32_t SetDword(Registry& registry, const std::string& key, const char* name, uint32_t dw) {
  RegValue value{REG_DWORD, {}};
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(dw >> (8 * i)));
  return registry.SetValue(RegRoot::LocalMachine, key, name, value);
}

std::string ReadString(Registry& registry, const std::string& key, const char* name) {
  RegValue value;
  if (registry.QueryValue(RegRoot::LocalMachine, key, name, value) != ERROR_SUCCESS) return "";
  const std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

bool ReadFlag(Registry& registry, const std::string& key, const char* name) {
  RegValue value;
  return registry.QueryValue(RegRoot::LocalMachine, key, name, value) == ERROR_SUCCESS &&
         std::any_of(value.data.begin(), value.data.end(), [](uint8_t b) { return b != 0; });
}

std::vector<std::string> ReadMembers(Registry& registry, const std::string& key) {
  RegValue value;
  std::vector<std::string> members;
  if (registry.QueryValue(RegRoot::LocalMachine, key, "Members", value) != ERROR_SUCCESS)
    return members;
  std::string member;
  for (uint8_t b : value.data) {
    if (b != 0) {
      member += static_cast<char>(b);
    } else if (!member.empty()) {
      members.push_back(member);
      member.clear();
    }
  }
  if (!member.empty()) members.push_back(member);
  return members;
}

// Each member once, compared without regard to case, in the order given.
uint32_t WriteMembers(Registry& registry, const std::string& key,
                      const std::vector<std::string>& members) {
  RegValue value{REG_MULTI_SZ, {}};
  for (size_t i = 0; i < members.size(); ++i) {
    const std::string& member = members[i];
    if (std::any_of(members.begin(), members.begin() + static_cast<std::ptrdiff_t>(i),
                    [&](const std::string& earlier) { return AnsiEqualNoCase(earlier, member); }))
      continue;
    value.data.insert(value.data.end(), member.begin(), member.end());
    value.data.push_back(0);
  }
  value.data.push_back(0);
  return registry.SetValue(RegRoot::LocalMachine, key, "Members", value);
}

uint32_t EnumSubkeys(Registry& registry, const std::string& key, std::vector<std::string>& names) {
  names.clear();
  std::string name;
  uint32_t err = ERROR_SUCCESS;
  for (uint32_t i = 0; (err = registry.EnumKey(RegRoot::LocalMachine, key, i, name)) == 0; ++i)
    names.push_back(name);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return AnsiUpper(a) < AnsiUpper(b); });
  return err == ERROR_NO_MORE_ITEMS || err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
}

// --- Identity of the machine's accounts ---------------------------------------------------------

// "S-1-5-21-a-b-c" from the user's "S-1-5-21-a-b-c-1001".
std::string MachineSidPrefix(const MachineConfig& config) {
  return config.szUserSid.substr(0, config.szUserSid.rfind('-'));
}

std::string ProfileDirOf(const MachineConfig& config, const std::string& name) {
  const std::string drive =
      config.szWindowsDir.size() >= 2 ? config.szWindowsDir.substr(0, 2) : "C:";
  return drive + "\\Users\\" + name;
}

// The highest relative identifier of a local user so far (at least 1000).
unsigned long HighestUserRid(Registry& registry, const MachineConfig& config) {
  unsigned long nHighest = 1000;
  std::vector<std::string> names;
  EnumSubkeys(registry, kUsersKey, names);
  const std::string prefix = MachineSidPrefix(config) + "-";
  for (const std::string& name : names) {
    const std::string sid = ReadString(registry, kUsersKey + "\\" + name, "Sid");
    if (sid.size() > prefix.size() && sid.compare(0, prefix.size(), prefix) == 0)
      nHighest = std::max(nHighest, std::strtoul(sid.c_str() + prefix.size(), nullptr, 10));
  }
  return nHighest;
}

struct UserRecord {
  std::string name;
  std::string sid;
  std::string password;
  std::string comment;
  bool bDisabled = false;
};

uint32_t WriteUser(Registry& registry, const MachineConfig& config, const UserRecord& user) {
  const std::string key = kUsersKey + "\\" + user.name;
  bool bCreated = false;
  if (uint32_t err =
          registry.CreateKey(RegRoot::LocalMachine, key, false, RegView::Default, &bCreated))
    return err;
  if (!bCreated) return NERR_UserExists;
  for (uint32_t err : {SetString(registry, key, "Sid", user.sid),
                       SetString(registry, key, "Password", user.password),
                       SetString(registry, key, "ProfilePath", ProfileDirOf(config, user.name)),
                       SetString(registry, key, "Comment", user.comment),
                       SetDword(registry, key, "Disabled", user.bDisabled ? 1 : 0)})
    if (err != ERROR_SUCCESS) return err;
  return ERROR_SUCCESS;
}

// --- Seed ---------------------------------------------------------------------------------------

struct BuiltinUser {
  const char* rid;
  const char* english;
  const char* german;
  const char* french;
  const char* comment;
};

const BuiltinUser kBuiltinUsers[] = {
    {"500", "Administrator", "Administrator", "Administrateur",
     "Built-in account for administering the computer/domain"},
    {"501", "Guest", "Gast", "Invit\xE9",
     "Built-in account for guest access to the computer/domain"},
    {"503", "DefaultAccount", "DefaultAccount", "DefaultAccount",
     "A user account managed by the system."},
    {"504", "WDAGUtilityAccount", "WDAGUtilityAccount", "WDAGUtilityAccount",
     "A user account managed and used by the system for Windows Defender Application Guard "
     "scenarios."},
};

const char* Localized(const BuiltinUser& user, unsigned nLanguage) {
  return nLanguage == 0x0407 ? user.german : nLanguage == 0x040C ? user.french : user.english;
}

std::string WellKnownName(const std::vector<AccountName>& accounts, const std::string& sid,
                          bool bQualified) {
  for (const AccountName& account : accounts)
    if (account.sid == sid)
      return bQualified && !account.domain.empty() ? account.domain + "\\" + account.name
                                                   : account.name;
  return "";
}

// The usual members of the built-in groups, by the group's SID.
std::vector<std::string> BuiltinMembers(const MachineConfig& config,
                                        const std::vector<AccountName>& accounts,
                                        const std::string& groupSid) {
  const unsigned nLanguage = config.wUILanguage;
  if (groupSid == "S-1-5-32-544")
    return {Localized(kBuiltinUsers[0], nLanguage), config.szUserName};
  if (groupSid == "S-1-5-32-545")
    return {config.szUserName, WellKnownName(accounts, "S-1-5-4", true),
            WellKnownName(accounts, "S-1-5-11", true)};
  if (groupSid == "S-1-5-32-546") return {Localized(kBuiltinUsers[1], nLanguage)};
  return {};
}

// The machine's own user first: a machine whose user is called "Administrator" has that user
// in place of the built-in one.
uint32_t SeedUsers(const MachineConfig& config, Registry& registry) {
  if (uint32_t err =
          WriteUser(registry, config, {config.szUserName, config.szUserSid, "", "", false}))
    return err;
  const std::string prefix = MachineSidPrefix(config) + "-";
  for (const BuiltinUser& user : kBuiltinUsers) {
    const UserRecord record{Localized(user, config.wUILanguage), prefix + user.rid, "",
                            user.comment, true};
    const uint32_t err = WriteUser(registry, config, record);
    if (err != ERROR_SUCCESS && err != NERR_UserExists) return err;
  }
  return ERROR_SUCCESS;
}

uint32_t SeedLocalGroups(const MachineConfig& config, Registry& registry) {
  const std::vector<AccountName> accounts = WellKnownAccounts(config.wUILanguage);
  for (const AccountName& group : accounts) {
    if (group.sid.rfind("S-1-5-32-", 0) != 0) continue;
    const std::string key = kLocalGroupsKey + "\\" + group.name;
    for (uint32_t err :
         {registry.CreateKey(RegRoot::LocalMachine, key),
          SetString(registry, key, "Sid", group.sid), SetString(registry, key, "Comment", ""),
          WriteMembers(registry, key, BuiltinMembers(config, accounts, group.sid))})
      if (err != ERROR_SUCCESS) return err;
  }
  return ERROR_SUCCESS;
}

std::string WithoutLeadingBackslashes(const std::string& name) {
  return name.substr(std::min(name.find_first_not_of('\\'), name.size()));
}

}  // namespace

uint32_t EmulatedAccounts::Seed(const MachineConfig& config, Registry& registry) {
  for (const std::string& key : {kUsersKey, kLocalGroupsKey, kGlobalGroupsKey})
    if (uint32_t err = registry.CreateKey(RegRoot::LocalMachine, key)) return err;
  if (uint32_t err = SeedUsers(config, registry)) return err;
  return SeedLocalGroups(config, registry);
}

bool EmulatedAccounts::IsThisMachine(const std::string& server) const {
  const std::string name = WithoutLeadingBackslashes(server);
  return name.empty() || name == "." || AnsiEqualNoCase(name, config_.szComputerName) ||
         (!config_.szDomainController.empty() && AnsiEqualNoCase(name, config_.szDomainController));
}

bool EmulatedAccounts::IsOwnDomain(const std::string& domain) const {
  return domain.empty() || domain == "." || AnsiEqualNoCase(domain, config_.szComputerName) ||
         (!config_.szDomainController.empty() && AnsiEqualNoCase(domain, config_.szDomain));
}

uint32_t EmulatedAccounts::EnumUsers(std::vector<std::string>& names) {
  return EnumSubkeys(registry_, kUsersKey, names);
}

uint32_t EmulatedAccounts::GetUser(const std::string& name, UserAccount& user) {
  user = {};
  const std::string key = kUsersKey + "\\" + name;
  if (name.empty() || registry_.OpenKey(RegRoot::LocalMachine, key) != ERROR_SUCCESS)
    return NERR_UserNotFound;
  std::string stored;
  // The name as it was created, not as it was asked for.
  std::vector<std::string> names;
  EnumUsers(names);
  for (const std::string& each : names)
    if (AnsiEqualNoCase(each, name)) stored = each;
  user.name = stored.empty() ? name : stored;
  user.sid = ReadString(registry_, key, "Sid");
  user.profileDir = ReadString(registry_, key, "ProfilePath");
  user.comment = ReadString(registry_, key, "Comment");
  user.bDisabled = ReadFlag(registry_, key, "Disabled");
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::EnumGroups(bool bGlobal, std::vector<std::string>& names) {
  return EnumSubkeys(registry_, GroupsKey(bGlobal), names);
}

uint32_t EmulatedAccounts::GetGroupMembers(const std::string& server, const std::string& group,
                                           bool bGlobal, std::vector<std::string>& members) {
  members.clear();
  if (!IsThisMachine(server)) return ERROR_BAD_NETPATH;
  const std::string key = GroupsKey(bGlobal) + "\\" + group;
  if (group.empty() || registry_.OpenKey(RegRoot::LocalMachine, key) != ERROR_SUCCESS)
    return bGlobal ? NERR_GroupNotFound : ERROR_NO_SUCH_ALIAS;
  members = ReadMembers(registry_, key);
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::LogonUser(const std::string& domain, const std::string& userName,
                                     const std::string& password) {
  const std::string key = kUsersKey + "\\" + userName;
  if (!IsOwnDomain(domain) || userName.empty() ||
      registry_.OpenKey(RegRoot::LocalMachine, key) != ERROR_SUCCESS ||
      ReadString(registry_, key, "Password") != password)
    return ERROR_LOGON_FAILURE;
  return ReadFlag(registry_, key, "Disabled") ? ERROR_ACCOUNT_DISABLED : ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::GetDCName(const std::string& domain, std::string& dcName) {
  dcName.clear();
  if (config_.szDomainController.empty() ||
      !(domain.empty() || AnsiEqualNoCase(domain, config_.szDomain)))
    return NERR_DCNotFound;
  dcName = "\\\\" + WithoutLeadingBackslashes(config_.szDomainController);
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::AddUser(const std::string& name, const std::string& password) {
  if (name.empty() || name.find_first_of("\\/\"[]:|<>+=;,?*@") != std::string::npos)
    return ERROR_INVALID_PARAMETER;
  const std::string sid =
      MachineSidPrefix(config_) + "-" + std::to_string(HighestUserRid(registry_, config_) + 1);
  return WriteUser(registry_, config_, {name, sid, password, "", false});
}

uint32_t EmulatedAccounts::AddGroupMember(const std::string& group, const std::string& member,
                                          bool bGlobal) {
  if (group.empty() || member.empty() || group.find('\\') != std::string::npos)
    return ERROR_INVALID_PARAMETER;
  const std::string key = GroupsKey(bGlobal) + "\\" + group;
  if (uint32_t err = registry_.CreateKey(RegRoot::LocalMachine, key)) return err;
  std::vector<std::string> members = ReadMembers(registry_, key);
  members.push_back(member);
  return WriteMembers(registry_, key, members);
}

// --- Write side (not yet built) ---

uint32_t EmulatedAccounts::AddUser(const LocalUserInfo& /*user*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::GetUserInfo(const std::string& /*name*/, LocalUserInfo& /*user*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::SetUserInfo(const std::string& /*name*/, const LocalUserInfo& /*user*/, bool /*bSetPassword*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::DeleteUser(const std::string& /*name*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::AddLocalGroup(const std::string& /*name*/, const std::string& /*comment*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::DeleteLocalGroup(const std::string& /*name*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::AddLocalGroupMember(const std::string& /*group*/, const std::string& /*member*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::DeleteLocalGroupMember(const std::string& /*group*/, const std::string& /*member*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::AddShare(const std::string& /*server*/, const ShareInfo& /*share*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::DeleteShare(const std::string& /*server*/, const std::string& /*name*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::EnumShares(const std::string& /*server*/, std::vector<ShareInfo>& /*shares*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::LookupAccountName(const std::string& /*system*/, const std::string& /*account*/, std::string& /*sid*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::AddAccountRight(const std::string& /*system*/, const std::string& /*sid*/, const std::string& /*right*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::RemoveAccountRight(const std::string& /*system*/, const std::string& /*sid*/, const std::string& /*right*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::EnumAccountRights(const std::string& /*system*/, const std::string& /*sid*/, std::vector<std::string>& /*rights*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::JoinDomain(const std::string& /*server*/, const std::string& /*domain*/, const std::string& /*accountOU*/, const std::string& /*account*/, const std::string& /*password*/, uint32_t /*dwOptions*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t EmulatedAccounts::UnjoinDomain(const std::string& /*server*/, const std::string& /*account*/, const std::string& /*password*/, uint32_t /*dwOptions*/) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace platform::emulated
