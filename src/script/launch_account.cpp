// The user's environment is built from the engine's own, as the environment block of a freshly
// logged-on user starts from the machine's variables; only the per-user entries differ.
#include "script/launch_account.h"

#include <algorithm>

#include "engine/encrypted_value.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

void SetEntry(std::vector<std::string>& block, const std::string& name, const std::string& value) {
  const std::string prefix = platform::AnsiUpper(name) + "=";
  for (std::string& entry : block) {
    if (platform::AnsiStartsWithNoCase(entry, prefix)) {
      entry = name + "=" + value;
      return;
    }
  }
  block.push_back(name + "=" + value);
}

}  // namespace

LaunchAccount AccountForLaunch(SetupRun& run, std::string_view user, std::string password) {
  LaunchAccount account;
  const size_t nBackslash = user.find('\\');
  if (nBackslash == std::string_view::npos) {
    account.domain = ".";
    account.userName = std::string(user);
  } else {
    account.domain = std::string(user.substr(0, nBackslash));
    account.userName = std::string(user.substr(nBackslash + 1));
  }
  if (account.domain.empty()) account.domain = ".";
  DecryptGuard(run, password);
  account.password = std::move(password);
  return account;
}

std::string UserProfileFolder(SetupRun& run, const std::string& userName) {
  platform::UserAccount account;
  if (run.machine.Users().GetUser(userName, account) == 0 && !account.profileDir.empty())
    return account.profileDir;
  std::string profiles;
  if (run.machine.System().GetSpecialFolder(platform::SpecialFolder::UserProfiles, profiles) != 0)
    profiles = "C:\\Users";
  return profiles + "\\" + userName;
}

std::vector<std::string> UserEnvironment(SetupRun& run, const LaunchAccount& account,
                                         const std::string& profileFolder) {
  std::vector<std::string> block = run.machine.Env().Block();
  const std::string local = profileFolder + "\\AppData\\Local";
  const bool bLocalAccount = account.domain == ".";
  const std::pair<const char*, std::string> entries[] = {
      {"USERNAME", account.userName},
      {"USERDOMAIN", bLocalAccount ? run.machine.System().ComputerName() : account.domain},
      {"USERPROFILE", profileFolder},
      {"HOMEDRIVE", profileFolder.substr(0, 2)},
      {"HOMEPATH", profileFolder.size() > 2 ? profileFolder.substr(2) : "\\"},
      {"APPDATA", profileFolder + "\\AppData\\Roaming"},
      {"LOCALAPPDATA", local},
      {"TEMP", local + "\\Temp"},
      {"TMP", local + "\\Temp"},
  };
  for (const auto& [pszName, value] : entries) SetEntry(block, pszName, value);
  std::sort(block.begin(), block.end(), [](const std::string& a, const std::string& b) {
    return platform::AnsiUpper(a) < platform::AnsiUpper(b);
  });
  return block;
}

}  // namespace tarvium
