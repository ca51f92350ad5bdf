// ODBC sections on a real machine, through the emulated installer: a driver given by its full
// path, a system data source added and removed by the same section, a file data source in the
// default folder that the registry did not name, the setups that leave some kinds alone, and the
// messages for a missing or outdated library and for an operation the installer refuses.
#include <gtest/gtest.h>

#include <cstring>

#include "support/answering_ui.h"
#include "sysconfig/odbc_section.h"
#include "sysconfig/sysconfig_test_run.h"

namespace tarvium::test {
namespace {

using platform::RegRoot;

constexpr const char* kInf =
    "[ODBC Driver]\n"
    "Setup=tdrvs.dll\n"
    "Driver=C:\\Program Files\\Tarvium\\tdrv.dll\n"
    "DriverName=Tarvium Driver\n"
    "APILevel 1\n"
    "[ODBC System DSN:Orders]\n"
    "DSN=Orders\n"
    "DriverName=Tarvium Driver\n"
    "Database=%ProductName%\n"
    "[ODBC DSN]\n"
    "DSN=Mine\n"
    "DriverName=Tarvium Driver\n"
    "[ODBC File DSN]\n"
    "FileName=Orders\n"
    "DriverName=Tarvium Driver\n"
    "Database=C:\\orders.db\n"
    "[ODBC Translator]\n"
    "TranslatorName=Tarvium Translator\n"
    "[ODBC Core]\n";

const std::string kDriverKey = "SOFTWARE\\ODBC\\ODBCINST.INI\\Tarvium Driver";
const std::string kOrdersKey = "SOFTWARE\\ODBC\\ODBC.INI\\Orders";

TEST(OdbcSection, DriverAndDataSourcesInstalledAndRemovedBySameSections) {
  SysconfigTestRun t(kInf);
  t.run.variables.Set("ProductName", "C:\\Data\\orders.db");
  t.run.variables.Set("CommonFilesDir", "C:\\Program Files\\Common Files");
  t.machine.Machine().Reg().DeleteValue(RegRoot::LocalMachine,
                                        "SOFTWARE\\ODBC\\ODBC.INI\\ODBC File DSN", "DefaultDSNDir");
  for (const char* section :
       {"ODBC Core", "ODBC Driver", "ODBC System DSN:Orders", "ODBC DSN", "ODBC File DSN"})
    ASSERT_TRUE(HandleOdbcSection(t.run, section, false, true)) << section;
  EXPECT_EQ(t.machine.RegString(RegRoot::LocalMachine, kDriverKey, "Driver"),
            "C:\\Program Files\\Tarvium\\tdrv.dll");
  EXPECT_EQ(t.machine.RegString(RegRoot::LocalMachine, kDriverKey, "Setup"),
            "C:\\Program Files\\Tarvium\\tdrvs.dll");
  EXPECT_FALSE(t.machine.HasRegValue(RegRoot::LocalMachine, kDriverKey, "APILevel 1"));
  EXPECT_EQ(t.machine.RegString(RegRoot::LocalMachine, kOrdersKey, "Database"),
            "C:\\Data\\orders.db");
  EXPECT_FALSE(t.machine.HasRegValue(RegRoot::LocalMachine, kOrdersKey, "DriverName"));
  EXPECT_TRUE(t.machine.HasRegKey(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\Mine"));
  const std::string dir = "C:\\Program Files\\Common Files\\ODBC\\Data Sources";
  EXPECT_EQ(t.machine.RegString(RegRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC File DSN",
                                "DefaultDSNDir"),
            dir);
  EXPECT_EQ(t.Read(dir + "\\Orders.dsn"),
            "[ODBC]\r\nDriverName=Tarvium Driver\r\nDatabase=C:\\orders.db\r\n");
  EXPECT_TRUE(t.Messages().empty());

  t.run.ctx.bUninstall = true;
  for (const char* section :
       {"ODBC File DSN", "ODBC DSN", "ODBC System DSN:Orders", "ODBC Driver", "ODBC Core"})
    ASSERT_TRUE(HandleOdbcSection(t.run, section, false, true)) << section;
  EXPECT_FALSE(t.machine.HasRegKey(RegRoot::LocalMachine, kOrdersKey));
  EXPECT_FALSE(t.machine.HasRegKey(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\Mine"));
  EXPECT_FALSE(t.machine.HasRegKey(RegRoot::LocalMachine, kDriverKey));
  EXPECT_FALSE(t.Exists(dir + "\\Orders.dsn"));
  EXPECT_FALSE(t.machine.HasRegValue(RegRoot::LocalMachine,
                                     "SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Core", "UsageCount"));
  EXPECT_TRUE(t.Messages().empty());
}

TEST(OdbcSection, SetupKindsAndFlagsLeaveSectionsAlone) {
  struct Case {
    const char* name;
    bool bUserPart, bWorkstation;
    uint32_t dwRunFlags;
    bool bReplace, bConfigure;
    bool bDriver, bUserDsn, bSystemDsn;
  };
  const Case cases[] = {
      {"user setup: only user data sources", true, false, 0, false, true, false, true, false},
      {"workstation setup: no user data sources", false, true, 0, false, true, true, false, true},
      {"/X2: no user data sources", false, false, kRunFlagMachinePart, false, true, true, false,
       true},
      {"without configureSources: drivers only", false, false, 0, false, false, true, false, false},
  };
  for (const Case& c : cases) {
    SysconfigTestRun t(kInf);
    // The driver exists beforehand where the setup does not install it, so that data sources
    // can be configured for it.
    if (!c.bDriver) {
      ASSERT_TRUE(HandleOdbcSection(t.run, "ODBC Driver", false, true));
    }
    t.run.ctx.bUserPartRun = c.bUserPart;
    t.run.ctx.bWorkstationSetup = c.bWorkstation;
    t.run.ctx.dwRunFlags = c.dwRunFlags;
    for (const char* section : {"ODBC Driver", "ODBC System DSN:Orders", "ODBC DSN"})
      EXPECT_TRUE(HandleOdbcSection(t.run, section, c.bReplace, c.bConfigure)) << c.name;
    uint32_t nUsage = 0;
    platform::RegValue value;
    t.machine.Machine().Reg().QueryValue(RegRoot::LocalMachine, kDriverKey, "UsageCount", value);
    nUsage = value.data.empty() ? 0 : value.data[0];
    EXPECT_EQ(nUsage, 1u) << c.name;  // installed once, by the setup or beforehand
    EXPECT_EQ(t.machine.HasRegKey(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\Mine"),
              c.bUserDsn)
        << c.name;
    EXPECT_EQ(t.machine.HasRegKey(RegRoot::LocalMachine, kOrdersKey), c.bSystemDsn) << c.name;
  }
}

TEST(OdbcSection, ReplaceExistingReinstallsWithoutAnotherUser) {
  SysconfigTestRun t(kInf);
  ASSERT_TRUE(HandleOdbcSection(t.run, "ODBC Driver", false, true));
  ASSERT_TRUE(HandleOdbcSection(t.run, "ODBC Driver", true, true));
  ASSERT_TRUE(HandleOdbcSection(t.run, "ODBC Core", true, true));
  platform::RegValue value;
  ASSERT_EQ(
      t.machine.Machine().Reg().QueryValue(RegRoot::LocalMachine, kDriverKey, "UsageCount", value),
      0u);
  EXPECT_EQ(value.data[0], 1);
  EXPECT_FALSE(t.machine.HasRegValue(RegRoot::LocalMachine,
                                     "SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Core", "UsageCount"));
}

TEST(OdbcSection, FailuresShowTheInstallersErrorAndLibraryMessages) {
  {  // A data source of a driver the machine does not have: 5553 with the installer's error,
     // Ignore goes on; in the uninstall pass 5571; silently removed without a message.
    SysconfigTestRun t("[ODBC DSN]\nDSN=Mine\nDriverName=Absent\n");
    auto* ui = new AnsweringUserInterface(5);
    t.run.ui.reset(ui);
    EXPECT_TRUE(HandleOdbcSection(t.run, "ODBC DSN", false, true));
    ASSERT_EQ(t.Messages(), std::vector<int>{5553});
    EXPECT_EQ(std::get<int64_t>(t.run.shownMessages[0].args[1]), 6);
    t.run.ctx.bUninstall = true;
    EXPECT_TRUE(HandleOdbcSection(t.run, "ODBC DSN", false, true));
    EXPECT_EQ(t.Messages(), (std::vector<int>{5553, 5571}));
    t.run.ctx.bSilent = true;
    EXPECT_TRUE(HandleOdbcSection(t.run, "ODBC DSN", false, true));
    EXPECT_EQ(t.Messages().size(), 2u);
    EXPECT_FALSE(HandleOdbcSection(t.run, "ODBC Driver", false, true));  // no such section
    EXPECT_EQ(t.Messages().back(), 5529);
  }
  {  // No library: 5520 once per run, Ignore counts as done.
    SysconfigTestRun t(kInf);
    auto machine = t.machine.OpenReconfigured(
        [](platform::emulated::MachineConfig& config) { config.szOdbcInstallerVersion.clear(); });
    SetupRun run(*machine);
    run.inf.emplace(std::vector<char>(kInf, kInf + std::strlen(kInf)));
    run.inf->BuildSectionIndex();
    AttachScriptEngine(run);
    AttachInstallEngine(run);
    run.ui = std::make_unique<AnsweringUserInterface>(5);
    EXPECT_TRUE(HandleOdbcSection(run, "ODBC Driver", false, true));
    EXPECT_TRUE(HandleOdbcSection(run, "ODBC Core", false, true));
    EXPECT_EQ(ShownMessageNumbers(run), std::vector<int>{5520});
  }
  {  // An old library: 5552 and the section fails; an uninstall pass does not test it.
    SysconfigTestRun t(kInf);
    auto machine = t.machine.OpenReconfigured([](platform::emulated::MachineConfig& config) {
      config.szOdbcInstallerVersion = "2.10.23.0";
    });
    SetupRun run(*machine);
    run.inf.emplace(std::vector<char>(kInf, kInf + std::strlen(kInf)));
    run.inf->BuildSectionIndex();
    AttachScriptEngine(run);
    AttachInstallEngine(run);
    run.ctx.bUninstall = true;
    EXPECT_TRUE(HandleOdbcSection(run, "ODBC Core", false, true));
    run.ctx.bUninstall = false;
    EXPECT_FALSE(HandleOdbcSection(run, "ODBC Core", false, true));
    EXPECT_EQ(ShownMessageNumbers(run), std::vector<int>{5552});
  }
}

}  // namespace
}  // namespace tarvium::test
