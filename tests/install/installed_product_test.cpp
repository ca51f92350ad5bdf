// The installed product as the registry records it, on a real machine's registry: which version
// is found, where a 32-bit engine registered it, and the run modes that follow from the record.
#include <gtest/gtest.h>

#include "engine/setup_run.h"
#include "install/installed_product.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

using platform::RegRoot;

class InstalledProduct : public testing::Test {
 protected:
  InstalledProduct() {
    run.variables.Set("MachineKeyName", "Maker\\Product\\2.5");
    run.variables.Set("Version", "2.5");
    run.variables.Set("Revision", "10");
  }

  void Register(const std::string& base, const std::string& version, const std::string& revision,
                const std::string& appPath = "") {
    const std::string record = base + "\\" + version + "\\Setup";
    machine.SetRegString(RegRoot::LocalMachine, record, "ProductName", "Product");
    machine.SetRegString(RegRoot::LocalMachine, record, "Revision", revision);
    if (!appPath.empty()) machine.SetRegString(RegRoot::LocalMachine, record, "AppPath", appPath);
  }

  test::TestMachine machine;
  SetupRun run{machine.Machine()};
};

TEST_F(InstalledProduct, FindsTheHighestVersionOrTheFirstOlderOne) {
  InstalledVersionInfo found;
  EXPECT_FALSE(FindInstalledVersion(run, false, found)) << "nothing registered";
  Register("Software\\Maker\\Product", "1.0", "4", "C:\\Old\\");
  Register("Software\\Maker\\Product", "3.0", "1");
  machine.Machine().Reg().CreateKey(RegRoot::LocalMachine, "Software\\Maker\\Product\\0.9\\Setup");
  ASSERT_TRUE(FindInstalledVersion(run, false, found));
  EXPECT_EQ(found.szVersion, "3.0");
  EXPECT_EQ(found.szRevision, "1");
  EXPECT_FALSE(found.b64BitView);
  EXPECT_TRUE(run.variables.Get("ApplicationDir").empty()) << "only an older one is taken over";
  ASSERT_TRUE(FindInstalledVersion(run, true, found));
  EXPECT_EQ(found.szVersion, "1.0") << "a version without ProductName is not installed";
  EXPECT_EQ(run.variables.Get("ApplicationDir"), "C:\\Old\\");
}

TEST_F(InstalledProduct, AVersionRegisteredByA32BitEngineIsFoundInItsView) {
  Register("Software\\Wow6432Node\\Maker\\Product", "2.0", "1");
  InstalledVersionInfo found;
  ASSERT_TRUE(FindInstalledVersion(run, true, found));
  EXPECT_EQ(found.szVersion, "2.0");
  EXPECT_TRUE(found.b64BitView);
}

TEST_F(InstalledProduct, RecordDecidesInstalledUserPartAndNewerRevision) {
  const std::string record = "Software\\Maker\\Product\\2.5\\Setup";
  struct Case {
    std::string revision;  // of the record; "" registers nothing
    std::string machineSetup;
    bool bInstalled, bUserPart, bNewer;
  } cases[] = {
      {"", "", false, false, false},  {"10", "", true, false, false},
      {"9", "", true, false, true},  // 10 > 9 as numbers, not as text
      {"11", "", true, false, false}, {"10", "1", true, true, false},
  };
  for (const Case& c : cases) {
    machine.Machine().Reg().DeleteTree(RegRoot::LocalMachine, "Software\\Maker");
    if (!c.revision.empty()) Register("Software\\Maker\\Product", "2.5", c.revision);
    if (!c.machineSetup.empty())
      machine.SetRegString(RegRoot::LocalMachine, record, "MachineSetup", c.machineSetup);
    run.ctx.bUserPartRun = false;
    ReadInstalledProduct(run);
    EXPECT_EQ(run.ctx.bInstalled, c.bInstalled) << c.revision;
    EXPECT_EQ(run.ctx.bUserPartRun, c.bUserPart) << c.revision;
    EXPECT_EQ(run.ctx.bNewerRevision, c.bNewer) << c.revision;
  }
}

TEST_F(InstalledProduct, AnUninstallOfOnlyTheUserPartFindsItInTheUserHive) {
  machine.SetRegString(RegRoot::CurrentUser, "Software\\Maker\\Product\\2.5\\Setup", "ProductName",
                       "P");
  machine.SetRegString(RegRoot::CurrentUser, "Software\\Maker\\Product\\2.5\\Setup", "AppPath",
                       "C:\\U\\");
  ReadInstalledProduct(run);
  EXPECT_FALSE(run.ctx.bInstalled) << "not an uninstall: the machine record decides";
  run.ctx.bUninstall = true;
  ReadInstalledProduct(run);
  EXPECT_TRUE(run.ctx.bInstalled);
  EXPECT_TRUE(run.ctx.bUserPartRun);
  EXPECT_TRUE(ReadInstalledData(run));
  EXPECT_EQ(run.variables.Get("ApplicationDir"), "C:\\U\\");
}

TEST_F(InstalledProduct, AUserPartRunTakesTheUsersDataElseTheMachines) {
  const std::string record = "Software\\Maker\\Product\\2.5\\Setup";
  Register("Software\\Maker\\Product", "2.5", "10", "C:\\Machine\\");
  machine.SetRegString(RegRoot::LocalMachine, record, "MachineSetup", "1");
  machine.SetRegString(RegRoot::LocalMachine, record, "DataPath", "C:\\Data\\");
  ReadInstalledProduct(run);
  ASSERT_TRUE(run.ctx.bUserPartRun);
  EXPECT_TRUE(ReadInstalledData(run)) << "the user's first run: only the machine has a record";
  EXPECT_EQ(run.variables.Get("ApplicationDir"), "C:\\Machine\\");
  machine.SetRegString(RegRoot::CurrentUser, record, "ProductName", "Product");
  machine.SetRegString(RegRoot::CurrentUser, record, "AppPath", "C:\\Mine\\");
  EXPECT_TRUE(ReadInstalledData(run));
  EXPECT_EQ(run.variables.Get("ApplicationDir"), "C:\\Mine\\");
  EXPECT_EQ(run.variables.Get("DataDir"), "C:\\Data\\") << "missing in the user's record";
}

}  // namespace
}  // namespace tarvium
