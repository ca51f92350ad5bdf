// The account commands of winmachine: "account add NAME PASSWORD" creates a local user,
// "group add GROUP MEMBER [--global]" puts a member into a local (or global) group, creating the
// group when it is missing; "account list" and "group list" show what the machine has. They
// stand in for the user management a test machine would otherwise need Windows for.
#include <algorithm>
#include <vector>

#include "cli.h"
#include "platform/accounts.h"
#include "platform/error_text.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

int ListUsers(platform::emulated::EmulatedMachine& machine) {
  std::vector<std::string> names;
  if (uint32_t err = machine.Users().EnumUsers(names))
    return Fail(kExitFailed, "cannot list the users (" + platform::ErrorCodeText(err) + ")");
  for (const std::string& name : names) {
    platform::UserAccount user;
    machine.Users().GetUser(name, user);
    PrintLine(name + "  " + user.sid + (user.bDisabled ? "  (disabled)" : ""));
  }
  return kExitOk;
}

int ListGroups(platform::emulated::EmulatedMachine& machine, bool bGlobal) {
  std::vector<std::string> groups;
  if (uint32_t err = machine.Users().EnumGroups(bGlobal, groups))
    return Fail(kExitFailed, "cannot list the groups (" + platform::ErrorCodeText(err) + ")");
  for (const std::string& group : groups) {
    std::vector<std::string> members;
    machine.Users().GetGroupMembers("", group, bGlobal, members);
    std::string line = group + ":";
    for (const std::string& member : members) line += " " + member + ";";
    if (!members.empty()) line.pop_back();
    PrintLine(line);
  }
  return kExitOk;
}

}  // namespace

int AccountCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  const bool bList = args.size() == 1 && args[0] == "list";
  if (!bList && (args.size() != 3 || args[0] != "add"))
    return Fail(kExitUsage, "usage: account add NAME PASSWORD | account list");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  if (bList) return ListUsers(*machine);
  const uint32_t err = machine->EmulatedUsers().AddUser(FromArg(args[1]), FromArg(args[2]));
  if (err == platform::NERR_UserExists)
    return Fail(kExitFailed, "user '" + args[1] + "' already exists");
  if (err != platform::ERROR_SUCCESS)
    return Fail(kExitFailed,
                "cannot add user '" + args[1] + "' (" + platform::ErrorCodeText(err) + ")");
  return kExitOk;
}

int GroupCommand(const Invocation& invocation) {
  std::vector<std::string> args = invocation.args;
  const auto flag = std::find(args.begin(), args.end(), "--global");
  const bool bGlobal = flag != args.end();
  if (bGlobal) args.erase(flag);
  const bool bList = args.size() == 1 && args[0] == "list";
  if (!bList && (args.size() != 3 || args[0] != "add"))
    return Fail(kExitUsage, "usage: group add GROUP MEMBER [--global] | group list [--global]");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  if (bList) return ListGroups(*machine, bGlobal);
  const uint32_t err =
      machine->EmulatedUsers().AddGroupMember(FromArg(args[1]), FromArg(args[2]), bGlobal);
  if (err != platform::ERROR_SUCCESS)
    return Fail(kExitFailed, "cannot add '" + args[2] + "' to group '" + args[1] + "' (" +
                                 platform::ErrorCodeText(err) + ")");
  return kExitOk;
}

}  // namespace winmachine
