// The security commands of winmachine: "shares" lists the disk shares ("shares add NAME PATH
// [REMARK]", "shares del NAME" change them), "rights [ACCOUNT]" the account rights of every
// account or of one ("rights add|del ACCOUNT RIGHT" change them), and "acl KIND OBJECT" the access
// list of a file, share, registry key or printer ("acl KIND OBJECT grant|set|deny|revoke TRUSTEE
// [MASK [INHERITANCE]]" merges an entry as a setup's access commands do). They go through the
// machine's account and access-list functions, so that they answer as a setup would be answered.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "cli.h"
#include "platform/access_control.h"
#include "platform/accounts.h"
#include "platform/error_text.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

int Report(uint32_t err, const std::string& what) {
  if (err == platform::ERROR_SUCCESS) return kExitOk;
  return Fail(kExitFailed, "cannot " + what + " (" + platform::ErrorCodeText(err) + ")");
}

std::string Hex(uint32_t dw) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", dw);
  return text;
}

// A number in C notation ("0x1F01FF", "3"); false for anything else.
bool ParseNumber(const std::string& text, uint32_t& dw) {
  char* pEnd = nullptr;
  dw = static_cast<uint32_t>(std::strtoul(text.c_str(), &pEnd, 0));
  return !text.empty() && *pEnd == '\0';
}

// --- shares -------------------------------------------------------------------------------------

int ListShares(platform::Accounts& accounts) {
  std::vector<platform::ShareInfo> shares;
  if (uint32_t err = accounts.EnumShares("", shares)) return Report(err, "list the shares");
  for (const platform::ShareInfo& share : shares)
    PrintLine(share.name + "  " + share.path + (share.remark.empty() ? "" : "  " + share.remark));
  return kExitOk;
}

// --- rights -------------------------------------------------------------------------------------

// "S-1-5-21-...-1002 (PC\alice)", or the SID alone when no name is known for it.
std::string AccountOfSid(platform::Machine& machine, const std::string& sid) {
  std::string name, domain;
  if (machine.System().LookupAccountSid(sid, name, domain) != platform::ERROR_SUCCESS) return sid;
  return sid + " (" + (domain.empty() ? name : domain + "\\" + name) + ")";
}

int ListRights(platform::emulated::EmulatedMachine& machine, const std::vector<std::string>& sids) {
  for (const std::string& sid : sids) {
    std::vector<std::string> rights;
    const uint32_t err = machine.Users().EnumAccountRights("", sid, rights);
    if (err != platform::ERROR_SUCCESS && err != platform::ERROR_FILE_NOT_FOUND)
      return Report(err, "list the rights of " + sid);
    std::string line = AccountOfSid(machine, sid) + ":";
    for (const std::string& right : rights) line += " " + right;
    PrintLine(line);
  }
  return kExitOk;
}

int ChangeRight(platform::Accounts& accounts, const std::string& verb, const std::string& sid,
                const std::string& right) {
  const uint32_t err = verb == "add" ? accounts.AddAccountRight("", sid, right)
                                     : accounts.RemoveAccountRight("", sid, right);
  return Report(err, verb + " the right " + right);
}

// --- acl ----------------------------------------------------------------------------------------

struct KindName {
  const char* name;
  platform::SecuredObject kind;
};

constexpr KindName kKinds[] = {{"file", platform::SecuredObject::File},
                               {"share", platform::SecuredObject::Share},
                               {"key", platform::SecuredObject::RegistryKey},
                               {"printer", platform::SecuredObject::Printer}};

struct ModeName {
  const char* name;
  uint32_t dwMode;
};

constexpr ModeName kModes[] = {{"grant", platform::GRANT_ACCESS},
                               {"set", platform::SET_ACCESS},
                               {"deny", platform::DENY_ACCESS},
                               {"revoke", platform::REVOKE_ACCESS}};

