// The account store over the registry: every operation reads or writes the keys named in the
// header, so that two engine processes on one machine see the same accounts. This file holds the
// seed, the read side and the users; groups, shares, rights, lookups and the domain have files of
// their own.
#include "platform/emulated/accounts/emulated_accounts.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ansi_case.h"
#include "platform/emulated/accounts/sam_store.h"
#include "platform/emulated/accounts/well_known_accounts.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

const std::string& GroupsKey(bool bGlobal) {
  return bGlobal ? kGlobalGroupsKey : kLocalGroupsKey;
}

constexpr uint32_t kAccountTypeFlags = 0x3B00;  // UF_NORMAL_ACCOUNT and the trust account types
constexpr size_t kMaxUserName = 20;
constexpr size_t kMaxPassword = 256;  // PWLEN

// NetUserAdd sets UF_SCRIPT always and makes an account of no type a normal one.
uint32_t NormalFlags(uint32_t dwFlags) {
  dwFlags |= UF_SCRIPT;
  return (dwFlags & kAccountTypeFlags) ? dwFlags : dwFlags | UF_NORMAL_ACCOUNT;
}

// Machines made before the flags were kept have a "Disabled" mark instead.
uint32_t ReadFlags(Registry& registry, const std::string& key) {
  const bool bDisabled = ReadDword(registry, key, "Disabled", 0) != 0;
  return ReadDword(registry, key, "Flags",
                   UF_SCRIPT | UF_NORMAL_ACCOUNT | (bDisabled ? UF_ACCOUNTDISABLE : 0));
}

bool IsUserNameValid(const std::string& name) {
  return !name.empty() && name.size() <= kMaxUserName &&
         name.find_first_of("\\/\"[]:|<>+=;,?*@") == std::string::npos &&
         name.find_first_not_of(". ") != std::string::npos;
}

// "S-1-5-21-a-b-c" from the user's "S-1-5-21-a-b-c-1001".
std::string MachineSidPrefix(const MachineConfig& config) {
  return config.szUserSid.substr(0, config.szUserSid.rfind('-'));
}

std::string ProfileDirOf(const MachineConfig& config, const std::string& name) {
  const std::string drive =
      config.szWindowsDir.size() >= 2 ? config.szWindowsDir.substr(0, 2) : "C:";
  return drive + "\\Users\\" + name;
}

// The highest relative identifier of a local user or group so far (at least 1000).
unsigned long HighestRid(Registry& registry, const MachineConfig& config) {
  unsigned long nHighest = 1000;
  const std::string prefix = MachineSidPrefix(config) + "-";
  for (const std::string& parent : {kUsersKey, kLocalGroupsKey}) {
    std::vector<std::string> names;
    EnumSubkeys(registry, parent, names);
    for (const std::string& name : names) {
      const std::string sid = ReadString(registry, parent + "\\" + name, "Sid");
      if (sid.size() > prefix.size() && sid.compare(0, prefix.size(), prefix) == 0)
        nHighest = std::max(nHighest, std::strtoul(sid.c_str() + prefix.size(), nullptr, 10));
    }
  }
  return nHighest;
}

// The values a user's record holds besides its identity.
uint32_t WriteUserValues(Registry& registry, const std::string& key, const LocalUserInfo& user,
                         bool bSetPassword) {
  if (bSetPassword)
    if (uint32_t err = SetString(registry, key, "Password", user.password)) return err;
  for (uint32_t err : {SetString(registry, key, "Comment", user.comment),
                       SetString(registry, key, "HomeDir", user.homeDir),
                       SetString(registry, key, "ScriptPath", user.scriptPath),
                       SetDword(registry, key, "Flags", NormalFlags(user.dwFlags)),
                       SetDword(registry, key, "PasswordExpired", user.bPasswordExpired ? 1 : 0)})
    if (err != ERROR_SUCCESS) return err;
  return ERROR_SUCCESS;
}

