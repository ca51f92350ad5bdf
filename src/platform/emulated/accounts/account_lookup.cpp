// LookupAccountName on the emulated machine, in the order Windows resolves a name: the well-known
// accounts in the machine's language (and the English aliases Windows also takes for the service
// accounts), then the local users and groups and the computer itself.
#include "platform/ansi_case.h"
#include "platform/emulated/accounts/emulated_accounts.h"
#include "platform/emulated/accounts/well_known_accounts.h"
#include "platform/spooler.h"  // RPC_S_SERVER_UNAVAILABLE
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

struct Alias {
  const char* name;
  const char* sid;
};

// Names of NT AUTHORITY accounts that Windows resolves beside their display names.
constexpr Alias kAliases[] = {
    {"LocalService", "S-1-5-19"},
    {"NetworkService", "S-1-5-20"},
    {"LocalSystem", "S-1-5-18"},
};

std::string WellKnownSid(const std::string& domain, const std::string& name, unsigned nLanguage) {
  std::string ntAuthority;
  for (const AccountName& account : WellKnownAccounts(nLanguage)) {
    if (account.sid == "S-1-5-18") ntAuthority = account.domain;
    if ((domain.empty() || AnsiEqualNoCase(domain, account.domain)) &&
        AnsiEqualNoCase(name, account.name))
      return account.sid;
  }
  const bool bNtFits = domain.empty() || AnsiEqualNoCase(domain, ntAuthority) ||
                       AnsiEqualNoCase(domain, "NT AUTHORITY");
  for (const Alias& alias : kAliases)
    if (bNtFits && AnsiEqualNoCase(name, alias.name)) return alias.sid;
  return "";
}

}  // namespace

uint32_t EmulatedAccounts::LookupAccountName(const std::string& system, const std::string& account,
                                             std::string& sid) {
  sid.clear();
  if (!IsThisMachine(system)) return RPC_S_SERVER_UNAVAILABLE;
  const size_t slash = account.find('\\');
  const std::string domain = slash == std::string::npos ? "" : account.substr(0, slash);
  const std::string name = slash == std::string::npos ? account : account.substr(slash + 1);
  if (name.empty()) return ERROR_NONE_MAPPED;
  sid = WellKnownSid(domain, name, config_.wUILanguage);
  if (sid.empty() &&
      (domain.empty() || domain == "." || AnsiEqualNoCase(domain, config_.szComputerName)))
    sid = LocalAccountSid(name);
  return sid.empty() ? ERROR_NONE_MAPPED : ERROR_SUCCESS;
}

}  // namespace platform::emulated
