// Account rights of the emulated machine's local security policy (LsaAddAccountRights and
// friends): one list per account SID, of the privilege and logon-right names Windows knows. A
// name is taken in any case and kept as Windows spells it, so that the list reads the same however
// a setup wrote it.
#include <algorithm>
#include <cctype>
#include <iterator>

#include "platform/ansi_case.h"
#include "platform/emulated/accounts/emulated_accounts.h"
#include "platform/emulated/accounts/sam_store.h"
#include "platform/spooler.h"  // RPC_S_SERVER_UNAVAILABLE
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr const char* kRightNames[] = {
    // Privileges
    "SeAssignPrimaryTokenPrivilege", "SeAuditPrivilege", "SeBackupPrivilege",
    "SeChangeNotifyPrivilege", "SeCreateGlobalPrivilege", "SeCreatePagefilePrivilege",
    "SeCreatePermanentPrivilege", "SeCreateSymbolicLinkPrivilege", "SeCreateTokenPrivilege",
    "SeDebugPrivilege", "SeDelegateSessionUserImpersonatePrivilege", "SeEnableDelegationPrivilege",
    "SeImpersonatePrivilege", "SeIncreaseBasePriorityPrivilege", "SeIncreaseQuotaPrivilege",
    "SeIncreaseWorkingSetPrivilege", "SeLoadDriverPrivilege", "SeLockMemoryPrivilege",
    "SeMachineAccountPrivilege", "SeManageVolumePrivilege", "SeProfileSingleProcessPrivilege",
    "SeRelabelPrivilege", "SeRemoteShutdownPrivilege", "SeRestorePrivilege", "SeSecurityPrivilege",
    "SeShutdownPrivilege", "SeSyncAgentPrivilege", "SeSystemEnvironmentPrivilege",
    "SeSystemProfilePrivilege", "SeSystemtimePrivilege", "SeTakeOwnershipPrivilege",
    "SeTcbPrivilege", "SeTimeZonePrivilege", "SeTrustedCredManAccessPrivilege", "SeUndockPrivilege",
    "SeUnsolicitedInputPrivilege",
    // Logon rights
    "SeBatchLogonRight", "SeDenyBatchLogonRight", "SeDenyInteractiveLogonRight",
    "SeDenyNetworkLogonRight", "SeDenyRemoteInteractiveLogonRight", "SeDenyServiceLogonRight",
    "SeInteractiveLogonRight", "SeNetworkLogonRight", "SeRemoteInteractiveLogonRight",
    "SeServiceLogonRight"};

// The right as Windows spells it; empty for a name Windows does not know.
std::string CanonicalRight(const std::string& right) {
  const auto* found = std::find_if(std::begin(kRightNames), std::end(kRightNames),
                                   [&](const char* name) { return AnsiEqualNoCase(name, right); });
  return found == std::end(kRightNames) ? "" : *found;
}

// "S-1-" and then numbers separated by dashes.
bool IsSidText(const std::string& sid) {
  if (sid.size() < 5 || !AnsiEqualNoCase(sid.substr(0, 4), "S-1-")) return false;
  bool bDigit = false;
  for (char c : sid.substr(4)) {
    if (c == '-' && !bDigit) return false;
    bDigit = c != '-';
    if (bDigit && !std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return bDigit;
}

}  // namespace

// The checks both right changes make, in Windows' order: the system, the account's identifier,
// then the right's name (given back as Windows spells it).
uint32_t EmulatedAccounts::CheckRightCall(const std::string& system, const std::string& sid,
                                          const std::string& right, std::string& canonical) {
  if (!IsThisMachine(system)) return RPC_S_SERVER_UNAVAILABLE;
  if (!IsSidText(sid)) return ERROR_INVALID_SID;
  canonical = CanonicalRight(right);
  return canonical.empty() ? ERROR_NO_SUCH_PRIVILEGE : ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::AddAccountRight(const std::string& system, const std::string& sid,
                                           const std::string& right) {
  std::string canonical;
  if (uint32_t err = CheckRightCall(system, sid, right, canonical)) return err;
  std::vector<std::string> rights = ReadStrings(registry_, kRightsKey, sid);
  if (std::find(rights.begin(), rights.end(), canonical) != rights.end()) return ERROR_SUCCESS;
  rights.push_back(canonical);
  return registry_.WriteAsOne([&] {
    if (uint32_t err = registry_.CreateKey(RegRoot::LocalMachine, kRightsKey)) return err;
    return SetStrings(registry_, kRightsKey, sid, rights);
  });
}

uint32_t EmulatedAccounts::RemoveAccountRight(const std::string& system, const std::string& sid,
                                              const std::string& right) {
  std::string canonical;
  if (uint32_t err = CheckRightCall(system, sid, right, canonical)) return err;
  std::vector<std::string> rights = ReadStrings(registry_, kRightsKey, sid);
  const auto held = std::find(rights.begin(), rights.end(), canonical);
  if (held == rights.end()) return ERROR_SUCCESS;
  rights.erase(held);
  return SetStrings(registry_, kRightsKey, sid, rights);
}

uint32_t EmulatedAccounts::EnumAccountRights(const std::string& system, const std::string& sid,
                                             std::vector<std::string>& rights) {
  rights.clear();
  if (!IsThisMachine(system)) return RPC_S_SERVER_UNAVAILABLE;
  if (!IsSidText(sid)) return ERROR_INVALID_SID;
  rights = ReadStrings(registry_, kRightsKey, sid);
  return rights.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::EnumRightHolders(std::vector<std::string>& sids) {
  return EnumValueNames(registry_, kRightsKey, sids);
}

}  // namespace platform::emulated
