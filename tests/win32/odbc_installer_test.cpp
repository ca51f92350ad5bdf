// Win32OdbcInstaller against the system's installer library (Wine's odbccp32 under Wine): the
// same conformance cases the emulated installer passes, and what a setup needs beyond them: a
// driver whose setup library (the test's odbc-driver-setup.dll) adds, changes and removes user
// and system data sources through SQLConfigDataSource, and file data sources written and read.
// The cases where Wine's library does not do what Windows' does are listed with the reason; under
// Wine each listed case must still fail (so that the list shrinks when Wine catches up), and
// everywhere else every case must pass.
#include "platform/win32/win32_odbc_installer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/odbc_oracle_cases.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

using tarvium::test::RunsUnderWine;

struct KnownDifference {
  const char* name;  // the case, as the oracle names it
  bool bCrashes;     // the case is not run under Wine: its library would end the process
  const char* why;
};

// The conformance cases Wine's library (as of Wine 8.0) fails, and why.
constexpr const char kProfileIsTheUsers[] =
    "Wine's SQLWritePrivateProfileString and SQLGetPrivateProfileString always use the user's "
    "key, whatever the configuration mode and for ODBCINST.INI too";
constexpr KnownDifference kWineDifferences[] = {
    {"SQLWritePrivateProfileString: odbc.ini is the user's key; a null value deletes the entry",
     false, "Wine's SQLWritePrivateProfileString writes an empty value for a null one"},
    {"configuration modes: system mode writes the machine's", false, kProfileIsTheUsers},
    {"configuration modes: user mode does not read the machine's", false, kProfileIsTheUsers},
    {"configuration modes: both writes the user's existing section first", false,
     kProfileIsTheUsers},
    {"configuration modes: ODBCINST.INI is the machine's in user mode", false, kProfileIsTheUsers},
    {"configuration modes: system mode does not read the user's", false, kProfileIsTheUsers},
    {"SQLValidDSN: null", true,
     "Wine's SQLValidDSN reads the name without looking for a null pointer first"},
    {"SQLValidDSN: empty", false, "Wine's SQLValidDSN takes an empty name"},
    {"SQLWriteDSNToIni: an empty name is not removed", false,
     "Wine's SQLRemoveDSNFromIni takes an empty name, which its SQLValidDSN lets through"},
};

const KnownDifference* WineDifference(const std::string& name) {
  for (const KnownDifference& difference : kWineDifferences)
    if (name == difference.name) return &difference;
  return nullptr;
}

std::string SystemDirectory() {
  Win32SystemInfo info;
  std::string dir;
  EXPECT_EQ(info.GetSpecialFolder(SpecialFolder::System, dir), ERROR_SUCCESS);
  return dir;
}

// The installer's queued error codes, first to last.
std::vector<uint32_t> QueuedErrors(OdbcInstaller& odbc) {
  std::vector<uint32_t> codes;
  for (uint16_t i = 1; i <= 8; ++i) {
    uint32_t dwCode = 0;
    if (odbc.SQLInstallerError(i, &dwCode, nullptr, 0, nullptr) == SQL_NO_DATA) break;
    codes.push_back(dwCode);
  }
  return codes;
}

std::string RegText(Registry& reg, RegRoot root, const std::string& key, const char* name) {
  RegValue value;
  if (reg.QueryValue(root, key, name, value) != ERROR_SUCCESS) return "<none>";
  return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
}

std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TEST(Win32OdbcInstaller, PassesTheInstallerConformanceCasesButWinesKnownDifferences) {
  Win32OdbcInstaller odbc;
  ASSERT_EQ(odbc.Load(), ERROR_SUCCESS);
  Win32Registry reg;
  tarvium::test::OdbcOracle oracle(odbc, reg, SystemDirectory());
  const bool bWine = RunsUnderWine();
  if (bWine) {
    std::vector<std::string> crashing;
    for (const KnownDifference& difference : kWineDifferences)
      if (difference.bCrashes) crashing.push_back(difference.name);
    oracle.Skip(crashing);
  }
  const std::vector<tarvium::test::OdbcOracleResult> results = oracle.Run();
  size_t nPassed = 0;
  for (const tarvium::test::OdbcOracleResult& result : results) {
    nPassed += result.bPassed;
    const KnownDifference* difference = bWine ? WineDifference(result.name) : nullptr;
    if (difference) {
      EXPECT_FALSE(result.bPassed)
          << result.name << " now passes; it was listed because " << difference->why;
      std::printf("Wine differs%s: %s: %s\n", result.bSkipped ? " (not run)" : "",
                  result.name.c_str(), difference->why);
    } else {
      EXPECT_TRUE(result.bPassed) << result.name;
    }
  }
  std::printf("ODBC conformance cases on %s: %zu of %zu pass\n", bWine ? "Wine" : "Windows",
              nPassed, results.size());
  EXPECT_GE(results.size(), 50u);
}

