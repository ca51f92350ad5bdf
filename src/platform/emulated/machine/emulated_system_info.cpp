#include "platform/emulated/machine/emulated_system_info.h"

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

std::string RegString(Registry& registry, RegRoot root, const std::string& key,
                      const std::string& name, const std::string& fallback) {
  RegValue value;
  if (registry.QueryValue(root, key, name, value) != ERROR_SUCCESS ||
      (value.dwType != REG_SZ && value.dwType != REG_EXPAND_SZ))
    return fallback;
  std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

}  // namespace

OsVersionInfo EmulatedSystemInfo::OsVersion() {
  if (osVersion_) return *osVersion_;
  OsVersionInfo& info = osVersion_.emplace();
  info.dwMajorVersion = config_.dwMajorVersion;
  info.dwMinorVersion = config_.dwMinorVersion;
  info.dwBuildNumber = config_.dwBuildNumber;
  info.dwPlatformId = config_.dwPlatformId;
  info.szCSDVersion = config_.szCSDVersion;
  info.wServicePackMajor = config_.wServicePackMajor;
  info.wServicePackMinor = config_.wServicePackMinor;
  info.wSuiteMask = config_.wSuiteMask;
  info.wProductType = config_.wProductType;
  info.name = config_.szProductName;
  info.b64Bit = config_.b64Bit;
  info.displayString = config_.DisplayString();
  return info;
}

const std::vector<AccountName>& EmulatedSystemInfo::ConfiguredAccounts() {
  if (configuredAccounts_.empty()) {
    configuredAccounts_ = WellKnownAccounts(config_.wUILanguage);
    configuredAccounts_.push_back({config_.szUserSid, config_.szUserName, config_.szComputerName});
  }
  return configuredAccounts_;
}

// The first account that fits, in the order Windows looks: the well-known ones, the machine's
// own user, then its other local users, whose names are read only when the others do not fit.
std::optional<AccountName> EmulatedSystemInfo::FindAccount(
    const std::function<bool(const AccountName&)>& fits) {
  for (const AccountName& account : ConfiguredAccounts())
    if (fits(account)) return account;
  std::vector<std::string> names;
  if (!accounts_ || accounts_->EnumUsers(names) != ERROR_SUCCESS) return std::nullopt;
  for (const std::string& name : names) {
    UserAccount user;
    if (accounts_->GetUser(name, user) != ERROR_SUCCESS || user.sid == config_.szUserSid) continue;
    AccountName account{user.sid, user.name, config_.szComputerName};
    if (fits(account)) return account;
  }
  return std::nullopt;
}

uint32_t EmulatedSystemInfo::LookupAccountSid(const std::string& sid, std::string& name,
                                              std::string& domain) {
  const std::optional<AccountName> account =
      FindAccount([&](const AccountName& each) { return AnsiEqualNoCase(each.sid, sid); });
  if (!account) return ERROR_NONE_MAPPED;
  name = account->name;
  domain = account->domain;
  return ERROR_SUCCESS;
}

uint32_t EmulatedSystemInfo::LookupAccountName(const std::string& qualifiedName, std::string& sid) {
  const size_t slash = qualifiedName.find('\\');
  const std::string domain = slash == std::string::npos ? "" : qualifiedName.substr(0, slash);
  const std::string name =
      slash == std::string::npos ? qualifiedName : qualifiedName.substr(slash + 1);
  const std::optional<AccountName> account = FindAccount([&](const AccountName& each) {
    const bool bDomainFits =
        domain.empty() || domain == "." || AnsiEqualNoCase(domain, each.domain);
    return bDomainFits && AnsiEqualNoCase(each.name, name);
  });
  if (!account) return ERROR_NONE_MAPPED;
  sid = account->sid;
  return ERROR_SUCCESS;
}

uint32_t EmulatedSystemInfo::GetSpecialFolder(SpecialFolder folder, std::string& path) {
  if (folder == SpecialFolder::Temp) {
    path = config_.TempDir();
    return ERROR_SUCCESS;
  }
  if (folders_.empty()) folders_ = DefaultFolders(config_);
  for (const FolderPlace& place : folders_) {
    if (place.folder == folder) {
      path = place.path;
      return ERROR_SUCCESS;
    }
  }
  path.clear();
  return ERROR_FILE_NOT_FOUND;
}

uint32_t EmulatedSystemInfo::GetClrDirectory(std::string& directory) {
  directory = config_.szClrDirectory;
  if (directory.empty()) return ERROR_FILE_NOT_FOUND;
  if (directory.back() != '\\') directory += '\\';
  return ERROR_SUCCESS;
}

InternationalSettings EmulatedSystemInfo::International() {
  const InternationalSettings defaults = DefaultInternational(config_.lcidLocale & 0xFFFF);
  const std::string key = "Control Panel\\International";
  auto read = [&](const char* name, const std::string& fallback) {
    return RegString(registry_, RegRoot::CurrentUser, key, name, fallback);
  };
  InternationalSettings settings;
  settings.sDate = read("sDate", defaults.sDate);
  settings.sTime = read("sTime", defaults.sTime);
  settings.sShortDate = read("sShortDate", defaults.sShortDate);
  settings.sLongDate = read("sLongDate", defaults.sLongDate);
  settings.sTimeFormat = read("sTimeFormat", defaults.sTimeFormat);
  settings.sDecimal = read("sDecimal", defaults.sDecimal);
  settings.sList = read("sList", defaults.sList);
  return settings;
}

}  // namespace platform::emulated