int ListAccess(platform::AccessControl& access, platform::SecuredObject kind,
               const std::string& object) {
  std::vector<platform::AccessEntry> entries;
  if (uint32_t err = access.GetAccess(kind, object, entries))
    return Report(err, "read the access list of '" + object + "'");
  for (const platform::AccessEntry& entry : entries)
    PrintLine(std::string(entry.dwMode == platform::DENY_ACCESS ? "deny " : "allow") + "  " +
              Hex(entry.dwRights) + "  inherit " + std::to_string(entry.dwInheritance) + "  " +
              entry.trustee);
  return kExitOk;
}

// "grant TRUSTEE [MASK [INHERITANCE]]" from args[2] on; false for arguments that are none.
bool ParseEntry(const std::vector<std::string>& args, platform::AccessEntry& entry) {
  if (args.size() < 4 || args.size() > 6) return false;
  const auto* mode = std::find_if(std::begin(kModes), std::end(kModes),
                                  [&](const ModeName& each) { return args[2] == each.name; });
  if (mode == std::end(kModes)) return false;
  entry.dwMode = mode->dwMode;
  entry.trustee = FromArg(args[3]);
  entry.dwRights = platform::GENERIC_ALL;
  return (args.size() < 5 || ParseNumber(args[4], entry.dwRights)) &&
         (args.size() < 6 || ParseNumber(args[5], entry.dwInheritance));
}

}  // namespace

int SharesCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  const bool bList = args.empty() || (args.size() == 1 && args[0] == "list");
  const bool bAdd = (args.size() == 3 || args.size() == 4) && args[0] == "add";
  const bool bDel = args.size() == 2 && args[0] == "del";
  if (!bList && !bAdd && !bDel)
    return Fail(kExitUsage,
                "usage: shares [list] | shares add NAME PATH [REMARK] | shares del NAME");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  if (bList) return ListShares(machine->Users());
  if (bDel)
    return Report(machine->Users().DeleteShare("", FromArg(args[1])),
                  "delete share '" + args[1] + "'");
  platform::ShareInfo share{FromArg(args[1]), FromArg(args[2]),
                            args.size() == 4 ? FromArg(args[3]) : ""};
  return Report(machine->Users().AddShare("", share), "add share '" + args[1] + "'");
}

int RightsCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  const bool bChange = args.size() == 3 && (args[0] == "add" || args[0] == "del");
  if (args.size() > 1 && !bChange)
    return Fail(kExitUsage, "usage: rights [ACCOUNT] | rights add|del ACCOUNT RIGHT");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  std::vector<std::string> sids(1);
  if (args.empty()) {
    if (uint32_t err = machine->EmulatedUsers().EnumRightHolders(sids))
      return Report(err, "list the accounts with rights");
    return ListRights(*machine, sids);
  }
  const std::string& account = bChange ? args[1] : args[0];
  if (uint32_t err = machine->Users().LookupAccountName("", FromArg(account), sids[0]))
    return Report(err, "find account '" + account + "'");
  if (bChange) return ChangeRight(machine->Users(), args[0], sids[0], FromArg(args[2]));
  return ListRights(*machine, sids);
}

int AclCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  const auto* kind = args.empty()
                         ? std::end(kKinds)
                         : std::find_if(std::begin(kKinds), std::end(kKinds),
                                        [&](const KindName& each) { return args[0] == each.name; });
  platform::AccessEntry entry;
  const bool bChange = args.size() > 2;
  if (kind == std::end(kKinds) || args.size() < 2 || (bChange && !ParseEntry(args, entry)))
    return Fail(kExitUsage,
                "usage: acl file|share|key|printer OBJECT "
                "[grant|set|deny|revoke TRUSTEE [MASK [INHERITANCE]]]");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  const std::string object = FromArg(args[1]);
  if (!bChange) return ListAccess(machine->Access(), kind->kind, object);
  return Report(machine->Access().ChangeAccess(kind->kind, object, entry),
                "change the access list of '" + args[1] + "'");
}

}  // namespace winmachine