uint32_t CreateUser(Registry& registry, const MachineConfig& config, const std::string& sid,
                    const LocalUserInfo& user) {
  const std::string key = kUsersKey + "\\" + user.name;
  bool bCreated = false;
  if (uint32_t err =
          registry.CreateKey(RegRoot::LocalMachine, key, false, RegView::Default, &bCreated))
    return err;
  if (!bCreated) return NERR_UserExists;
  for (uint32_t err : {SetString(registry, key, "Sid", sid),
                       SetString(registry, key, "ProfilePath", ProfileDirOf(config, user.name))})
    if (err != ERROR_SUCCESS) return err;
  return WriteUserValues(registry, key, user, true);
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

// The usual members of the built-in groups, by the group's SID, each once: the machine's user
// may be the built-in Administrator itself.
std::vector<std::string> BuiltinMembers(const MachineConfig& config,
                                        const std::vector<AccountName>& accounts,
                                        const std::string& groupSid) {
  const unsigned nLanguage = config.wUILanguage;
  std::vector<std::string> named;
  if (groupSid == "S-1-5-32-544")
    named = {Localized(kBuiltinUsers[0], nLanguage), config.szUserName};
  if (groupSid == "S-1-5-32-545")
    named = {config.szUserName, WellKnownName(accounts, "S-1-5-4", true),
             WellKnownName(accounts, "S-1-5-11", true)};
  if (groupSid == "S-1-5-32-546") named = {Localized(kBuiltinUsers[1], nLanguage)};
  std::vector<std::string> members;
  for (const std::string& name : named)
    if (std::none_of(members.begin(), members.end(),
                     [&](const std::string& each) { return AnsiEqualNoCase(each, name); }))
      members.push_back(name);
  return members;
}

// The machine's own user first: a machine whose user is called "Administrator" has that user
// in place of the built-in one.
uint32_t SeedUsers(const MachineConfig& config, Registry& registry) {
  LocalUserInfo own;
  own.name = config.szUserName;
  if (uint32_t err = CreateUser(registry, config, config.szUserSid, own)) return err;
  const std::string prefix = MachineSidPrefix(config) + "-";
  for (const BuiltinUser& user : kBuiltinUsers) {
    LocalUserInfo builtin;
    builtin.name = Localized(user, config.wUILanguage);
    builtin.comment = user.comment;
    builtin.dwFlags = UF_SCRIPT | UF_NORMAL_ACCOUNT | UF_ACCOUNTDISABLE | UF_DONT_EXPIRE_PASSWD;
    const uint32_t err = CreateUser(registry, config, prefix + user.rid, builtin);
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
          SetStrings(registry, key, "Members", BuiltinMembers(config, accounts, group.sid))})
      if (err != ERROR_SUCCESS) return err;
  }
  return ERROR_SUCCESS;
}

}  // namespace

// The store's keys exist from the start, as Windows' do, so that the last share, right or access
// list removed leaves the machine as it was.
uint32_t EmulatedAccounts::Seed(const MachineConfig& config, Registry& registry) {
  for (const std::string& key :
       {kUsersKey, kLocalGroupsKey, kGlobalGroupsKey, kSharesKey, kRightsKey, kFileAccessListsKey,
        kShareAccessListsKey, kKeyAccessListsKey, kPrinterAccessListsKey})
    if (uint32_t err = registry.CreateKey(RegRoot::LocalMachine, key)) return err;
  if (uint32_t err = SeedUsers(config, registry)) return err;
  return SeedLocalGroups(config, registry);
}

// --- Read side ----------------------------------------------------------------------------------

uint32_t EmulatedAccounts::EnumUsers(std::vector<std::string>& names) {
  return EnumSubkeys(registry_, kUsersKey, names);
}

