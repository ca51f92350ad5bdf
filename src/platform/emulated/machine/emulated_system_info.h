// SystemInfo of the emulated machine: identity and version data from machine.ini, special folders
// from the default layout of the machine's user, account names from the well-known table in the
// machine's language and from its local users, international settings from the user's Control Panel
// keys. The machine's configuration does not change while it is open, so what is made from it
// alone (the folder table, the version data, the well-known accounts) is made once, on first use:
// the engine asks for them at every start and for the version once per copy line.
#pragma once
#include <functional>
#include <optional>
#include <vector>

#include "platform/accounts.h"
#include "platform/emulated/accounts/well_known_accounts.h"
#include "platform/emulated/machine/default_layout.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace platform::emulated {

class EmulatedSystemInfo final : public SystemInfo {
 public:
  // The local users of `accounts` (when given) are looked up as well as the well-known ones.
  EmulatedSystemInfo(const MachineConfig& config, Registry& registry, Accounts* accounts = nullptr)
      : config_(config), registry_(registry), accounts_(accounts) {}

  std::string ComputerName() override { return config_.szComputerName; }
  std::string DomainName() override { return config_.szDomain; }
  std::string UserName() override { return config_.szUserName; }
  std::string UserSid() override { return config_.szUserSid; }
  OsVersionInfo OsVersion() override;
  uint32_t LookupAccountSid(const std::string& sid, std::string& name,
                            std::string& domain) override;
  uint32_t LookupAccountName(const std::string& name, std::string& sid) override;
  uint32_t GetSpecialFolder(SpecialFolder folder, std::string& path) override;
  uint16_t UiLanguage() override { return config_.wUILanguage; }
  uint32_t DefaultLocale() override { return config_.lcidLocale; }
  InternationalSettings International() override;
  bool IsLaptop() override { return config_.bLaptop; }
  // The machine has a runtime only where machine.ini names its directory.
  uint32_t GetClrDirectory(std::string& directory) override;

 private:
  // The well-known accounts and the machine's own user. The other local users are read from the
  // registry on each lookup that needs them, as a setup may add users while it runs.
  const std::vector<AccountName>& ConfiguredAccounts();
  std::optional<AccountName> FindAccount(const std::function<bool(const AccountName&)>& fits);

  const MachineConfig& config_;
  Registry& registry_;
  Accounts* accounts_;
  std::vector<FolderPlace> folders_;
  std::optional<OsVersionInfo> osVersion_;
  std::vector<AccountName> configuredAccounts_;
};

}  // namespace platform::emulated