class OdbcDriverSetupTest : public ::testing::Test {
 protected:
  static constexpr const char* kDriver = "Tarvium Test Driver";
  static constexpr const char* kDsn = "Tarvium Orders";
  const std::string dsnKey_ = std::string("SOFTWARE\\ODBC\\ODBC.INI\\") + kDsn;
  const std::string sourcesKey_ = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";

  void SetUp() override {
    ASSERT_EQ(odbc_.Load(), ERROR_SUCCESS);
    const std::string setupLibrary = WindowsPath(TARVIUM_ODBC_DRIVER_SETUP);
    dir_ = setupLibrary.substr(0, setupLibrary.rfind('\\'));
    // The library is the driver's file and its setup library both: Wine 8.0's
    // SQLConfigDataSource loads the driver's file, Windows' the setup library.
    const std::string file = setupLibrary.substr(dir_.size() + 1);
    const std::string attributes =
        std::string(kDriver) + '\0' + "Driver=" + file + '\0' + "Setup=" + file + '\0' + '\0';
    char path[260] = {};
    uint16_t cbPath = 0;
    uint32_t nUsage = 0;
    ASSERT_TRUE(odbc_.SQLInstallDriverEx(attributes.c_str(), dir_.c_str(), path, sizeof(path),
                                         &cbPath, ODBC_INSTALL_COMPLETE, &nUsage));
    driverFile_ = dir_ + "\\" + file;
  }
  void TearDown() override {
    odbc_.SQLRemoveDriver(kDriver, true, nullptr);
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
      reg_.DeleteTree(root, dsnKey_);
      reg_.DeleteValue(root, sourcesKey_, kDsn);
    }
  }

  bool Configure(uint16_t wRequest, const std::string& attributes, const char* driver = kDriver) {
    const std::string list = attributes + '\0';  // the list's own end after the last string's
    return odbc_.SQLConfigDataSource(wRequest, driver, list.c_str());
  }

  Win32OdbcInstaller odbc_;
  Win32Registry reg_;
  std::string dir_;
  std::string driverFile_;
};

TEST_F(OdbcDriverSetupTest, SetupLibraryAddsChangesAndRemovesUserAndSystemDataSources) {
  struct Kind {
    uint16_t wAdd, wConfig, wRemove;
    RegRoot root;
    const char* database;
  };
  const Kind kinds[] = {
      {ODBC_ADD_DSN, ODBC_CONFIG_DSN, ODBC_REMOVE_DSN, RegRoot::CurrentUser, "C:\\user.db"},
      {ODBC_ADD_SYS_DSN, ODBC_CONFIG_SYS_DSN, ODBC_REMOVE_SYS_DSN, RegRoot::LocalMachine,
       "C:\\system.db"},
  };
  for (const Kind& kind : kinds) {
    ASSERT_TRUE(Configure(kind.wAdd, std::string("DSN=") + kDsn + '\0' +
                                         "Database=" + kind.database + '\0' + "Timeout=5"))
        << kind.wAdd;
    EXPECT_EQ(RegText(reg_, kind.root, sourcesKey_, kDsn), kDriver);
    EXPECT_EQ(RegText(reg_, kind.root, dsnKey_, "Driver"), driverFile_);
    EXPECT_EQ(RegText(reg_, kind.root, dsnKey_, "Database"), kind.database);
    EXPECT_EQ(RegText(reg_, kind.root, dsnKey_, "Timeout"), "5");
  }
  // Each request reached its own ODBC.INI, and the process's mode is as it was.
  uint16_t wMode = 99;
  EXPECT_TRUE(odbc_.SQLGetConfigMode(&wMode));
  EXPECT_EQ(wMode, ODBC_BOTH_DSN);
  ASSERT_TRUE(Configure(ODBC_CONFIG_SYS_DSN, std::string("DSN=") + kDsn + '\0' + "Timeout=9"));
  EXPECT_EQ(RegText(reg_, RegRoot::LocalMachine, dsnKey_, "Timeout"), "9");
  EXPECT_EQ(RegText(reg_, RegRoot::LocalMachine, dsnKey_, "Database"), "C:\\system.db");
  EXPECT_EQ(RegText(reg_, RegRoot::CurrentUser, dsnKey_, "Timeout"), "5");
  for (const Kind& kind : kinds) {
    ASSERT_TRUE(Configure(kind.wRemove, std::string("DSN=") + kDsn)) << kind.wRemove;
    EXPECT_NE(reg_.OpenKey(kind.root, dsnKey_), ERROR_SUCCESS);
    EXPECT_EQ(RegText(reg_, kind.root, sourcesKey_, kDsn), "<none>");
  }
}

