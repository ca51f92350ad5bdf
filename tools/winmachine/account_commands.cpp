// The account commands of winmachine: "account add NAME PASSWORD" creates a local user and
// "account del NAME" deletes one; "group add GROUP MEMBER [--global]" puts a member into a local
// group (created when missing) or a global group of the machine's domain, "group del GROUP MEMBER"
// takes one out; "account list" and "group list" show what the machine has. They stand in for the
// user management a test machine would otherwise need Windows for, and go through the same
// account functions a setup uses, so that they answer with the same errors.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli.h"
#include "platform/accounts.h"
#include "platform/error_text.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

const char* PrivilegeName(uint32_t dwPriv) {
  return dwPriv == platform::USER_PRIV_ADMIN   ? "admin"
         : dwPriv == platform::USER_PRIV_GUEST ? "guest"
                                               : "user";
}

// "alice  S-1-5-21-...-1002  user  flags 0x00000201  home C:\Home  script s.cmd  (disabled)"
std::string UserLine(platform::Accounts& accounts, const std::string& name) {
  platform::UserAccount user;
  platform::LocalUserInfo info;
  accounts.GetUser(name, user);
  accounts.GetUserInfo(name, info);
  char flags[16];
  std::snprintf(flags, sizeof flags, "0x%08X", info.dwFlags);
  std::string line =
      name + "  " + user.sid + "  " + PrivilegeName(info.dwPriv) + "  flags " + flags;
  if (!info.homeDir.empty()) line += "  home " + info.homeDir;
  if (!info.scriptPath.empty()) line += "  script " + info.scriptPath;
  if (user.bDisabled) line += "  (disabled)";
  if (info.bPasswordExpired) line += "  (password expired)";
  return line;
}

int ListUsers(platform::emulated::EmulatedMachine& machine) {
  std::vector<std::string> names;
  if (uint32_t err = machine.Users().EnumUsers(names))
    return Fail(kExitFailed, "cannot list the users (" + platform::ErrorCodeText(err) + ")");
  for (const std::string& name : names) PrintLine(UserLine(machine.Users(), name));
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

int Report(uint32_t err, const std::string& what) {
  if (err == platform::ERROR_SUCCESS) return kExitOk;
  return Fail(kExitFailed, "cannot " + what + " (" + platform::ErrorCodeText(err) + ")");
}

// A local group is created when missing; a member already in it is no error.
uint32_t AddMember(platform::emulated::EmulatedMachine& machine, const std::string& group,
                   const std::string& member, bool bGlobal) {
  platform::emulated::EmulatedAccounts& accounts = machine.EmulatedUsers();
  if (bGlobal) return accounts.AddGlobalGroupMember(group, member);
  const uint32_t errGroup = accounts.AddLocalGroup(group, "");
  if (errGroup != platform::ERROR_SUCCESS && errGroup != platform::ERROR_ALIAS_EXISTS)
    return errGroup;
  const uint32_t err = accounts.AddLocalGroupMember(group, member);
  return err == platform::ERROR_MEMBER_IN_ALIAS ? platform::ERROR_SUCCESS : err;
}

}  // namespace

int AccountCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  const bool bList = args.size() == 1 && args[0] == "list";
  const bool bDel = args.size() == 2 && args[0] == "del";
  if (!bList && !bDel && (args.size() != 3 || args[0] != "add"))
    return Fail(kExitUsage, "usage: account add NAME PASSWORD | account del NAME | account list");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  if (bList) return ListUsers(*machine);
  if (bDel)
    return Report(machine->Users().DeleteUser(FromArg(args[1])), "delete user '" + args[1] + "'");
  const uint32_t err = machine->Users().AddUser({FromArg(args[1]), FromArg(args[2])});
  if (err == platform::NERR_UserExists)
    return Fail(kExitFailed, "user '" + args[1] + "' already exists");
  return Report(err, "add user '" + args[1] + "'");
}

int GroupCommand(const Invocation& invocation) {
  std::vector<std::string> args = invocation.args;
  const auto flag = std::find(args.begin(), args.end(), "--global");
  const bool bGlobal = flag != args.end();
  if (bGlobal) args.erase(flag);
  const bool bList = args.size() == 1 && args[0] == "list";
  const bool bDel = !bGlobal && args.size() == 3 && args[0] == "del";
  if (!bList && !bDel && (args.size() != 3 || args[0] != "add"))
    return Fail(kExitUsage,
                "usage: group add GROUP MEMBER [--global] | group del GROUP MEMBER | "
                "group list [--global]");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  if (bList) return ListGroups(*machine, bGlobal);
  const std::string group = FromArg(args[1]), member = FromArg(args[2]);
  if (bDel)
    return Report(machine->Users().DeleteLocalGroupMember(group, member),
                  "take '" + args[2] + "' out of group '" + args[1] + "'");
  return Report(AddMember(*machine, group, member, bGlobal),
                "add '" + args[2] + "' to group '" + args[1] + "'");
}

}  // namespace winmachine
