#include "engine/domain_accounts.h"

#include <array>
#include <string>
#include <string_view>

#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

struct AccountRow {
  std::string_view variable;
  std::string_view sid;  // well-known: the whole identifier; domain: the relative identifier
};

constexpr std::array<AccountRow, 25> kWellKnown = {{
    {"$Everyone", "S-1-1-0"},
    {"$Local", "S-1-2-0"},
    {"$CreatorOwner", "S-1-3-0"},
    {"$Dialup", "S-1-5-1"},
    {"$Network", "S-1-5-2"},
    {"$Batch", "S-1-5-3"},
    {"$Interactive", "S-1-5-4"},
    {"$Service", "S-1-5-6"},
    {"$AuthenticatedUser", "S-1-5-11"},
    {"$LocalSystem", "S-1-5-18"},
    {"$LocalAdmins", "S-1-5-32-544"},
    {"$LocalUsers", "S-1-5-32-545"},
    {"$LocalGuests", "S-1-5-32-546"},
    {"$LocalPowerUsers", "S-1-5-32-547"},
    {"$LocalBackupOps", "S-1-5-32-551"},
    {"$LocalAccountOps", "S-1-5-32-548"},
    {"$LocalSystemOps", "S-1-5-32-549"},
    {"$LocalPrintOps", "S-1-5-32-550"},
    {"$LocalReplicator", "S-1-5-32-552"},
    {"$LocalRASServers", "S-1-5-32-553"},
    {"$LocalRemoteDesktopUsers", "S-1-5-32-555"},
    {"$LocalTSLicenseServers", "S-1-5-32-561"},
    {"$LocalDCOMUsers", "S-1-5-32-562"},
    {"$LocalIUsers", "S-1-5-32-568"},
    {"$LocalCertsvcDCOMAccessGroup", "S-1-5-32-574"},
}};

constexpr std::array<AccountRow, 4> kDomain = {{
    {"$DomainAdmin", "500"},
    {"$DomainGuest", "501"},
    {"$DomainAdmins", "512"},
    {"$DomainUsers", "513"},
}};

std::string AccountName(SetupRun& run, const std::string& sid) {
  std::string name;
  std::string domain;
  if (run.machine.System().LookupAccountSid(sid, name, domain) != platform::ERROR_SUCCESS)
    return "";
  return name;
}

}  // namespace

void FillWellKnownAccounts(SetupRun& run) {
  for (const AccountRow& row : kWellKnown)
    run.variables.Set(row.variable, AccountName(run, std::string(row.sid)));
}

void FillDomainAccount(SetupRun& run, int index) {
  for (const AccountRow& row : kDomain) {
    if (run.variables.Find(row.variable) != index) continue;
    // The domain's own identifier; a workgroup has none, and the account stays empty.
    std::string domainSid;
    if (run.machine.System().LookupAccountName(run.machine.System().DomainName(), domainSid) !=
        platform::ERROR_SUCCESS)
      return;
    run.variables.SetAt(index, AccountName(run, domainSid + "-" + std::string(row.sid)));
    return;
  }
}

}  // namespace tarvium
