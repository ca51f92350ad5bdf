// The emulated ODBC installer: the installer library's conformance cases, and what a setup relies
// on beyond them: a driver's setup routine adding and removing data sources, usage counts shared
// by two products, file data sources as INI files, and a machine without the library.
#include <gtest/gtest.h>

#include "platform/odbc_installer.h"
#include "platform/odbc_oracle_cases.h"
#include "platform/win_error.h"
#include "support/test_machine.h"

namespace tarvium::test {
namespace {

using platform::RegRoot;

TEST(EmulatedOdbcInstaller, PassesTheInstallerConformanceCases) {
  TestMachine machine;
  OdbcOracle oracle(machine.Machine().Odbc(), machine.Machine().Reg(), "C:\\Windows\\System32");
  const std::vector<OdbcOracleResult> results = oracle.Run();
  size_t nPassed = 0;
  for (const OdbcOracleResult& result : results) {
    EXPECT_TRUE(result.bPassed) << result.name;
    nPassed += result.bPassed;
  }
  std::printf("ODBC conformance cases: %zu of %zu pass\n", nPassed, results.size());
  EXPECT_GE(results.size(), 50u);
}

TEST(EmulatedOdbcInstaller, SetupRoutineAddsAndRemovesDataSourcesWithUsageCounts) {
  TestMachine machine;
  platform::OdbcInstaller& odbc = machine.Machine().Odbc();
  char path[260];
  uint16_t cb = 0;
  uint32_t nUsage = 0;
  const char driver[] = "Tarvium Driver\0Driver=tdrv.dll\0Setup=tdrvs.dll\0\0";
  // Two products install the same driver; the first removal keeps it.
  for (uint32_t nExpected : {1u, 2u}) {
    ASSERT_TRUE(odbc.SQLInstallDriverEx(driver, "C:\\T", path, 260, &cb,
                                        platform::ODBC_INSTALL_COMPLETE, &nUsage));
    EXPECT_EQ(nUsage, nExpected);
  }
  const std::string key = "SOFTWARE\\ODBC\\ODBCINST.INI\\Tarvium Driver";
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, key, "Setup"), "C:\\T\\tdrvs.dll");
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers",
                              "Tarvium Driver"),
            "Installed");
  struct Request {
    uint16_t wRequest;
    RegRoot root;
  };
  for (const Request& r : {Request{platform::ODBC_ADD_DSN, RegRoot::CurrentUser},
                           Request{platform::ODBC_ADD_SYS_DSN, RegRoot::LocalMachine}}) {
    ASSERT_TRUE(odbc.SQLConfigDataSource(r.wRequest, "Tarvium Driver",
                                         "DSN=Orders\0Database=C:\\Data\\orders.db\0\0"));
    EXPECT_EQ(machine.RegString(r.root, "SOFTWARE\\ODBC\\ODBC.INI\\Orders", "Driver"),
              "C:\\T\\tdrv.dll");
    EXPECT_EQ(machine.RegString(r.root, "SOFTWARE\\ODBC\\ODBC.INI\\Orders", "Database"),
              "C:\\Data\\orders.db");
    EXPECT_EQ(machine.RegString(r.root, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources", "Orders"),
              "Tarvium Driver");
  }
  // The mode of the request is the setup routine's alone.
  uint16_t wMode = 9;
  EXPECT_TRUE(odbc.SQLGetConfigMode(&wMode));
  EXPECT_EQ(wMode, platform::ODBC_BOTH_DSN);
  ASSERT_TRUE(
      odbc.SQLConfigDataSource(platform::ODBC_REMOVE_SYS_DSN, "Tarvium Driver", "DSN=Orders\0\0"));
  EXPECT_FALSE(machine.HasRegKey(RegRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Orders"));
  EXPECT_TRUE(machine.HasRegKey(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\Orders"));
  // Removing it again, or configuring without a name, fails with the installer's errors.
  uint32_t dwCode = 0;
  EXPECT_FALSE(
      odbc.SQLConfigDataSource(platform::ODBC_REMOVE_SYS_DSN, "Tarvium Driver", "DSN=Orders\0\0"));
  EXPECT_EQ(odbc.SQLInstallerError(1, &dwCode, nullptr, 0, nullptr),
            platform::SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(dwCode, platform::ODBC_ERROR_INVALID_DSN);
  EXPECT_FALSE(
      odbc.SQLConfigDataSource(platform::ODBC_ADD_DSN, "Tarvium Driver", "Database=x\0\0"));
  EXPECT_EQ(odbc.SQLInstallerError(1, &dwCode, nullptr, 0, nullptr),
            platform::SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(dwCode, platform::ODBC_ERROR_INVALID_KEYWORD_VALUE);

  ASSERT_TRUE(odbc.SQLRemoveDriver("Tarvium Driver", true, &nUsage));
  EXPECT_EQ(nUsage, 1u);
  EXPECT_TRUE(machine.HasRegKey(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\Orders"));
  ASSERT_TRUE(odbc.SQLRemoveDriver("Tarvium Driver", true, &nUsage));
  EXPECT_EQ(nUsage, 0u);
  EXPECT_FALSE(machine.HasRegKey(RegRoot::LocalMachine, key));
  EXPECT_FALSE(machine.HasRegKey(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\Orders"));
  EXPECT_FALSE(machine.HasRegValue(RegRoot::CurrentUser,
                                   "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources", "Orders"));
}

TEST(EmulatedOdbcInstaller, FileDataSourcesAreIniFilesInTheDefaultFolder) {
  TestMachine machine;
  platform::OdbcInstaller& odbc = machine.Machine().Odbc();
  ASSERT_TRUE(odbc.SQLWriteFileDSN("Orders", "ODBC", "DRIVER", "Tarvium Driver"));
  ASSERT_TRUE(odbc.SQLWriteFileDSN("C:\\Dsn\\..\\Orders.DSN", "ODBC", "DSN", "Orders"))
      << "a name with a directory is taken as it stands";
  EXPECT_NE(machine.ReadFile("C:\\Program Files\\Common Files\\ODBC\\Data Sources\\Orders.dsn")
                .find("DRIVER=Tarvium Driver"),
            std::string::npos);
  char text[8];
  uint16_t cb = 0;
  EXPECT_FALSE(odbc.SQLReadFileDSN("Orders.dsn", "ODBC", "DRIVER", text, sizeof(text), &cb));
  EXPECT_EQ(std::string(text), "Tarvium");
  EXPECT_EQ(cb, 14);
  EXPECT_FALSE(odbc.SQLWriteFileDSN("", "ODBC", "DSN", "x"));
}

TEST(EmulatedOdbcInstaller, LibraryPresenceAndVersionComeFromTheMachine) {
  TestMachine machine;
  uint64_t qwVersion = 0;
  ASSERT_EQ(machine.Machine().Odbc().Load(), platform::ERROR_SUCCESS);
  ASSERT_EQ(machine.Machine().Odbc().GetLibraryVersion(qwVersion), platform::ERROR_SUCCESS);
  EXPECT_EQ(qwVersion, (uint64_t{10} << 48) | (uint64_t{19041} << 16) | 1);
  EXPECT_TRUE(machine.Machine().Odbc().HasEntry("SQLWriteFileDSN"));
  EXPECT_FALSE(machine.Machine().Odbc().HasEntry("SQLNoSuchEntry"));
  auto without = machine.OpenReconfigured(
      [](platform::emulated::MachineConfig& config) { config.szOdbcInstallerVersion.clear(); });
  EXPECT_EQ(without->Odbc().Load(), platform::ERROR_MOD_NOT_FOUND);
  EXPECT_FALSE(without->Odbc().HasEntry("SQLInstallDriverEx"));
}

}  // namespace
}  // namespace tarvium::test
