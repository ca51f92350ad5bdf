// Domain membership of the emulated machine. machine.ini names the domain of the machine's network
// and its controller; the machine starts as a member of that domain when a controller is named.
// NetJoinDomain and NetUnjoinDomain then record the membership in the registry, which from then on
// decides which domain GetDCName, domain logons and the global groups answer for.
#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/emulated/accounts/emulated_accounts.h"
#include "platform/emulated/accounts/sam_store.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

const char* const kDefaultWorkgroup = "WORKGROUP";

std::string WithoutLeadingBackslashes(const std::string& name) {
  return name.substr(std::min(name.find_first_not_of('\\'), name.size()));
}

// "CORP" of "CORP", "CORP\DC01" (a domain with its controller) or "CORP.example.com".
std::string DomainPart(const std::string& name) {
  return name.substr(0, std::min(name.find('\\'), name.find('.')));
}

uint32_t WriteMembership(Registry& registry, const std::string& joined,
                         const std::string& workgroup) {
  return registry.WriteAsOne([&] {
    for (uint32_t err : {registry.CreateKey(RegRoot::LocalMachine, kDomainKey),
                         SetString(registry, kDomainKey, "Joined", joined),
                         SetString(registry, kDomainKey, "Workgroup", workgroup)})
      if (err != ERROR_SUCCESS) return err;
    return ERROR_SUCCESS;
  });
}

}  // namespace

std::string EmulatedAccounts::JoinedDomain() {
  if (HasValue(registry_, kDomainKey, "Joined")) return ReadString(registry_, kDomainKey, "Joined");
  return config_.szDomainController.empty() ? "" : config_.szDomain;
}

bool EmulatedAccounts::IsThisMachine(const std::string& server) {
  const std::string name = WithoutLeadingBackslashes(server);
  if (name.empty() || name == "." || AnsiEqualNoCase(name, config_.szComputerName)) return true;
  return !config_.szDomainController.empty() && !JoinedDomain().empty() &&
         AnsiEqualNoCase(name, WithoutLeadingBackslashes(config_.szDomainController));
}

bool EmulatedAccounts::IsOwnDomain(const std::string& domain) {
  if (domain.empty() || domain == "." || AnsiEqualNoCase(domain, config_.szComputerName))
    return true;
  const std::string joined = JoinedDomain();
  return !joined.empty() && AnsiEqualNoCase(domain, joined);
}

uint32_t EmulatedAccounts::GetDCName(const std::string& domain, std::string& dcName) {
  dcName.clear();
  const std::string wanted = domain.empty() ? JoinedDomain() : domain;
  if (wanted.empty() || config_.szDomainController.empty() ||
      !AnsiEqualNoCase(wanted, config_.szDomain))
    return NERR_DCNotFound;
  dcName = "\\\\" + WithoutLeadingBackslashes(config_.szDomainController);
  return ERROR_SUCCESS;
}

uint32_t EmulatedAccounts::JoinDomain(const std::string& server, const std::string& domain,
                                      const std::string& /*accountOU*/, const std::string& account,
                                      const std::string& password, uint32_t dwOptions) {
  if (!IsThisMachine(server)) return ERROR_BAD_NETPATH;
  if (!JoinedDomain().empty()) return NERR_SetupAlreadyJoined;
  if (!(dwOptions & NETSETUP_JOIN_DOMAIN))
    return domain.empty() ? ERROR_INVALID_PARAMETER : WriteMembership(registry_, "", domain);
  std::string dcName;
  if (DomainPart(domain).empty() || GetDCName(DomainPart(domain), dcName) != ERROR_SUCCESS)
    return ERROR_NO_SUCH_DOMAIN;
  if (!account.empty()) {
    const size_t slash = account.find('\\');
    const std::string user = slash == std::string::npos ? account : account.substr(slash + 1);
    const std::string key = kUsersKey + "\\" + user;
    if (user.empty() || !KeyExists(registry_, key) ||
        ReadString(registry_, key, "Password") != password)
      return ERROR_LOGON_FAILURE;
  }
  return WriteMembership(registry_, config_.szDomain,
                         ReadString(registry_, kDomainKey, "Workgroup"));
}

uint32_t EmulatedAccounts::UnjoinDomain(const std::string& server, const std::string& /*account*/,
                                        const std::string& /*password*/, uint32_t /*dwOptions*/) {
  if (!IsThisMachine(server)) return ERROR_BAD_NETPATH;
  if (JoinedDomain().empty()) return NERR_SetupNotJoined;
  return WriteMembership(registry_, "", kDefaultWorkgroup);
}

}  // namespace platform::emulated
