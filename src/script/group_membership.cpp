#include "script/group_membership.h"

#include <vector>

#include "engine/setup_run.h"
#include "platform/ansi_case.h"

namespace tarvium {

bool IsGroupMember(SetupRun& run, const std::string& account, const std::string& group,
                   bool bGlobal) {
  std::string server;
  std::string groupName = group;
  if (bGlobal && group.size() > 2 && group[0] == '\\' && group[1] == '\\') {
    const size_t nSlash = group.find('\\', 2);
    if (nSlash == std::string::npos) return false;
    server = group.substr(0, nSlash);
    groupName = group.substr(nSlash + 1);
  }
  std::vector<std::string> members;
  if (run.machine.Users().GetGroupMembers(server, groupName, bGlobal, members) !=
      platform::ERROR_SUCCESS)
    return false;
  for (const std::string& member : members)
    if (platform::AnsiEqualNoCase(member, account)) return true;
  return false;
}

}  // namespace tarvium
