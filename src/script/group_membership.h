// Group membership for the INGLOBALGROUP and INLOCALGROUP comparisons of conditions. Member lists
// come from the machine's accounts (network management on Windows); until the platform offers
// them, no account is a member of any group, which is also the answer the conditions must give
// when the network functions are not available.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Whether `group` (a global group, optionally "\\server\group", when bGlobal; else a local group
// of this machine) has a member named `account`, compared without regard to case.
bool IsGroupMember(SetupRun& run, const std::string& account, const std::string& group,
                   bool bGlobal);

}  // namespace tarvium
