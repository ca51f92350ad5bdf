// Services, event sources and security commands on a real machine. The entry readers on their
// own: defaults, the name tables, the local-account rule, the quoting of the command line and the
// dependency list. Then the handlers: a service with only a display name, reconfiguring one that
// exists, a removal that stops a running service and waits while it is stopping, an invalid type
// that changes nothing; an event source registered twice and removed; and the use counts of
// groups, users and memberships shared by two products, with the Yes, No and All answers.
#include <gtest/gtest.h>

#include "engine/show_message.h"
#include "platform/error_text.h"
#include "platform/multi_sz.h"
#include "support/answering_ui.h"
#include "sysconfig/security_commands.h"
#include "sysconfig/service_entries.h"
#include "sysconfig/services.h"
#include "sysconfig/sysconfig_test_run.h"
#include "sysconfig/system_configuration.h"

namespace tarvium::test {
namespace {

using platform::RegRoot;

TEST(ServiceEntries, FieldsDefaultsAndTables) {
  ServiceEntry entry;
  std::string invalid;
  ASSERT_TRUE(ParseServiceEntry("Svc", "My Service", entry, invalid));
  EXPECT_EQ(entry.displayName, "My Service");
  EXPECT_EQ(entry.dwServiceType, platform::SERVICE_WIN32_OWN_PROCESS);
  EXPECT_EQ(entry.dwStartType, platform::SERVICE_DEMAND_START);
  EXPECT_EQ(entry.dwErrorControl, platform::SERVICE_ERROR_NORMAL);
  EXPECT_EQ(entry.account, "");
  EXPECT_EQ(entry.eventSource, "Svc");

  ASSERT_TRUE(ParseServiceEntry(
      "Svc", ", SERVICE_WIN32_SHARE_PROCESS | SERVICE_INTERACTIVE_PROCESS, SERVICE_AUTO_START, 3,"
             " Grp, Dep1 ; Dep2 ;; Dep3, svcuser, 'p,w', Src, -x",
      entry, invalid));
  EXPECT_EQ(entry.displayName, "Svc");
  EXPECT_EQ(entry.dwServiceType, 0x120u);
  EXPECT_EQ(entry.dwStartType, platform::SERVICE_AUTO_START);
  EXPECT_EQ(entry.dwErrorControl, platform::SERVICE_ERROR_CRITICAL);
  EXPECT_EQ(entry.dependencies, (std::vector<std::string>{"Dep1", "Dep2"}));
  EXPECT_EQ(entry.account, ".\\svcuser");
  EXPECT_EQ(entry.password, "p,w");
  EXPECT_EQ(entry.eventSource, "Src");
  EXPECT_EQ(entry.arguments, "-x");
  ASSERT_TRUE(ParseServiceEntry("Svc", ",,,,,,CORP\\svc", entry, invalid));
  EXPECT_FALSE(IsLocalAccount(entry.account));

  for (const char* value : {", SERVICE_OWN_PROCESS", ",, SERVICE_LATER", ",,, SERVICE_ERROR_LOUD"}) {
    EXPECT_FALSE(ParseServiceEntry("Svc", std::string(value) + ",,, user, secret", entry, invalid));
    EXPECT_EQ(invalid, std::string(value).substr(std::string(value).rfind(',') + 2)) << value;
  }
  EventSourceEntry source;
  EXPECT_FALSE(ParseEventSourceEntry("Application, EVENTLOG_DEBUG", source, invalid));
  ASSERT_TRUE(ParseEventSourceEntry("Application,, msg.dll,,, 4", source, invalid));
  EXPECT_EQ(source.dwTypesSupported, 7u);
  EXPECT_EQ(source.dwCategoryCount, 4u);

  EXPECT_EQ(ServiceCommandLine("C:\\Program Files\\svc.exe", "-run ", 0x10),
            "\"C:\\Program Files\\svc.exe\" -run");
  EXPECT_EQ(ServiceCommandLine("\"C:\\A B\\svc.exe\"", "", 0x10), "\"C:\\A B\\svc.exe\"");
  EXPECT_EQ(ServiceCommandLine("C:\\My Drivers\\d.sys", "", platform::SERVICE_KERNEL_DRIVER),
            "C:\\My Drivers\\d.sys");
}

constexpr std::string_view kServiceInf =
    "[Setup]\nVersion=16.80\n"
    "[Services]\n"
    "Plain=Plain Service\n"
    "Worker=Worker Service,,SERVICE_AUTO_START\n"
    "Bad=Bad,, SERVICE_SOMETIMES\n"
    "Early=Early Driver, SERVICE_KERNEL_DRIVER, SERVICE_SYSTEM_START\n"
    "Stubborn=Stubborn,, SERVICE_AUTO_START\n"
    "[EventSources]\n"
    "Worker=Application, EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE, %%SystemRoot%%\\w.dll,,, 2\n"
    "[Security]\n"
    "LocalGroup.Add (Crew, 'Our crew')\n"
    "LocalGroup.AddMember (Crew, User)\n";

class ServiceRun : public SysconfigTestRun {
 public:
  ServiceRun() : SysconfigTestRun(kServiceInf) {
    auto answering = std::make_unique<AnsweringUserInterface>();
    ui = answering.get();
    run.ui = std::move(answering);
    AttachSystemConfiguration(run);
  }
  platform::ServiceManager& Services() { return run.machine.Services(); }
  std::vector<std::string> Sources() {
    platform::RegValue value;
    run.machine.Reg().QueryValue(RegRoot::LocalMachine,
                                 "System\\CurrentControlSet\\Services\\EventLog\\Application",
                                 "Sources", value);
    return platform::DecodeMultiSz(value.data);
  }
  AnsweringUserInterface* ui = nullptr;
};

TEST(Services, InstallReconfigureStopAndRemove) {
  ServiceRun test;
  ASSERT_TRUE(InstallService(test.run, "Plain", "C:\\Program Files\\Plain\\plain.exe", true));
  platform::ServiceConfig config;
  ASSERT_EQ(test.Services().QueryConfig("Plain", config), platform::ERROR_SUCCESS);
  EXPECT_EQ(config.displayName, "Plain Service");
  EXPECT_EQ(config.dwStartType, platform::SERVICE_DEMAND_START);
  EXPECT_EQ(config.dwServiceType, platform::SERVICE_WIN32_OWN_PROCESS);
  EXPECT_EQ(config.binaryPathName, "\"C:\\Program Files\\Plain\\plain.exe\"");
  ASSERT_TRUE(InstallService(test.run, "Plain", "C:\\Plain\\other.exe", true));
  ASSERT_EQ(test.Services().QueryConfig("Plain", config), platform::ERROR_SUCCESS);
  EXPECT_EQ(config.binaryPathName, "C:\\Plain\\other.exe");

  // An automatic service starts at once; its removal sends the stop and waits until the program,
  // which takes a second to end, has ended.
  test.machine.WriteScript("C:\\Svc\\worker",
                           "trap 'sleep 1; exit 0' TERM\nwhile true; do sleep 0.1; done\n");
  ASSERT_TRUE(InstallService(test.run, "Worker", "C:\\Svc\\worker", true));
  platform::ServiceStatus status;
  ASSERT_EQ(test.Services().QueryStatus("Worker", status), platform::ERROR_SUCCESS);
  EXPECT_EQ(status.dwCurrentState, platform::SERVICE_RUNNING);
  EXPECT_EQ(test.Sources(), (std::vector<std::string>{"Worker"}));
  EXPECT_EQ(test.machine.RegString(RegRoot::LocalMachine,
                                   "System\\CurrentControlSet\\Services\\EventLog\\Application\\"
                                   "Worker",
                                   "EventMessageFile"),
            "%SystemRoot%\\w.dll");
  ASSERT_TRUE(InstallService(test.run, "Worker", "C:\\Svc\\worker", false));
  EXPECT_EQ(test.Services().QueryStatus("Worker", status), platform::ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_TRUE(test.Sources().empty());
  EXPECT_FALSE(test.machine.HasRegKey(
      RegRoot::LocalMachine, "System\\CurrentControlSet\\Services\\EventLog\\Application\\Worker"));

  // An invalid type changes nothing.
  EXPECT_FALSE(InstallService(test.run, "Bad", "C:\\bad.exe", true));
  EXPECT_EQ(test.Messages().back(), 5530);
  EXPECT_EQ(test.Services().QueryConfig("Bad", config), platform::ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_TRUE(test.ui->texts.count(5559) == 0) << test.ui->texts[5559];

  // A system-start driver waits for the restart, which the run asks for.
  ASSERT_TRUE(InstallService(test.run, "Early", "C:\\Drivers\\early.sys", true));
  ASSERT_EQ(test.Services().QueryStatus("Early", status), platform::ERROR_SUCCESS);
  EXPECT_EQ(status.dwCurrentState, platform::SERVICE_STOPPED);
  EXPECT_TRUE(test.run.ctx.bConfigChanged);
}

TEST(Services, ServiceThatIgnoresTheStopTimesOut) {
  ServiceRun test;
  test.machine.SetRegString(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control",
                            "WaitToKillServiceTimeout", "2000");
  test.machine.WriteScript("C:\\Svc\\stubborn", "trap '' TERM\nwhile true; do sleep 0.1; done\n");
  ASSERT_TRUE(InstallService(test.run, "Stubborn", "C:\\Svc\\stubborn", true));
  EXPECT_FALSE(InstallService(test.run, "Stubborn", "C:\\Svc\\stubborn", false));
  EXPECT_NE(test.ui->texts[5559].find("Windows error code: 1053"), std::string::npos)
      << test.ui->texts[5559];
  platform::ServiceStatus status;
  EXPECT_EQ(test.Services().QueryStatus("Stubborn", status), platform::ERROR_SUCCESS);
  EXPECT_EQ(status.dwCurrentState, platform::SERVICE_STOP_PENDING);
  test.run.ctx.bSilent = true;  // a silent run passes over the message
  EXPECT_TRUE(InstallService(test.run, "Stubborn", "C:\\Svc\\stubborn", false));
}

TEST(Services, EventSourceIsListedOnceAndStartStopByName) {
  ServiceRun test;
  ASSERT_TRUE(InstallEventSource(test.run, "Worker", true));
  ASSERT_TRUE(InstallEventSource(test.run, "worker", true));
  EXPECT_EQ(test.Sources(), (std::vector<std::string>{"Worker"}));
  ASSERT_TRUE(InstallEventSource(test.run, "Worker", false));
  EXPECT_TRUE(test.Sources().empty());
  EXPECT_TRUE(InstallEventSource(test.run, "NoEntry", true));  // an empty entry changes nothing

  std::string errorText;
  EXPECT_FALSE(StartServiceByName(test.run, "(Missing)", errorText));
  EXPECT_EQ(errorText, platform::SystemErrorText(platform::ERROR_SERVICE_DOES_NOT_EXIST));
  ASSERT_TRUE(InstallService(test.run, "Plain", "C:\\nothing-here.exe", true));
  errorText.clear();
  EXPECT_TRUE(StopServiceByName(test.run, "Plain", errorText)) << errorText;  // not running
}

// --- Security commands ----------------------------------------------------------------------------

class SecurityRun : public ServiceRun {
 public:
  bool Run(const std::string& line, bool bUninstall, bool bCountExisting = false) {
    run.ctx.bUninstall = bUninstall;
    return RunSecurityCommand(run, line, false, bCountExisting, false);
  }
  uint32_t Count(const std::string& key, const std::string& name) {
    platform::RegValue value;
    if (run.machine.Reg().QueryValue(RegRoot::LocalMachine, "Software\\UsageCount\\Setup\\" + key,
                                     name, value) != 0)
      return 0;
    return value.data.empty() ? 0 : value.data[0];
  }
  bool HasGroup(const std::string& name) {
    std::vector<std::string> groups;
    run.machine.Users().EnumGroups(false, groups);
    for (const std::string& group : groups)
      if (group == name) return true;
    return false;
  }
};

TEST(SecurityCommands, SharedGroupIsCountedAndAskedFor) {
  SecurityRun test;
  ASSERT_TRUE(test.Run("LocalGroup.Add (Crew, 'Our crew')", false));
  ASSERT_TRUE(test.Run("localgroup . add (Crew)", false));  // a second product
  EXPECT_EQ(test.Count("LocalGroup", "Crew"), 2u);
  ASSERT_TRUE(test.Run("LocalGroup.Add (Crew)", true));
  EXPECT_EQ(test.Count("LocalGroup", "Crew"), 1u);
  EXPECT_TRUE(test.HasGroup("Crew"));
  test.ui->answers[5556] = kResultNo;  // No keeps the group and its count
  ASSERT_TRUE(test.Run("LocalGroup.Add (Crew)", true));
  EXPECT_TRUE(test.HasGroup("Crew"));
  EXPECT_EQ(test.Count("LocalGroup", "Crew"), 1u);

  // A group that existed before any count is counted from 2 with countExisting and survives
  // one removal; a count that is gone cannot be released (5519, Ignore keeps the group).
  ASSERT_TRUE(test.Run("LocalGroup.Add (Elders)", false));
  test.machine.Machine().Reg().DeleteValue(RegRoot::LocalMachine,
                                           "Software\\UsageCount\\Setup\\LocalGroup", "Elders");
  ASSERT_TRUE(test.Run("LocalGroup.Add (Elders)", false, true));
  EXPECT_EQ(test.Count("LocalGroup", "Elders"), 2u);
  ASSERT_TRUE(test.Run("LocalGroup.Add (Elders)", true));
  EXPECT_TRUE(test.HasGroup("Elders"));
  test.machine.Machine().Reg().DeleteValue(RegRoot::LocalMachine,
                                           "Software\\UsageCount\\Setup\\LocalGroup", "Elders");
  test.ui->answers[5519] = kResultIgnore;
  ASSERT_TRUE(test.Run("LocalGroup.Add (Elders)", true));
  EXPECT_TRUE(test.HasGroup("Elders"));

  // All deletes this one and every later one without asking again.
  ASSERT_TRUE(test.Run("LocalGroup.Add (Team)", false));
  test.ui->answers[5556] = kResultAll;
  ASSERT_TRUE(test.Run("LocalGroup.Add (Crew)", true));
  ASSERT_TRUE(test.Run("LocalGroup.Add (Team)", true));
  EXPECT_FALSE(test.HasGroup("Crew"));
  EXPECT_FALSE(test.HasGroup("Team"));
  const std::vector<int> messages = test.Messages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), 5556), 2);
  EXPECT_EQ(std::count(messages.begin(), messages.end(), 5519), 1);
}

TEST(SecurityCommands, UsersRightsAndFailures) {
  SecurityRun test;
  ASSERT_TRUE(test.Run("LocalUser.Add ('svc', 'pw', 'first', PRIV_USER, '', '', 0)", false));
  ASSERT_TRUE(test.Run("LocalUser.Add ('svc', , 'second', PRIV_ADMIN, '', '', ACCOUNTDISABLE)",
                       false));  // exists: changed, its password kept
  platform::LocalUserInfo user;
  ASSERT_EQ(test.run.machine.Users().GetUserInfo("svc", user), platform::ERROR_SUCCESS);
  EXPECT_EQ(user.comment, "second");
  EXPECT_EQ(user.dwPriv, platform::USER_PRIV_USER);
  EXPECT_TRUE(user.dwFlags & platform::UF_ACCOUNTDISABLE);
  EXPECT_EQ(test.run.machine.Users().LogonUser(".", "svc", "pw"), platform::ERROR_ACCOUNT_DISABLED);
  ASSERT_TRUE(test.Run("LocalUser.Mod (svc,,,,,, ACCOUNTDISABLE, PASSWD_MUST_CHANGE)", false));
  ASSERT_EQ(test.run.machine.Users().GetUserInfo("svc", user), platform::ERROR_SUCCESS);
  EXPECT_FALSE(user.dwFlags & platform::UF_ACCOUNTDISABLE);
  EXPECT_TRUE(user.bPasswordExpired);
  EXPECT_EQ(user.comment, "second");

  // Privilege.Del in the uninstall pass grants the right again.
  std::string sid;
  ASSERT_EQ(test.run.machine.Users().LookupAccountName("", "svc", sid), platform::ERROR_SUCCESS);
  ASSERT_TRUE(test.Run("Privilege.Del ('SeServiceLogonRight', 'svc')", true));
  std::vector<std::string> rights;
  ASSERT_EQ(test.run.machine.Users().EnumAccountRights("", sid, rights), platform::ERROR_SUCCESS);
  EXPECT_EQ(rights, (std::vector<std::string>{"SeServiceLogonRight"}));

  test.ui->answers[5555] = kResultIgnore;
  EXPECT_FALSE(test.Run("LocalGroup", false));  // no parenthesis: fails after 5555
  EXPECT_TRUE(test.Run("LocalGroup.Rename (Crew)", false));  // Ignore goes on
  EXPECT_FALSE(test.Run("LocalUser.Add (x, '', '', PRIV_KING)", false));
  EXPECT_EQ(test.Messages(), (std::vector<int>{5555, 5555, 5530}));
}

}  // namespace
}  // namespace tarvium::test
