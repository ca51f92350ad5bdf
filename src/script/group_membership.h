// Group membership as the INGLOBALGROUP and INLOCALGROUP comparisons ask it: whether a group
// lists an account among its members, through the network management functions of the machine.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Whether the group has a member named like the account (compared without regard to case). A
// global group written "\\server\group" is asked of that server, any other group of this
// computer. A group that cannot be listed has no members.
bool IsGroupMember(SetupRun& run, const std::string& account, const std::string& group,
                   bool bGlobal);

}  // namespace tarvium
