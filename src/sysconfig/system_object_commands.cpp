// NetShare, Privilege and NetDomain: disk shares, account rights of the local security policy and
// the domain membership. A share made in an install goes in the uninstall pass; a right granted
// is taken away (and one taken away granted again). Joining or leaving a domain lends the
// everyone account the local administrators' membership for the time of the call.
#include <array>
#include <cstdlib>

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "platform/accounts.h"
#include "platform/win_error.h"
#include "sysconfig/security_call.h"
#include "sysconfig/security_commands.h"

namespace tarvium {
namespace {

using platform::ERROR_SUCCESS;

platform::Accounts& AccountsOf(SecurityCall& call) {
  return call.run.machine.Users();
}

// --- NetShare (server, share name, path, remark, maximum users) ---------------------------------

uint32_t DeleteShare(SecurityCall& call) {
  const uint32_t err = AccountsOf(call).DeleteShare(call.Text(0), call.Text(1));
  return err == platform::NERR_NetNameNotFound ? ERROR_SUCCESS : err;
}

uint32_t AddShare(SecurityCall& call) {
  if (call.run.ctx.bUninstall) return DeleteShare(call);
  platform::ShareInfo share;
  share.name = call.Text(1);
  share.path = call.Text(2);
  share.remark = call.Text(3);
  if (!call.Text(4).empty())
    share.dwMaxUses = static_cast<uint32_t>(std::strtoul(call.Text(4).c_str(), nullptr, 10));
  const uint32_t err = AccountsOf(call).AddShare(call.Text(0), share);
  if (err == ERROR_SUCCESS)
    call.run.machine.Broadcasts().NotifyShellChange(platform::SHCNE_NETSHARE, share.path);
  return err == platform::NERR_DuplicateShare ? ERROR_SUCCESS : err;
}

uint32_t DeleteShareCommand(SecurityCall& call) {
  return call.run.ctx.bUninstall ? ERROR_SUCCESS : DeleteShare(call);
}

// --- Privilege (right, account, system) ---------------------------------------------------------

uint32_t ChangeRight(SecurityCall& call, bool bGrant) {
  platform::Accounts& accounts = AccountsOf(call);
  std::string sid;
  uint32_t err = accounts.LookupAccountName(call.Text(2), call.Text(1), sid);
  if (err != ERROR_SUCCESS) return err;
  return bGrant ? accounts.AddAccountRight(call.Text(2), sid, call.Text(0))
                : accounts.RemoveAccountRight(call.Text(2), sid, call.Text(0));
}

uint32_t AddRight(SecurityCall& call) {
  return ChangeRight(call, !call.run.ctx.bUninstall);
}

uint32_t DeleteRight(SecurityCall& call) {
  return ChangeRight(call, call.run.ctx.bUninstall);
}

// --- NetDomain ----------------------------------------------------------------------------------

bool HasDomainFunctions(SecurityCall& call) {
  const platform::OsVersionInfo version = call.run.machine.System().OsVersion();
  return version.dwPlatformId == 2 && version.dwMajorVersion >= 5;
}

std::string PasswordAt(SecurityCall& call, size_t index) {
  return StoredPassword(call.run, call.Text(index));
}

uint32_t OptionsAt(SecurityCall& call, size_t index) {
  return static_cast<uint32_t>(std::strtoul(call.Text(index).c_str(), nullptr, 10));
}

// Runs the domain call with everyone in the local administrators' group, as long as it takes.
template <class DomainCall>
uint32_t WithEveryoneAsAdministrator(SecurityCall& call, DomainCall domainCall) {
  platform::Accounts& accounts = AccountsOf(call);
  const std::string everyone = LookupVariable(call.run, "$EVERYONE");
  const std::string admins = LookupVariable(call.run, "$LOCALADMINS");
  const bool bAdded = accounts.AddLocalGroupMember(admins, everyone) == ERROR_SUCCESS;
  const uint32_t err = domainCall(accounts);
  if (bAdded) accounts.DeleteLocalGroupMember(admins, everyone);
  return err;
}

uint32_t JoinDomain(SecurityCall& call) {
  if (call.run.ctx.bUninstall || !HasDomainFunctions(call)) return ERROR_SUCCESS;
  const std::string password = PasswordAt(call, 4);
  return WithEveryoneAsAdministrator(call, [&](platform::Accounts& accounts) {
    return accounts.JoinDomain(call.Text(0), call.Text(1), call.Text(2), call.Text(3), password,
                               OptionsAt(call, 5));
  });
}

uint32_t UnjoinDomain(SecurityCall& call) {
  if (call.run.ctx.bUninstall || !HasDomainFunctions(call)) return ERROR_SUCCESS;
  const std::string password = PasswordAt(call, 2);
  return WithEveryoneAsAdministrator(call, [&](platform::Accounts& accounts) {
    return accounts.UnjoinDomain(call.Text(0), call.Text(1), password, OptionsAt(call, 3));
  });
}

constexpr std::array<MethodEntry, 6> kMethods = {{
    {"NetShare", "Add", AddShare},
    {"NetShare", "Del", DeleteShareCommand},
    {"Privilege", "Add", AddRight},
    {"Privilege", "Del", DeleteRight},
    {"NetDomain", "Join", JoinDomain},
    {"NetDomain", "Unjoin", UnjoinDomain},
}};

}  // namespace

SecurityMethod FindSystemObjectMethod(const std::string& object, const std::string& method) {
  return FindMethodIn(kMethods, object, method);
}

}  // namespace tarvium
