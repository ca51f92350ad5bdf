// Removing a workstation installation that other users still use: the users who set up their
// part are listed under the machine record's "Users" key. Before the machine part goes, the
// remover is told how many others remain (5563), and the remover's own user part is removed
// first by a child run of the same setup, as the user's setup would remove it.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// The users in the list other than the current one.
uint32_t CountOtherUsers(SetupRun& run);

// The command that removes the current user's part.
std::string UserPartRemovalCommand(SetupRun& run);

// False when the run is to end: No to 5563, or a failed user-part removal not ignored at 5570.
bool CheckOtherUsers(SetupRun& run);

}  // namespace tarvium
