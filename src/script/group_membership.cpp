// One function for both group operators, so that the accounts service plugs in at one place.
#include "script/group_membership.h"

namespace tarvium {

bool IsGroupMember(SetupRun& run, const std::string& account, const std::string& group,
                   bool bGlobal) {
  // The accounts service of the platform answers this once present: list the members of the
  // group (asking the server of a "\\server\group" name for a global group) and compare each with
  // the account without regard to case. Without it the member list cannot be read, and a list
  // that cannot be read makes the comparison false.
  (void)run;
  (void)account;
  (void)group;
  (void)bGlobal;
  return false;
}

}  // namespace tarvium
