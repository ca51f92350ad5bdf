// A run on behalf of the setup service: the engine runs as the local system account for a
// logged-on user, whose name and shell folders the service left in the registry and whose hive
// under HKEY_USERS stands in for the current user's root.
#pragma once

namespace tarvium {

struct SetupRun;

// The number in %CalledFromService% (0 when not set).
int CalledFromService(SetupRun& run);
// Takes over the service's user; sets WindowsUser (before the environment and logon rules).
void TakeOverServiceUser(SetupRun& run, int nCalledFromService);

}  // namespace tarvium
