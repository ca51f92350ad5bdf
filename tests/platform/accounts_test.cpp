// The account, adapter and clipboard services of a real emulated machine: the seeded accounts of
// a new machine, users and members added later, logons through the process service, the domain
// controller, the adapters of machine.ini and the clipboard file.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/emulated/machine/emulated_machine.h"
#include "platform/win_error.h"
#include "support/test_machine.h"

namespace platform {
namespace {

using tarvium::test::TestMachine;

std::vector<std::string> Members(Machine& machine, const std::string& group, bool bGlobal,
                                 uint32_t& err, const std::string& server = "") {
  std::vector<std::string> members;
  err = machine.Users().GetGroupMembers(server, group, bGlobal, members);
  return members;
}

void EditConfig(TestMachine& test, const std::string& section, const std::string& lines) {
  std::ofstream(test.Path() + "/machine.ini", std::ios::app) << "\n[" << section << "]\n"
                                                             << lines << "\n";
}

TEST(Accounts, NewMachineHasBuiltInAccountsInItsLanguage) {
  TestMachine test({"Anna", "PC-7", 0x0407});
  Machine& machine = test.Machine();
  std::vector<std::string> users;
  ASSERT_EQ(machine.Users().EnumUsers(users), ERROR_SUCCESS);
  EXPECT_EQ(users, (std::vector<std::string>{"Administrator", "Anna", "DefaultAccount", "Gast",
                                             "WDAGUtilityAccount"}));
  UserAccount anna;
  ASSERT_EQ(machine.Users().GetUser("anna", anna), ERROR_SUCCESS);
  EXPECT_EQ(anna.name, "Anna");
  EXPECT_EQ(anna.sid, machine.System().UserSid());
  EXPECT_EQ(anna.profileDir, "C:\\Users\\Anna");
  EXPECT_FALSE(anna.bDisabled);
  UserAccount admin;
  ASSERT_EQ(machine.Users().GetUser("Administrator", admin), ERROR_SUCCESS);
  EXPECT_TRUE(admin.bDisabled);
  EXPECT_EQ(admin.sid, anna.sid.substr(0, anna.sid.rfind('-')) + "-500");
  EXPECT_EQ(machine.Users().GetUser("nobody", admin), NERR_UserNotFound);

  uint32_t err = 0;
  EXPECT_EQ(Members(machine, "Administratoren", false, err),
            (std::vector<std::string>{"Administrator", "Anna"}));
  EXPECT_EQ(err, ERROR_SUCCESS);
  EXPECT_EQ(Members(machine, "benutzer", false, err),
            (std::vector<std::string>{"Anna", "NT-AUTORIT\xC4T\\INTERAKTIV",
                                      "NT-AUTORIT\xC4T\\Authentifizierte Benutzer"}));
  Members(machine, "Administrators", false, err);  // the English name is not the German group
  EXPECT_EQ(err, ERROR_NO_SUCH_ALIAS);
  Members(machine, "Domain Users", true, err);
  EXPECT_EQ(err, NERR_GroupNotFound);
  Members(machine, "Benutzer", false, err, "\\\\OTHER-PC");
  EXPECT_EQ(err, ERROR_BAD_NETPATH);
}

TEST(Accounts, AMachineUserNamedLikeABuiltInOneReplacesIt) {
  TestMachine test({"Administrator", "PC-1", 0x0409});
  UserAccount admin;
  ASSERT_EQ(test.Machine().Users().GetUser("Administrator", admin), ERROR_SUCCESS);
  EXPECT_EQ(admin.sid, test.Machine().System().UserSid());
  EXPECT_FALSE(admin.bDisabled);
  uint32_t err = 0;
  EXPECT_EQ(Members(test.Machine(), "Administrators", false, err),
            (std::vector<std::string>{"Administrator"}));
}

TEST(Accounts, AddedUsersAndMembersAreSeenByASecondProcessAndLaterLookups) {
  TestMachine test;
  auto& accounts = test.Machine().EmulatedUsers();
  ASSERT_EQ(accounts.AddUser("alice", "pw"), ERROR_SUCCESS);
  EXPECT_EQ(accounts.AddUser("ALICE", "other"), emulated::NERR_UserExists);
  EXPECT_EQ(accounts.AddUser("bad\\name", ""), ERROR_INVALID_PARAMETER);
  ASSERT_EQ(accounts.AddGroupMember("Administrators", "alice", false), ERROR_SUCCESS);
  ASSERT_EQ(accounts.AddGroupMember("administrators", "ALICE", false), ERROR_SUCCESS);  // once
  ASSERT_EQ(accounts.AddGroupMember("Sales", "CORP\\jdoe", true), ERROR_SUCCESS);

  auto again = test.OpenAgain();
  UserAccount alice;
  ASSERT_EQ(again->Users().GetUser("Alice", alice), ERROR_SUCCESS);
  EXPECT_EQ(alice.sid.substr(alice.sid.rfind('-')), "-1002");  // after the machine's user
  std::string sid, name, domain;
  ASSERT_EQ(again->System().LookupAccountName("TARVIUM-PC\\ALICE", sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, alice.sid);
  ASSERT_EQ(again->System().LookupAccountSid(alice.sid, name, domain), ERROR_SUCCESS);
  EXPECT_EQ(name + "@" + domain, "alice@TARVIUM-PC");
  uint32_t err = 0;
  EXPECT_EQ(Members(*again, "Administrators", false, err),
            (std::vector<std::string>{"Administrator", "User", "alice"}));
  EXPECT_EQ(Members(*again, "sales", true, err, "\\\\TARVIUM-PC"),
            (std::vector<std::string>{"CORP\\jdoe"}));
  std::vector<std::string> groups;
  ASSERT_EQ(again->Users().EnumGroups(true, groups), ERROR_SUCCESS);
  EXPECT_EQ(groups, (std::vector<std::string>{"Sales"}));

  // Lookups keep the well-known accounts; a user added after them is still found by name and SID,
  // and a well-known name still wins over a user named like it.
  SystemInfo& system = test.Machine().System();
  ASSERT_EQ(system.LookupAccountSid("S-1-1-0", name, domain), ERROR_SUCCESS);
  EXPECT_EQ(system.LookupAccountName("bob", sid), ERROR_NONE_MAPPED);
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser("bob", "pw"), ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser("Everyone", "pw"), ERROR_SUCCESS);
  ASSERT_EQ(system.LookupAccountName("bob", sid), ERROR_SUCCESS);
  ASSERT_EQ(system.LookupAccountSid(sid, name, domain), ERROR_SUCCESS);
  EXPECT_EQ(name + "@" + domain, "bob@TARVIUM-PC");
  ASSERT_EQ(system.LookupAccountName("Everyone", sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, "S-1-1-0");
}

TEST(Accounts, LogonsCheckThePasswordAndDomainLogonsNeedADomain) {
  TestMachine test;
  Machine& machine = test.Machine();
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser("alice", "s3cret"), ERROR_SUCCESS);
  const std::pair<ProcessStart, uint32_t> cases[] = {
      {{.commandLine = "true", .userName = "alice", .password = "s3cret"}, ERROR_SUCCESS},
      {{.commandLine = "true", .userName = "alice", .domain = ".", .password = "s3cret"},
       ERROR_SUCCESS},
      {{.commandLine = "true", .userName = "alice", .domain = "TARVIUM-PC", .password = "s3cret"},
       ERROR_SUCCESS},
      {{.commandLine = "true", .userName = "alice", .password = "S3CRET"}, ERROR_LOGON_FAILURE},
      {{.commandLine = "true", .userName = "alice", .domain = "CORP", .password = "s3cret"},
       ERROR_LOGON_FAILURE},
      {{.commandLine = "true", .userName = "nobody", .password = ""}, ERROR_LOGON_FAILURE},
      {{.commandLine = "true", .userName = "Guest", .password = ""}, ERROR_ACCOUNT_DISABLED},
  };
  for (const auto& [start, dwExpected] : cases) {
    ProcessHandle hProcess = ProcessHandle::Invalid;
    EXPECT_EQ(machine.Programs().CreateProcess(start, hProcess), dwExpected)
        << start.userName << "@" << start.domain << " " << start.password;
    if (hProcess == ProcessHandle::Invalid) continue;
    WaitResult result;
    EXPECT_EQ(machine.Programs().WaitForProcess(hProcess, INFINITE, {}, result), ERROR_SUCCESS);
    machine.Programs().CloseProcess(hProcess);
  }

  std::string dc;
  EXPECT_EQ(test.Machine().Users().GetDCName("", dc), NERR_DCNotFound);
  EXPECT_EQ(dc, "");
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser("jdoe", "pw"), ERROR_SUCCESS);
  EditConfig(test, "Identity", "Domain=CORP\nDomainController=DC01");
  auto domainMachine = test.OpenAgain();
  ASSERT_EQ(domainMachine->Users().GetDCName("", dc), ERROR_SUCCESS);
  EXPECT_EQ(dc, "\\\\DC01");
  ASSERT_EQ(domainMachine->Users().GetDCName("corp", dc), ERROR_SUCCESS);
  EXPECT_EQ(domainMachine->Users().GetDCName("OTHER", dc), NERR_DCNotFound);
  EXPECT_EQ(domainMachine->Users().LogonUser("CORP", "jdoe", "pw"), ERROR_SUCCESS);
  EXPECT_EQ(domainMachine->Users().LogonUser("OTHER", "jdoe", "pw"), ERROR_LOGON_FAILURE);
  uint32_t err = 0;
  Members(*domainMachine, "Users", false, err, "\\\\DC01");
  EXPECT_EQ(err, ERROR_SUCCESS);
}

TEST(Accounts, AdaptersComeFromMachineIniAndTheClipboardIsKeptInIt) {
  TestMachine test;
  std::vector<AdapterInfo> adapters;
  ASSERT_EQ(test.Machine().Net().GetAdaptersInfo(adapters), ERROR_SUCCESS);
  ASSERT_EQ(adapters.size(), 1u);
  EXPECT_EQ(adapters[0].address, (std::array<uint8_t, 6>{0x00, 0x15, 0x5D, 0x4A, 0x10, 0x01}));
  EXPECT_EQ(adapters[0].ipAddress, "192.168.56.10");

  EditConfig(test, "Adapter Wifi", "MacAddress=a0:b1:c2:d3:e4:f5");
  EditConfig(test, "Adapter Lan", "MacAddress=001122334455\nIpAddress=10.1.2.3");
  auto again = test.OpenAgain();
  ASSERT_EQ(again->Net().GetAdaptersInfo(adapters), ERROR_SUCCESS);
  ASSERT_EQ(adapters.size(), 3u);  // after the one written at creation
  EXPECT_EQ(adapters[1].name, "Wifi");
  EXPECT_EQ(adapters[1].address, (std::array<uint8_t, 6>{0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}));
  EXPECT_EQ(adapters[1].ipAddress, "0.0.0.0");
  EXPECT_EQ(adapters[2].ipAddress, "10.1.2.3");

  std::string text = "stale";
  ASSERT_EQ(test.Machine().Clip().GetClipboardText(text), ERROR_SUCCESS);
  EXPECT_EQ(text, "");
  ASSERT_EQ(test.Machine().Clip().SetClipboardText("Gr\xFC\xDF"
                                                   "e\r\nline 2"),
            ERROR_SUCCESS);
  again = test.OpenAgain();
  ASSERT_EQ(again->Clip().GetClipboardText(text), ERROR_SUCCESS);
  EXPECT_EQ(text,
            "Gr\xFC\xDF"
            "e\r\nline 2");
  ASSERT_EQ(again->Clip().SetClipboardText(""), ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().Clip().GetClipboardText(text), ERROR_SUCCESS);
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace platform