uint32_t EmulatedAccounts::GetUser(const std::string& name, UserAccount& user) {
  user = {};
  const std::string key = kUsersKey + "\\" + name;
  if (name.empty() || !KeyExists(registry_, key)) return NERR_UserNotFound;
  // The name as it was created, not as it was asked for.
  std::vector<std::string> names;
  EnumUsers(names);
  const auto stored = std::find_if(names.begin(), names.end(), [&](const std::string& each) {
    return AnsiEqualNoCase(each, name);
  });
  user.name = stored == names.end() ? name : *stored;
  user.sid = ReadString(registry_, key, "Sid");
  user.profileDir = ReadString(registry_, key, "ProfilePath");
  user.comment = ReadString(registry_, key, "Comment");
  user.bDisabled = (ReadFlags(registry_, key) & UF_ACCOUNTDISABLE) != 0;
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
  if (group.empty() || !KeyExists(registry_, key))
    return bGlobal ? NERR_GroupNotFound : ERROR_NO_SUCH_ALIAS;
  members = ReadStrings(registry_, key, "Members");
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::LogonUser(const std::string& domain, const std::string& userName,
                                     const std::string& password) {
  const std::string key = kUsersKey + "\\" + userName;
  if (!IsOwnDomain(domain) || userName.empty() || !KeyExists(registry_, key) ||
      ReadString(registry_, key, "Password") != password)
    return ERROR_LOGON_FAILURE;
  return (ReadFlags(registry_, key) & UF_ACCOUNTDISABLE) ? ERROR_ACCOUNT_DISABLED : ERROR_SUCCESS;
}

// --- Users --------------------------------------------------------------------------------------

std::string EmulatedAccounts::NextAccountSid() {
  return MachineSidPrefix(config_) + "-" + std::to_string(HighestRid(registry_, config_) + 1);
}

std::string EmulatedAccounts::LocalAccountSid(const std::string& name) {
  if (name.empty()) return "";
  for (const std::string& parent : {kUsersKey, kLocalGroupsKey})
    if (KeyExists(registry_, parent + "\\" + name))
      return ReadString(registry_, parent + "\\" + name, "Sid");
  return AnsiEqualNoCase(name, config_.szComputerName) ? MachineSidPrefix(config_) : "";
}

uint32_t EmulatedAccounts::CheckNewUser(const LocalUserInfo& user) {
  if (!IsUserNameValid(user.name)) return NERR_BadUsername;
  if (user.password.size() > kMaxPassword) return NERR_PasswordTooShort;
  if (user.dwPriv != USER_PRIV_USER) return ERROR_INVALID_PARAMETER;
  if (KeyExists(registry_, kLocalGroupsKey + "\\" + user.name)) return NERR_GroupExists;
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::AddUser(const LocalUserInfo& user) {
  if (uint32_t err = CheckNewUser(user)) return err;
  return registry_.WriteAsOne(
      [&] { return CreateUser(registry_, config_, NextAccountSid(), user); });
}

uint32_t EmulatedAccounts::PrivilegeOf(const std::string& name) {
  const std::vector<AccountName> accounts = WellKnownAccounts(config_.wUILanguage);
  const auto isMember = [&](const char* groupSid) {
    const std::string key = kLocalGroupsKey + "\\" + WellKnownName(accounts, groupSid, false);
    const std::vector<std::string> members = ReadStrings(registry_, key, "Members");
    return std::any_of(members.begin(), members.end(),
                       [&](const std::string& member) { return IsLocalMemberName(member, name); });
  };
  return isMember("S-1-5-32-544")   ? USER_PRIV_ADMIN
         : isMember("S-1-5-32-546") ? USER_PRIV_GUEST
                                    : USER_PRIV_USER;
}

uint32_t EmulatedAccounts::GetUserInfo(const std::string& name, LocalUserInfo& user) {
  user = {};
  UserAccount account;
  if (uint32_t err = GetUser(name, account)) return err;
  const std::string key = kUsersKey + "\\" + name;
  user.name = account.name;
  user.dwPriv = PrivilegeOf(name);
  user.homeDir = ReadString(registry_, key, "HomeDir");
  user.comment = account.comment;
  user.dwFlags = ReadFlags(registry_, key);
  user.scriptPath = ReadString(registry_, key, "ScriptPath");
  user.bPasswordExpired = ReadDword(registry_, key, "PasswordExpired", 0) != 0;
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::SetUserInfo(const std::string& name, const LocalUserInfo& user,
                                       bool bSetPassword) {
  const std::string key = kUsersKey + "\\" + name;
  if (name.empty() || !KeyExists(registry_, key)) return NERR_UserNotFound;
  if (bSetPassword && user.password.size() > kMaxPassword) return NERR_PasswordTooShort;
  if (user.dwPriv != PrivilegeOf(name)) return ERROR_INVALID_PARAMETER;
  return registry_.WriteAsOne([&] {
    if (uint32_t err = WriteUserValues(registry_, key, user, bSetPassword)) return err;
    // The mark of machines made before the flags were kept would outlive a change of them.
    const uint32_t err = registry_.DeleteValue(RegRoot::LocalMachine, key, "Disabled");
    return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
  });
}

uint32_t EmulatedAccounts::DeleteUser(const std::string& name) {
  const std::string key = kUsersKey + "\\" + name;
  if (name.empty() || !KeyExists(registry_, key)) return NERR_UserNotFound;
  const std::string sid = ReadString(registry_, key, "Sid");
  const std::string rid = sid.substr(sid.rfind('-') + 1);
  if (sid != config_.szUserSid && (rid == "500" || rid == "501")) return ERROR_SPECIAL_ACCOUNT;
  return registry_.WriteAsOne([&] {
    if (uint32_t err = DropFromLocalGroups(name)) return err;
    if (uint32_t err = SetStrings(registry_, kRightsKey, sid, {})) return err;
    return registry_.DeleteTree(RegRoot::LocalMachine, key);
  });
}

}  // namespace platform::emulated
