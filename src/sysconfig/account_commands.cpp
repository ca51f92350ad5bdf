// LocalUser and LocalGroup: users, groups and memberships created in an install carry a use
// count; the uninstall pass releases it and deletes the object when its use has ended and the
// deletion was approved. An object that exists already counts as created (2224, 1379, 1378),
// so that it is counted too.
#include <array>

#include "engine/setup_run.h"
#include "platform/accounts.h"
#include "platform/win_error.h"
#include "sysconfig/security_call.h"
#include "sysconfig/security_commands.h"
#include "sysconfig/use_counts.h"

namespace tarvium {
namespace {

using platform::ERROR_SUCCESS;

constexpr uint32_t UF_PASSWD_MUST_CHANGE = 0x80000000;  // not an account flag: the expired mark

constexpr std::array<FlagName, 14> kUserFlags = {{
    {"SCRIPT", 0x1},
    {"ACCOUNTDISABLE", 0x2},
    {"HOMEDIR_REQUIRED", 0x8},
    {"LOCKOUT", 0x10},
    {"PASSWD_NOTREQD", 0x20},
    {"PASSWD_CANT_CHANGE", 0x40},
    {"TEMP_DUPLICATE_ACCOUNT", 0x100},
    {"NORMAL_ACCOUNT", 0x200},
    {"INTERDOMAIN_TRUST_ACCOUNT", 0x800},
    {"WORKSTATION_TRUST_ACCOUNT", 0x1000},
    {"SERVER_TRUST_ACCOUNT", 0x2000},
    {"DONT_EXPIRE_PASSWD", 0x10000},
    {"MNS_LOGON_ACCOUNT", 0x20000},
    {"PASSWD_MUST_CHANGE", UF_PASSWD_MUST_CHANGE},
}};
constexpr std::array<FlagName, 3> kPrivileges = {{
    {"PRIV_GUEST", platform::USER_PRIV_GUEST},
    {"PRIV_USER", platform::USER_PRIV_USER},
    {"PRIV_ADMIN", platform::USER_PRIV_ADMIN},
}};

enum UserField { kName, kPassword, kComment, kPrivilege, kHomeDir, kScriptPath, kFlags, kSetFlags };

platform::Accounts& AccountsOf(SecurityCall& call) {
  return call.run.machine.Users();
}

bool IsUninstall(const SecurityCall& call) {
  return call.run.ctx.bUninstall;
}

std::string PasswordField(SecurityCall& call) {
  return StoredPassword(call.run, call.Text(kPassword));
}

// The changes of LocalUser.Mod: fields given replace, flags are cleared and set, and the
// expired mark follows PASSWD_MUST_CHANGE where either flags field names it.
struct UserChange {
  std::string password;
  bool bSetPassword = false;
  uint32_t dwClear = 0;
  uint32_t dwSet = 0;
};

uint32_t ChangeUser(SecurityCall& call, const UserChange& change) {
  const std::string name = call.Text(kName);
  platform::LocalUserInfo user;
  uint32_t err = AccountsOf(call).GetUserInfo(name, user);
  if (err != ERROR_SUCCESS) return err;
  if (call.Given(kComment)) user.comment = call.Text(kComment);
  if (call.Given(kHomeDir)) user.homeDir = call.Text(kHomeDir);
  if (call.Given(kScriptPath)) user.scriptPath = call.Text(kScriptPath);
  user.password = change.password;
  user.dwFlags = (user.dwFlags & ~change.dwClear) | (change.dwSet & ~UF_PASSWD_MUST_CHANGE) |
                 platform::UF_SCRIPT;
  if (change.dwSet & UF_PASSWD_MUST_CHANGE)
    user.bPasswordExpired = true;
  else if (change.dwClear & UF_PASSWD_MUST_CHANGE)
    user.bPasswordExpired = false;
  return AccountsOf(call).SetUserInfo(name, user, change.bSetPassword);
}

uint32_t ReleaseOrDelete(SecurityCall& call, const UsedObject& object,
                         uint32_t (*remove)(SecurityCall&)) {
  bool bDelete = false;
  if (!ReleaseUse(call.run, object, call.bApproved, bDelete)) return kCommandStopped;
  return bDelete ? remove(call) : ERROR_SUCCESS;
}

uint32_t RecordIfCounted(SecurityCall& call, const UsedObject& object, bool bExisted) {
  if (call.bNoUseCount) return ERROR_SUCCESS;
  return RecordUse(call.run, object, bExisted, call.bCountExisting) ? ERROR_SUCCESS
                                                                    : kCommandStopped;
}

// --- LocalUser ------------------------------------------------------------------------------------

uint32_t DeleteUser(SecurityCall& call) {
  return AccountsOf(call).DeleteUser(call.Text(kName));
}

uint32_t AddUser(SecurityCall& call) {
  const UsedObject object{UsedObject::Kind::User, call.Text(kName), ""};
  if (IsUninstall(call)) return ReleaseOrDelete(call, object, DeleteUser);
  uint32_t dwFlags = 0, dwPriv = 0;
  if (!ReadFlagField(call, kFlags, kUserFlags, dwFlags) ||
      !ReadFlagField(call, kPrivilege, kPrivileges, dwPriv))
    return kCommandStopped;
  platform::LocalUserInfo user;
  user.name = call.Text(kName);
  user.password = PasswordField(call);
  user.comment = call.Text(kComment);
  user.homeDir = call.Text(kHomeDir);
  user.scriptPath = call.Text(kScriptPath);
  user.dwPriv = platform::USER_PRIV_USER;
  user.dwFlags = (dwFlags | platform::UF_SCRIPT) & ~UF_PASSWD_MUST_CHANGE;
  if (user.password.empty()) user.dwFlags |= platform::UF_PASSWD_NOTREQD;
  uint32_t err = AccountsOf(call).AddUser(user);
  const bool bExisted = err == platform::NERR_UserExists;
  if (bExisted)
    err = ChangeUser(call, {user.password, call.Given(kPassword), 0, dwFlags & ~UF_PASSWD_MUST_CHANGE});
  if (err == ERROR_SUCCESS && (dwFlags & UF_PASSWD_MUST_CHANGE))
    err = ChangeUser(call, {user.password, false, 0, UF_PASSWD_MUST_CHANGE});
  if (err != ERROR_SUCCESS) return err;
  return RecordIfCounted(call, object, bExisted);
}

uint32_t ModifyUser(SecurityCall& call) {
  if (IsUninstall(call)) return ERROR_SUCCESS;
  UserChange change;
  if (!ReadFlagField(call, kFlags, kUserFlags, change.dwClear) ||
      !ReadFlagField(call, kSetFlags, kUserFlags, change.dwSet))
    return kCommandStopped;
  change.bSetPassword = call.Given(kPassword);
  change.password = PasswordField(call);
  return ChangeUser(call, change);
}

uint32_t DeleteUserCommand(SecurityCall& call) {
  return IsUninstall(call) ? ERROR_SUCCESS : DeleteUser(call);
}

// --- LocalGroup -----------------------------------------------------------------------------------

uint32_t DeleteGroup(SecurityCall& call) {
  return AccountsOf(call).DeleteLocalGroup(call.Text(0));
}

uint32_t RemoveMember(SecurityCall& call) {
  return AccountsOf(call).DeleteLocalGroupMember(call.Text(0), call.Text(1));
}

uint32_t AddGroup(SecurityCall& call) {
  const UsedObject object{UsedObject::Kind::Group, call.Text(0), ""};
  if (IsUninstall(call)) return ReleaseOrDelete(call, object, DeleteGroup);
  uint32_t err = AccountsOf(call).AddLocalGroup(call.Text(0), call.Text(1));
  const bool bExisted = err == platform::ERROR_ALIAS_EXISTS;
  if (err != ERROR_SUCCESS && !bExisted) return err;
  return RecordIfCounted(call, object, bExisted);
}

uint32_t AddMember(SecurityCall& call) {
  const UsedObject object{UsedObject::Kind::Membership, call.Text(1), call.Text(0)};
  if (IsUninstall(call)) return ReleaseOrDelete(call, object, RemoveMember);
  const uint32_t err = AccountsOf(call).AddLocalGroupMember(call.Text(0), call.Text(1));
  const bool bExisted = err == platform::ERROR_MEMBER_IN_ALIAS;
  if (err != ERROR_SUCCESS && !bExisted) return err;
  return RecordIfCounted(call, object, bExisted);
}

uint32_t DeleteGroupCommand(SecurityCall& call) {
  return IsUninstall(call) ? ERROR_SUCCESS : DeleteGroup(call);
}

uint32_t DeleteMemberCommand(SecurityCall& call) {
  return IsUninstall(call) ? ERROR_SUCCESS : RemoveMember(call);
}

constexpr std::array<MethodEntry, 7> kMethods = {{
    {"LocalUser", "Add", AddUser},
    {"LocalUser", "Mod", ModifyUser},
    {"LocalUser", "Del", DeleteUserCommand},
    {"LocalGroup", "Add", AddGroup},
    {"LocalGroup", "Del", DeleteGroupCommand},
    {"LocalGroup", "AddMember", AddMember},
    {"LocalGroup", "DelMember", DeleteMemberCommand},
}};

}  // namespace

SecurityMethod FindAccountMethod(const std::string& object, const std::string& method) {
  return FindMethodIn(kMethods, object, method);
}

}  // namespace tarvium
