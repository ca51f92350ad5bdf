// The account a program is started under when the launcher is given a user: the user name split
// into domain and user, the password decrypted, and what the user's own start brings with it, the
// profile folder as working directory and an environment that names the user and that folder.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct SetupRun;

struct LaunchAccount {
  std::string domain;  // "." for the local computer
  std::string userName;
  std::string password;  // plain text
};

// "DOMAIN\user", ".\user" or "user"; an encrypted password is decrypted through the guard.
LaunchAccount AccountForLaunch(SetupRun& run, std::string_view user, std::string password);

// The user's profile folder as the machine's accounts know it; for an account they do not know,
// the folder of the machine's user profiles and the user's name.
std::string UserProfileFolder(SetupRun& run, const std::string& userName);

// The engine's environment with the variables that describe the user set for that user.
std::vector<std::string> UserEnvironment(SetupRun& run, const LaunchAccount& account,
                                         const std::string& profileFolder);

}  // namespace tarvium
