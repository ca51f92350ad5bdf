// The write side of the emulated accounts on a real machine, against the cases of the public
// conformance tests for the network management functions (users, local groups and members) and
// the local security authority (account rights, name lookups), ported as tables; cases about
// buffers, information levels, NULL pointers or server names this interface does not take do not
// apply. Added here: the error codes setups branch on, a deleted user leaving its groups and
// rights, shares, domain join and unjoin, and access lists merged as SetEntriesInAcl merges them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/access_control.h"
#include "platform/accounts.h"
#include "platform/emulated/security/access_list_text.h"
#include "platform/spooler.h"
#include "platform/win_error.h"
#include "support/test_machine.h"

namespace platform {
namespace {

using tarvium::test::TestMachine;

LocalUserInfo User(const std::string& name, const std::string& password = "OldPassW0rdSet!~") {
  LocalUserInfo user;
  user.name = name;
  user.password = password;
  return user;
}

// --- Conformance cases --------------------------------------------------------------------------

TEST(AccountsConformance, RightsAndNamesAsTheSecurityAuthorityAnswers) {
  TestMachine test;
  Accounts& accounts = test.Machine().Users();
  const std::string userSid = test.Machine().System().UserSid();
  std::vector<std::string> rights{"left over"};
  EXPECT_EQ(accounts.EnumAccountRights("", userSid, rights), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(rights.empty());

  struct Lookup {
    std::string name;
    uint32_t dwExpected;
    std::string sid;
  };
  std::string userName = test.Machine().System().UserName();
  userName[0] = static_cast<char>(std::islower(userName[0]) ? std::toupper(userName[0])
                                                            : std::tolower(userName[0]));
  const Lookup lookups[] = {
      {"LOCAL SERVICE", ERROR_SUCCESS, "S-1-5-19"},
      {"LOCAL SERVIC", ERROR_NONE_MAPPED, ""},
      {"NT AUTHORITY\\LocalService", ERROR_SUCCESS, "S-1-5-19"},
      {userName, ERROR_SUCCESS, userSid},  // the case of a name does not matter
  };
  for (const Lookup& lookup : lookups) {
    std::string sid = "left over";
    EXPECT_EQ(accounts.LookupAccountName("", lookup.name, sid), lookup.dwExpected) << lookup.name;
    EXPECT_EQ(sid, lookup.sid) << lookup.name;
  }
}

// --- Codes setups branch on ---------------------------------------------------------------------

TEST(AccountWrite, UsersGroupsAndMembersAnswerWithTheWindowsCodes) {
  TestMachine test;
  Accounts& accounts = test.Machine().Users();
  ASSERT_EQ(accounts.AddUser(User("alice")), ERROR_SUCCESS);
  ASSERT_EQ(accounts.AddLocalGroup("Editors", "people who edit"), ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().EmulatedUsers().AddGlobalGroupMember("Sales", "CORP\\jdoe"),
            ERROR_SUCCESS);
  LocalUserInfo admin = User("boss");
  admin.dwPriv = USER_PRIV_ADMIN;
  struct Case {
    const char* pszWhat;
    uint32_t dwResult, dwExpected;
  };
  const Case cases[] = {
      {"user again", accounts.AddUser(User("ALICE")), NERR_UserExists},
      {"user named like a group", accounts.AddUser(User("editors")), NERR_GroupExists},
      {"user added as administrator", accounts.AddUser(admin), ERROR_INVALID_PARAMETER},
      {"user of no name", accounts.AddUser(User("")), NERR_BadUsername},
      {"user name of 22 characters", accounts.AddUser(User("This is a bad username")),
       NERR_BadUsername},
      {"password of 257 characters", accounts.AddUser(User("testuser", std::string(257, 'a'))),
       NERR_PasswordTooShort},
      {"missing user deleted", accounts.DeleteUser("nobody"), NERR_UserNotFound},
      {"built-in administrator deleted", accounts.DeleteUser("Administrator"),
       ERROR_SPECIAL_ACCOUNT},
      {"group again", accounts.AddLocalGroup("EDITORS", ""), ERROR_ALIAS_EXISTS},
      {"built-in group again", accounts.AddLocalGroup("Administrators", ""), ERROR_ALIAS_EXISTS},
      {"group named like a user", accounts.AddLocalGroup("alice", ""), NERR_GroupExists},
      {"group named like a global group", accounts.AddLocalGroup("Sales", ""), NERR_GroupExists},
      {"missing group deleted", accounts.DeleteLocalGroup("Nobodies"), NERR_GroupNotFound},
      {"built-in group deleted", accounts.DeleteLocalGroup("Users"), ERROR_SPECIAL_ACCOUNT},
      {"member", accounts.AddLocalGroupMember("Editors", "alice"), ERROR_SUCCESS},
      {"member again", accounts.AddLocalGroupMember("editors", "ALICE"), ERROR_MEMBER_IN_ALIAS},
      {"member again by its qualified name",
       accounts.AddLocalGroupMember("Editors", "TARVIUM-PC\\alice"), ERROR_MEMBER_IN_ALIAS},
      {"well-known member", accounts.AddLocalGroupMember("Editors", "NT AUTHORITY\\SYSTEM"),
       ERROR_SUCCESS},
      {"member no account has", accounts.AddLocalGroupMember("Editors", "ghost"),
       ERROR_NO_SUCH_MEMBER},
      {"member of a domain not joined", accounts.AddLocalGroupMember("Editors", "CORP\\jdoe"),
       ERROR_NO_SUCH_MEMBER},
      {"member of a missing group", accounts.AddLocalGroupMember("Nobodies", "alice"),
       ERROR_NO_SUCH_ALIAS},
      {"non-member taken out", accounts.DeleteLocalGroupMember("Editors", "Guest"),
       ERROR_MEMBER_NOT_IN_ALIAS},
      {"unknown name taken out", accounts.DeleteLocalGroupMember("Editors", "ghost"),
       ERROR_NO_SUCH_MEMBER},
      {"member taken out by another name", accounts.DeleteLocalGroupMember("Editors", ".\\Alice"),
       ERROR_SUCCESS},
  };
  for (const Case& each : cases) EXPECT_EQ(each.dwResult, each.dwExpected) << each.pszWhat;
  std::vector<std::string> members;
  ASSERT_EQ(accounts.GetGroupMembers("", "Editors", false, members), ERROR_SUCCESS);
  EXPECT_EQ(members, std::vector<std::string>{"NT AUTHORITY\\SYSTEM"});
}

TEST(AccountWrite, UserFieldsAreKeptAndThePrivilegeFollowsMembership) {
  TestMachine test;
  Accounts& accounts = test.Machine().Users();
  LocalUserInfo user = User("carol", "first");
  user.homeDir = "C:\\Home\\carol";
  user.comment = "Carol's account";
  user.scriptPath = "logon.cmd";
  user.dwFlags = UF_ACCOUNTDISABLE;
  user.bPasswordExpired = true;
  ASSERT_EQ(accounts.AddUser(user), ERROR_SUCCESS);
  auto again = test.OpenAgain();
  LocalUserInfo read;
  ASSERT_EQ(again->Users().GetUserInfo("CAROL", read), ERROR_SUCCESS);
  EXPECT_EQ(read.name, "carol");
  EXPECT_EQ(read.homeDir, user.homeDir);
  EXPECT_EQ(read.comment, user.comment);
  EXPECT_EQ(read.scriptPath, user.scriptPath);
  EXPECT_EQ(read.dwFlags, UF_ACCOUNTDISABLE | UF_SCRIPT | UF_NORMAL_ACCOUNT);
  EXPECT_TRUE(read.bPasswordExpired);
  EXPECT_EQ(read.password, "") << "never read back";
  EXPECT_EQ(read.dwPriv, USER_PRIV_USER);
  EXPECT_EQ(accounts.LogonUser("", "carol", "first"), ERROR_ACCOUNT_DISABLED);
  EXPECT_EQ(accounts.GetUserInfo("Nonexistent User", read), NERR_UserNotFound);
  // The built-in administrator and guest are normal accounts with logon scripts.
  for (const char* pszBuiltin : {"Administrator", "Guest"}) {
    ASSERT_EQ(accounts.GetUserInfo(pszBuiltin, read), ERROR_SUCCESS) << pszBuiltin;
    EXPECT_EQ(read.dwFlags & (UF_SCRIPT | UF_NORMAL_ACCOUNT), UF_SCRIPT | UF_NORMAL_ACCOUNT);
  }

  ASSERT_EQ(accounts.AddLocalGroupMember("Administrators", "carol"), ERROR_SUCCESS);
  ASSERT_EQ(accounts.GetUserInfo("carol", read), ERROR_SUCCESS);
  EXPECT_EQ(read.dwPriv, USER_PRIV_ADMIN);
  read.dwFlags = UF_NORMAL_ACCOUNT;
  read.bPasswordExpired = false;
  read.password = "second";
  EXPECT_EQ(accounts.SetUserInfo("carol", read, false), ERROR_SUCCESS);
  EXPECT_EQ(accounts.LogonUser("", "carol", "first"), ERROR_SUCCESS);  // enabled, old password
  EXPECT_EQ(accounts.SetUserInfo("carol", read, true), ERROR_SUCCESS);
  EXPECT_EQ(accounts.LogonUser("", "carol", "second"), ERROR_SUCCESS);
  read.dwPriv = USER_PRIV_USER;  // not what membership makes it
  EXPECT_EQ(accounts.SetUserInfo("carol", read, false), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(accounts.SetUserInfo("nobody", read, false), NERR_UserNotFound);
}

TEST(AccountWrite, ADeletedUserLeavesItsGroupsAndLosesItsRights) {
  TestMachine test;
  Accounts& accounts = test.Machine().Users();
  ASSERT_EQ(accounts.AddUser(User("dave")), ERROR_SUCCESS);
  ASSERT_EQ(accounts.AddLocalGroup("Editors", ""), ERROR_SUCCESS);
  for (const char* pszGroup : {"Administrators", "Editors"})
    ASSERT_EQ(accounts.AddLocalGroupMember(pszGroup, "TARVIUM-PC\\dave"), ERROR_SUCCESS);
  std::string sid;
  ASSERT_EQ(accounts.LookupAccountName("", "dave", sid), ERROR_SUCCESS);
  ASSERT_EQ(accounts.AddAccountRight("", sid, "SeServiceLogonRight"), ERROR_SUCCESS);

  ASSERT_EQ(accounts.DeleteUser("dave"), ERROR_SUCCESS);
  std::vector<std::string> members;
  ASSERT_EQ(accounts.GetGroupMembers("", "Administrators", false, members), ERROR_SUCCESS);
  EXPECT_EQ(members, (std::vector<std::string>{"Administrator", "User"}));
  ASSERT_EQ(accounts.GetGroupMembers("", "Editors", false, members), ERROR_SUCCESS);
  EXPECT_TRUE(members.empty());
  std::vector<std::string> rights;
  EXPECT_EQ(accounts.EnumAccountRights("", sid, rights), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(accounts.LookupAccountName("", "dave", sid), ERROR_NONE_MAPPED);
  // A new account does not take the deleted one's identifier.
  ASSERT_EQ(accounts.AddUser(User("erin")), ERROR_SUCCESS);
  std::string erinSid;
  ASSERT_EQ(accounts.LookupAccountName("", "erin", erinSid), ERROR_SUCCESS);
  EXPECT_NE(erinSid, sid);
}

TEST(AccountWrite, RightsAreKnownNamesKeptOnceAsWindowsSpellsThem) {
  TestMachine test;
  Accounts& accounts = test.Machine().Users();
  const std::string sid = test.Machine().System().UserSid();
  struct Change {
    bool bAdd;
    const char* pszRight;
    uint32_t dwExpected;
  };
  const Change changes[] = {
      {true, "SeServiceLogonRight", ERROR_SUCCESS},
      {true, "sebackupprivilege", ERROR_SUCCESS},
      {true, "SeServiceLogonRight", ERROR_SUCCESS},  // held already: kept once
      {true, "SeMadeUpRight", ERROR_NO_SUCH_PRIVILEGE},
      {false, "SeMadeUpRight", ERROR_NO_SUCH_PRIVILEGE},
      {false, "SeDebugPrivilege", ERROR_SUCCESS},  // not held
      {true, "SeDenyNetworkLogonRight", ERROR_SUCCESS},
      {false, "SEDENYNETWORKLOGONRIGHT", ERROR_SUCCESS},
  };
  for (const Change& change : changes)
    EXPECT_EQ(change.bAdd ? accounts.AddAccountRight("", sid, change.pszRight)
                          : accounts.RemoveAccountRight("", sid, change.pszRight),
              change.dwExpected)
        << change.pszRight;
  std::vector<std::string> rights;
  ASSERT_EQ(accounts.EnumAccountRights("", sid, rights), ERROR_SUCCESS);
  EXPECT_EQ(rights, (std::vector<std::string>{"SeServiceLogonRight", "SeBackupPrivilege"}));
  EXPECT_EQ(accounts.AddAccountRight("", "alice", "SeServiceLogonRight"), ERROR_INVALID_SID);
  EXPECT_EQ(accounts.AddAccountRight("\\\\ELSEWHERE", sid, "SeServiceLogonRight"),
            RPC_S_SERVER_UNAVAILABLE);
}

TEST(AccountWrite, LookupsResolveWellKnownLocalizedAndLocalAccounts) {
  TestMachine test({"Anna", "PC-9", 0x0407});
  Accounts& accounts = test.Machine().Users();
  ASSERT_EQ(accounts.AddLocalGroup("Redakteure", ""), ERROR_SUCCESS);
  const std::string machineSid =
      test.Machine().System().UserSid().substr(0, test.Machine().System().UserSid().rfind('-'));
  struct Lookup {
    const char* pszName;
    std::string sid;  // empty: ERROR_NONE_MAPPED
  };
  const Lookup lookups[] = {
      {"Jeder", "S-1-1-0"},
      {"Everyone", ""},  // a German machine names it in German
      {"VORDEFINIERT\\Administratoren", "S-1-5-32-544"},
      {"NT-AUTORIT\xC4T\\SYSTEM", "S-1-5-18"},
      {"NT AUTHORITY\\NetworkService", "S-1-5-20"},
      {"PC-9\\anna", test.Machine().System().UserSid()},
      {".\\Anna", test.Machine().System().UserSid()},
      {"OTHER-PC\\Anna", ""},
      {"Redakteure", machineSid + "-1002"},  // groups draw from the users' identifiers
      {"PC-9", machineSid},
      {"", ""},
  };
  for (const Lookup& lookup : lookups) {
    std::string sid;
    EXPECT_EQ(accounts.LookupAccountName("", lookup.pszName, sid),
              lookup.sid.empty() ? ERROR_NONE_MAPPED : ERROR_SUCCESS)
        << lookup.pszName;
    EXPECT_EQ(sid, lookup.sid) << lookup.pszName;
  }
  std::string sid;
  EXPECT_EQ(accounts.LookupAccountName("\\\\ELSEWHERE", "Jeder", sid), RPC_S_SERVER_UNAVAILABLE);
}

// --- Shares, domain, access lists ---------------------------------------------------------------

TEST(AccountWrite, SharesNameExistingFoldersOnce) {
  TestMachine test;
  Accounts& accounts = test.Machine().Users();
  test.WriteFile("C:\\Data\\readme.txt", "x");
  struct Case {
    ShareInfo share;
    const char* pszServer;
    uint32_t dwExpected;
  };
  const Case cases[] = {
      {{"Data", "C:\\Data", "shared data", 10}, "", ERROR_SUCCESS},
      {{"DATA", "C:\\Windows", "", 0xFFFFFFFF}, "", NERR_DuplicateShare},
      {{"Missing", "C:\\Nowhere", "", 0xFFFFFFFF}, "", NERR_UnknownDevDir},
      {{"File", "C:\\Data\\readme.txt", "", 0xFFFFFFFF}, "", NERR_UnknownDevDir},
      {{"Bad:Name", "C:\\Data", "", 0xFFFFFFFF}, "", ERROR_INVALID_SHARENAME},
      {{"Win", "C:\\Windows", "", 0xFFFFFFFF}, "\\\\TARVIUM-PC", ERROR_SUCCESS},
      {{"Far", "C:\\Windows", "", 0xFFFFFFFF}, "\\\\ELSEWHERE", ERROR_BAD_NETPATH},
  };
  for (const Case& each : cases)
    EXPECT_EQ(accounts.AddShare(each.pszServer, each.share), each.dwExpected) << each.share.name;
  std::vector<ShareInfo> shares;
  ASSERT_EQ(test.OpenAgain()->Users().EnumShares("", shares), ERROR_SUCCESS);
  ASSERT_EQ(shares.size(), 2u);
  EXPECT_EQ(shares[0].name + "|" + shares[0].path + "|" + shares[0].remark,
            "Data|C:\\Data|shared data");
  EXPECT_EQ(shares[0].dwMaxUses, 10u);
  EXPECT_EQ(shares[1].name, "Win");

  AccessControl& access = test.Machine().Access();
  ASSERT_EQ(access.ChangeAccess(SecuredObject::Share, "\\\\TARVIUM-PC\\data",
                                {"Everyone", GRANT_ACCESS, GENERIC_READ, NO_INHERITANCE}),
            ERROR_SUCCESS);
  EXPECT_EQ(accounts.DeleteShare("", "data"), ERROR_SUCCESS);
  EXPECT_EQ(accounts.DeleteShare("", "Data"), NERR_NetNameNotFound);
  ASSERT_EQ(accounts.AddShare("", {"Data", "C:\\Data", "", 0xFFFFFFFF}), ERROR_SUCCESS);
  std::vector<AccessEntry> entries;
  ASSERT_EQ(access.GetAccess(SecuredObject::Share, "Data", entries), ERROR_SUCCESS);
  EXPECT_TRUE(entries.empty()) << "a share's list goes with it";
}

TEST(AccountWrite, AMachineJoinsOnlyADomainWhoseControllerItKnows) {
  TestMachine test;
  auto machine = test.OpenReconfigured([](emulated::MachineConfig& config) {
    config.szDomain = "CORP";
    config.szDomainController = "DC01";
  });
  Accounts& accounts = machine->Users();
  ASSERT_EQ(accounts.AddUser(User("admin", "secret")), ERROR_SUCCESS);
  std::string dc;
  EXPECT_EQ(accounts.JoinDomain("", "CORP", "", "", "", NETSETUP_JOIN_DOMAIN),
            NERR_SetupAlreadyJoined);  // machine.ini makes it a member
  EXPECT_EQ(accounts.UnjoinDomain("", "", "", 0), ERROR_SUCCESS);
  EXPECT_EQ(accounts.UnjoinDomain("", "", "", 0), NERR_SetupNotJoined);
  EXPECT_EQ(accounts.GetDCName("", dc), NERR_DCNotFound);
  EXPECT_EQ(accounts.LogonUser("CORP", "admin", "secret"), ERROR_LOGON_FAILURE);
  EXPECT_EQ(accounts.AddLocalGroupMember("Users", "CORP\\jdoe"), ERROR_NO_SUCH_MEMBER);

  struct Join {
    const char* pszDomain;
    const char* pszAccount;
    const char* pszPassword;
    uint32_t dwExpected;
  };
  const Join joins[] = {
      {"OTHER", "", "", ERROR_NO_SUCH_DOMAIN},
      {"", "", "", ERROR_NO_SUCH_DOMAIN},
      {"CORP", "CORP\\admin", "wrong", ERROR_LOGON_FAILURE},
      {"corp\\DC01", "CORP\\admin", "secret", ERROR_SUCCESS},
      {"CORP", "", "", NERR_SetupAlreadyJoined},
  };
  for (const Join& join : joins)
    EXPECT_EQ(accounts.JoinDomain("", join.pszDomain, "", join.pszAccount, join.pszPassword,
                                  NETSETUP_JOIN_DOMAIN),
              join.dwExpected)
        << join.pszDomain << " as " << join.pszAccount;
  auto again = test.OpenAgain();
  ASSERT_EQ(again->Users().GetDCName("", dc), ERROR_SUCCESS);
  EXPECT_EQ(dc, "\\\\DC01");
  EXPECT_EQ(again->Users().LogonUser("CORP", "admin", "secret"), ERROR_SUCCESS);
  EXPECT_EQ(again->Users().AddLocalGroupMember("Users", "CORP\\jdoe"), ERROR_SUCCESS);

  // A workgroup machine knows no controller; it can change its workgroup.
  TestMachine workgroup;
  Accounts& alone = workgroup.Machine().Users();
  EXPECT_EQ(alone.JoinDomain("", "CORP", "", "", "", NETSETUP_JOIN_DOMAIN), ERROR_NO_SUCH_DOMAIN);
  EXPECT_EQ(alone.UnjoinDomain("", "", "", 0), NERR_SetupNotJoined);
  EXPECT_EQ(alone.JoinDomain("", "OFFICE", "", "", "", 0), ERROR_SUCCESS);
  EXPECT_EQ(alone.GetDCName("", dc), NERR_DCNotFound);
}

TEST(AccessLists, EntriesMergeAsSetEntriesInAclMergesThem) {
  using emulated::StoredAccessEntry;
  const StoredAccessEntry everyone{false, 0, 0, "S-1-1-0", "Everyone"};
  const StoredAccessEntry alice{false, 0, 0, "S-1-5-21-1-2-3-1002", "alice"};
  auto with = [](StoredAccessEntry entry, uint32_t dwRights, uint32_t dwInheritance = 0) {
    entry.dwRights = dwRights;
    entry.dwInheritance = dwInheritance;
    return entry;
  };
  struct Step {
    uint32_t dwMode;
    StoredAccessEntry change;
    std::vector<std::string> expected;
  };
  const Step steps[] = {
      {GRANT_ACCESS, with(everyone, 0x1), {"Allow 0x00000001 - S-1-1-0 Everyone"}},
      {GRANT_ACCESS, with(everyone, 0x2), {"Allow 0x00000003 - S-1-1-0 Everyone"}},
      {GRANT_ACCESS,
       with(everyone, 0x4, 3),
       {"Allow 0x00000003 - S-1-1-0 Everyone", "Allow 0x00000004 OI|CI S-1-1-0 Everyone"}},
      {DENY_ACCESS,
       with(alice, 0x10000),
       {"Deny 0x00010000 - S-1-5-21-1-2-3-1002 alice", "Allow 0x00000003 - S-1-1-0 Everyone",
        "Allow 0x00000004 OI|CI S-1-1-0 Everyone"}},
      {GRANT_ACCESS,
       with(alice, 0x1),
       {"Deny 0x00010000 - S-1-5-21-1-2-3-1002 alice", "Allow 0x00000003 - S-1-1-0 Everyone",
        "Allow 0x00000004 OI|CI S-1-1-0 Everyone", "Allow 0x00000001 - S-1-5-21-1-2-3-1002 alice"}},
      {SET_ACCESS,
       with(everyone, 0x8, 1),
       {"Deny 0x00010000 - S-1-5-21-1-2-3-1002 alice",
        "Allow 0x00000001 - S-1-5-21-1-2-3-1002 alice", "Allow 0x00000008 OI S-1-1-0 Everyone"}},
      {REVOKE_ACCESS, alice, {"Allow 0x00000008 OI S-1-1-0 Everyone"}},
  };
  std::vector<StoredAccessEntry> entries;
  for (const Step& step : steps) {
    ASSERT_TRUE(emulated::MergeAccessEntry(entries, step.dwMode, step.change));
    std::vector<std::string> lines;
    for (const StoredAccessEntry& entry : entries) {
      lines.push_back(emulated::FormatAccessEntry(entry));
      const auto parsed = emulated::ParseAccessEntry(lines.back());
      ASSERT_TRUE(parsed) << lines.back();
      EXPECT_EQ(emulated::FormatAccessEntry(*parsed), lines.back());
    }
    EXPECT_EQ(lines, step.expected) << "mode " << step.dwMode;
  }
  EXPECT_FALSE(emulated::MergeAccessEntry(entries, 7, everyone));
  for (const char* pszLine : {"", "Allow", "Permit 0x1 - S-1-1-0 Everyone", "Allow 0x1 XX S-1-1-0",
                              "Allow zz - S-1-1-0 Everyone", "Allow 0x1 OI|"})
    EXPECT_FALSE(emulated::ParseAccessEntry(pszLine)) << pszLine;
}

TEST(AccessLists, ObjectsMustExistAndTrusteesResolve) {
  TestMachine test;
  test.WriteFile("C:\\App\\app.exe", "MZ");
  ASSERT_EQ(test.Machine().Users().AddShare("", {"App", "C:\\App", "", 0xFFFFFFFF}), ERROR_SUCCESS);
  test.SetRegString(RegRoot::LocalMachine, "Software\\Vendor", "V", "1");
  AccessControl& access = test.Machine().Access();
  const AccessEntry grant{"Users", GRANT_ACCESS, GENERIC_READ, SUB_CONTAINERS_AND_OBJECTS_INHERIT};
  struct Case {
    SecuredObject kind;
    const char* pszObject;
    const char* pszTrustee;
    uint32_t dwExpected;
  };
  const Case cases[] = {
      {SecuredObject::File, "C:\\App", "Users", ERROR_SUCCESS},
      {SecuredObject::File, "c:\\app\\", "BUILTIN\\Users", ERROR_SUCCESS},  // the same folder
      {SecuredObject::File, "C:\\App\\app.exe", "Everyone", ERROR_SUCCESS},
      {SecuredObject::File, "C:\\App\\missing.exe", "Everyone", ERROR_FILE_NOT_FOUND},
      {SecuredObject::File, "C:\\App", "ghost", ERROR_NONE_MAPPED},
      {SecuredObject::Share, "App", "Everyone", ERROR_SUCCESS},
      {SecuredObject::Share, "Nothing", "Everyone", NERR_NetNameNotFound},
      {SecuredObject::RegistryKey, "MACHINE\\SOFTWARE\\Vendor", "Everyone", ERROR_SUCCESS},
      {SecuredObject::RegistryKey, "MACHINE\\SOFTWARE\\Nobody", "Everyone", ERROR_FILE_NOT_FOUND},
      {SecuredObject::RegistryKey, "CURRENT_USER\\Software", "Everyone", ERROR_SUCCESS},
      {SecuredObject::Printer, "No Such Printer", "Everyone", ERROR_INVALID_PRINTER_NAME},
  };
  for (const Case& each : cases) {
    AccessEntry entry = grant;
    entry.trustee = each.pszTrustee;
    EXPECT_EQ(access.ChangeAccess(each.kind, each.pszObject, entry), each.dwExpected)
        << each.pszObject << " for " << each.pszTrustee;
  }
  std::vector<AccessEntry> entries;
  ASSERT_EQ(test.OpenAgain()->Access().GetAccess(SecuredObject::File, "C:\\APP", entries),
            ERROR_SUCCESS);
  ASSERT_EQ(entries.size(), 1u);           // Users and BUILTIN\Users are one trustee
  EXPECT_EQ(entries[0].trustee, "Users");  // as the entry was first given
  EXPECT_EQ(entries[0].dwMode, GRANT_ACCESS);
  EXPECT_EQ(entries[0].dwRights, GENERIC_READ);
  EXPECT_EQ(entries[0].dwInheritance, SUB_CONTAINERS_AND_OBJECTS_INHERIT);
  EXPECT_EQ(access.GetAccess(SecuredObject::File, "C:\\Gone", entries), ERROR_FILE_NOT_FOUND);

  // A key's list goes with the key (and with a key above it), as on Windows.
  ASSERT_EQ(test.Machine().Reg().DeleteTree(RegRoot::LocalMachine, "Software\\Vendor"),
            ERROR_SUCCESS);
  test.SetRegString(RegRoot::LocalMachine, "Software\\Vendor", "V", "2");
  ASSERT_EQ(access.GetAccess(SecuredObject::RegistryKey, "MACHINE\\SOFTWARE\\Vendor", entries),
            ERROR_SUCCESS);
  EXPECT_TRUE(entries.empty());
}

}  // namespace
}  // namespace platform