TEST_F(OdbcDriverSetupTest, RefusedRequestsFailWithTheInstallersErrors) {
  ASSERT_TRUE(Configure(ODBC_ADD_DSN, std::string("DSN=") + kDsn));
  // The setup routine's own errors reach the queue through SQLPostInstallerError, which Wine's
  // library does not implement; both libraries then queue that the request failed.
  struct Refusal {
    const char* what;
    uint16_t wRequest;
    std::string attributes;
    const char* driver;
    uint32_t dwRoutineError;  // 0: the installer refuses before calling the routine
    uint32_t dwInstallerError;
  };
  const Refusal refusals[] = {
      {"a system data source that is not there", ODBC_REMOVE_SYS_DSN, std::string("DSN=") + kDsn,
       kDriver, ODBC_ERROR_INVALID_DSN, ODBC_ERROR_REQUEST_FAILED},
      {"configuring one that is not there", ODBC_CONFIG_SYS_DSN, std::string("DSN=") + kDsn,
       kDriver, ODBC_ERROR_INVALID_DSN, ODBC_ERROR_REQUEST_FAILED},
      {"no name", ODBC_ADD_DSN, "Database=x", kDriver, ODBC_ERROR_INVALID_KEYWORD_VALUE,
       ODBC_ERROR_REQUEST_FAILED},
      {"an unknown driver", ODBC_ADD_DSN, std::string("DSN=") + kDsn, "Tarvium No Driver", 0,
       ODBC_ERROR_COMPONENT_NOT_FOUND},
  };
  for (const Refusal& refusal : refusals) {
    EXPECT_FALSE(Configure(refusal.wRequest, refusal.attributes, refusal.driver)) << refusal.what;
    const std::vector<uint32_t> codes = QueuedErrors(odbc_);
    auto queued = [&codes](uint32_t dwCode) {
      return std::find(codes.begin(), codes.end(), dwCode) != codes.end();
    };
    EXPECT_TRUE(queued(refusal.dwInstallerError)) << refusal.what;
    if (refusal.dwRoutineError && !RunsUnderWine()) {
      EXPECT_TRUE(queued(refusal.dwRoutineError)) << refusal.what;
    }
  }
  // The user's data source was left as it was.
  EXPECT_EQ(RegText(reg_, RegRoot::CurrentUser, dsnKey_, "Driver"), driverFile_);
}

TEST(Win32OdbcInstaller, FileDataSourcesAreProfileFiles) {
  tarvium::test::ScratchFolder scratch;
  Win32OdbcInstaller odbc;
  ASSERT_EQ(odbc.Load(), ERROR_SUCCESS);
  const std::string file = scratch / "Orders";  // the library adds ".dsn"
  ASSERT_TRUE(odbc.SQLWriteFileDSN(file.c_str(), "ODBC", "DRIVER", "Tarvium Driver"));
  ASSERT_TRUE(odbc.SQLWriteFileDSN(file.c_str(), "ODBC", "Database", "C:\\orders.db"));
  const std::string text = tarvium::test::ReadFileBytes(file + ".dsn");
  EXPECT_NE(text.find("[ODBC]"), std::string::npos) << text;
  EXPECT_NE(text.find("DRIVER=Tarvium Driver"), std::string::npos) << text;
  EXPECT_NE(text.find("Database=C:\\orders.db"), std::string::npos) << text;

  struct Read {
    uint16_t cbBuffer;
    bool bOk;
    const char* text;
    uint32_t dwError;  // queued when the read fails
  };
  const Read reads[] = {
      {64, true, "C:\\orders.db", 0},
      {5, false, "C:\\o", ODBC_ERROR_OUTPUT_STRING_TRUNCATED},
  };
  for (const Read& read : reads) {
    char buffer[64] = "unchanged";
    uint16_t cbText = 0;
    EXPECT_EQ(odbc.SQLReadFileDSN(file.c_str(), "ODBC", "Database", buffer, read.cbBuffer, &cbText),
              read.bOk)
        << read.cbBuffer;
    EXPECT_STREQ(buffer, read.text);
    EXPECT_EQ(cbText, std::strlen("C:\\orders.db"));
    if (!read.bOk) {
      EXPECT_EQ(QueuedErrors(odbc), std::vector<uint32_t>{read.dwError});
    }
  }
  EXPECT_FALSE(odbc.SQLWriteFileDSN("", "ODBC", "DRIVER", "x"));
  EXPECT_EQ(QueuedErrors(odbc), std::vector<uint32_t>{ODBC_ERROR_INVALID_PATH});
}

}  // namespace
}  // namespace platform::win32
