#include "engine/setup_service_user.h"

#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/debug_output.h"
#include "engine/registry_text.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr const char* kServiceKey = "Software\\kelvaron\\TemporaryData\\SetupService";

struct ServiceFolder {
  std::string_view valueName;
  std::string_view variable;
};

constexpr std::array<ServiceFolder, 16> kServiceFolders = {{
    {"Desktop", "Desktop"},
    {"NetHood", "NetHood"},
    {"Programs", "Programs"},
    {"Recent", "Recent"},
    {"SendTo", "SendTo"},
    {"Start Menu", "StartMenu"},
    {"Startup", "Startup"},
    {"AppData", "AppData"},
    {"PrintHood", "PrintHood"},
    {"Fonts", "Fonts"},
    {"Templates", "Templates"},
    {"Favorites", "Favorites"},
    {"Personal", "Personal"},
    {"InternetCache", "InternetCache"},
    {"Cookies", "Cookies"},
    {"History", "History"},
}};

std::string ServiceValue(SetupRun& run, const char* valueName) {
  std::string text;
  RegReadText(run, platform::RegRoot::LocalMachine, kServiceKey, valueName, text);
  return text;
}

// "DOMAIN\user" or "user@domain" without the domain part.
std::string WithoutDomain(const std::string& fqdnUser) {
  const size_t nSlash = fqdnUser.rfind('\\');
  if (nSlash != std::string::npos) return fqdnUser.substr(nSlash + 1);
  return fqdnUser.substr(0, fqdnUser.find('@'));
}

void OpenUserHive(SetupRun& run, const std::string& userName) {
  std::string sid;
  if (!userName.empty() &&
      run.machine.System().LookupAccountName(userName, sid) == platform::ERROR_SUCCESS &&
      run.machine.Reg().OpenKey(platform::RegRoot::Users, sid) == platform::ERROR_SUCCESS) {
    run.variables.userHiveSid = sid;
    return;
  }
  DebugOutput(run, "User key could not be opened!\n");
}

}  // namespace

int CalledFromService(SetupRun& run) {
  std::string text = "%CalledFromService%";
  ReplaceVariables(run, text);
  return std::atoi(text.c_str());
}

void TakeOverServiceUser(SetupRun& run, int nCalledFromService) {
  DebugOutput(run, "CalledFromService: " + std::to_string(nCalledFromService) + "\n");
  DebugOutput(run, "bRunAsLocalSystem: 1\n");
  std::string userName;
  if (nCalledFromService == 2) {
    std::string fqdn = "%CurrentFqdnUser%";
    ReplaceVariables(run, fqdn);
    DebugOutput(run, "FqdnUser: " + fqdn + "\n");
    userName = WithoutDomain(fqdn);
  } else {
    userName = ServiceValue(run, "WindowsUser");
    for (const ServiceFolder& folder : kServiceFolders)
      run.variables.Set(folder.variable, ServiceValue(run, std::string(folder.valueName).c_str()));
  }
  run.variables.Set("WindowsUser", userName);
  OpenUserHive(run, userName);
}

}  // namespace tarvium
