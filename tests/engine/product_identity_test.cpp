// The product identity read from setup information files on real temporary machines: first
// fields and the names that stand in for each other, format versions, numbers and switches with
// their defaults, flag lists, the registry key names and the user, company and shell-link
// fallbacks taken from the machine.
#include "engine/product_identity.h"

#include <gtest/gtest.h>

#include "engine/inf_file.h"
#include "engine/inf_values.h"
#include "engine/init_variables.h"
#include "engine/setup_run.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

struct ProductIdentityTest : ::testing::Test {
  test::TestMachine test;

  // A run that has read the identity of "[Setup] Version=4.1" followed by `text`.
  std::unique_ptr<SetupRun> Read(const std::string& text, bool bInitVariables = false) {
    auto run = std::make_unique<SetupRun>(test.Machine());
    if (bInitVariables) {
      EXPECT_TRUE(InitVariables(*run));
    }
    const std::string whole = "[Setup]\nVersion=4.1\n" + text;
    InfFile inf(std::vector<char>(whole.begin(), whole.end()));
    inf.BuildSectionIndex();
    ReadProductIdentity(*run, inf);
    return run;
  }
  void SetMachineText(const std::string& key, const std::string& name, const std::string& text) {
    test.SetRegString(platform::RegRoot::LocalMachine, key, name, text);
  }
};

TEST_F(ProductIdentityTest, FirstFieldsNamesThatStandInForEachOtherKeyNamesAndFormatVersions) {
  auto run = Read(
      "[SetupInfo]\nPackageGUID={0A-1B}\n"
      "[Application]\nVersion=1.2, extra\nProductName=\"A, B\"\nDeveloperNameShort=Dev\n"
      "Revision = 7\nSetupName=%ProductName% Setup\nApplicationDir=C:\\%DeveloperName%\n"
      "MachineKeyName=Vendor\\\\Product\nUninstallKeyName=%Revision%\\\\\\\\Deep\n");
  const VariableStore& v = run->variables;
  EXPECT_EQ(v.Get("ZQ58.SetupInfo.PackageGUID"), "{0A-1B}");
  EXPECT_EQ(v.Get("Version"), "1.2");
  EXPECT_EQ(v.Get("ProductName"), "A, B");
  EXPECT_EQ(v.Get("ProductNameShort"), "A, B");
  EXPECT_EQ(v.Get("DeveloperName"), "Dev");
  EXPECT_EQ(v.Get("Revision"), "7");
  EXPECT_EQ(v.Get("ApplicationDir"), "C:\\Dev");
  EXPECT_EQ(v.Get("MachineKeyName"), "Vendor\\Product");
  EXPECT_EQ(v.Get("UninstallKeyName"), "7\\Deep");
  EXPECT_EQ(run->ctx.szWindowTitle, "A, B Setup");

  auto shortOnly = Read("[Application]\nProductNameShort=Short\nSetupInfDir=Sub\\Dir\n");
  EXPECT_EQ(shortOnly->variables.Get("ProductName"), "Short");
  EXPECT_EQ(shortOnly->variables.Get("SetupInfDir"), "Sub\\Dir\\");
  EXPECT_EQ(shortOnly->ctx.szWindowTitle, "Setup");  // no SetupName: the title stays

  // Format versions.
  const std::pair<const char*, uint32_t> versions[] = {
      {"4.1", 0x410},  {"4.10", 0x410},   {"4.01", 0x401}, {"4", 0x400}, {"", 0x300},
      {"5.11", 0x511}, {"14.10", 0x1410}, {"a.B", 0xAB0},  {"x", 0},     {"3.01", 0x301}};
  for (const auto& [text, dwVersion] : versions)
    EXPECT_EQ(ParseFormatVersion(text), dwVersion) << text;
  // A file of a format before 3.01 refused with 5532: the scenario old-format.
}

TEST_F(ProductIdentityTest, NumbersSwitchesAndFlagListsWithTheirDefaults) {
  auto defaults = Read("");
  EXPECT_TRUE(defaults->ctx.bExpand);
  EXPECT_TRUE(defaults->ctx.bAskShared);
  EXPECT_FALSE(defaults->ctx.bAskDir);
  EXPECT_EQ(defaults->ctx.nUseCheckmarks, 2);
  EXPECT_EQ(defaults->ctx.nCallTimeOut, -1);
  EXPECT_EQ(defaults->ctx.dwUninstallOptions, 0u);
  EXPECT_TRUE(defaults->ctx.bClientAskOptions);
  EXPECT_EQ(defaults->ctx.crBackgroundFrom, 0xFF0000u);

  auto set = Read(
      "[Application]\nCallTimeOut=30\nAbortAfterCallTimeOut=5\nReboot=5\nExpand=abc\n"
      "AskShared=\nAskDir=-2\nUseCheckmarks=1\nUninstallOptions=NOREMOVE|NOREPAIR\n"
      "BackgroundPicture=back.bmp\nBackgroundColor=0x00FF00\nPrompt=P1,P2\n"
      "[Client]\nAskOptions=0\nReboot=3\n[Disks]\nCabTemplateName=data%d.cab\n");
  const SetupContext& ctx = set->ctx;
  EXPECT_EQ(ctx.nCallTimeOut, 30000);
  EXPECT_TRUE(ctx.bAbortAfterCallTimeOut);
  EXPECT_EQ(ctx.iReboot, 5);
  EXPECT_FALSE(ctx.bExpand);    // text that is no number reads as 0
  EXPECT_TRUE(ctx.bAskShared);  // an empty value takes the default
  EXPECT_TRUE(ctx.bAskDir);
  EXPECT_EQ(ctx.nUseCheckmarks, 1);
  EXPECT_EQ(ctx.dwUninstallOptions, 6u);
  EXPECT_EQ(ctx.crBackgroundFrom, 0xFF00u);
  EXPECT_EQ(ctx.crBackgroundTo, kNoColor);  // a background picture draws no gradient
  EXPECT_EQ(ctx.szPrompts, "P1,P2");
  EXPECT_FALSE(ctx.bClientAskOptions);
  EXPECT_EQ(ctx.iClientReboot, 3);
  EXPECT_EQ(ctx.szCabTemplateName, "data%d.cab");

  EXPECT_EQ(Read("[Application]\nUninstallOptions=6\n")->ctx.dwUninstallOptions, 6u);
  EXPECT_EQ(Read("[Application]\nUninstallOptions=NOREMOVE+HIDDEN\n")->ctx.dwUninstallOptions,
            0xFFFFFFFFu);

  SetupRun silent(test.Machine());
  silent.ctx.bSilentNoEnd = true;
  const std::string text = "[Setup]\nVersion=4.1\n[Application]\nShowEndMessage=0\n";
  InfFile inf(std::vector<char>(text.begin(), text.end()));
  ReadProductIdentity(silent, inf);
  EXPECT_TRUE(silent.ctx.bShowEndMessage);  // not read with /S4
}

TEST_F(ProductIdentityTest, UserAndCompanyFallBackToTheRegistryAndTheProfile) {
  auto given = Read(
      "[Application]\nDefaultUser=Ann\nDefaultCompany=%ProductName% Ltd\n"
      "ProductName=Acme\n");
  EXPECT_EQ(given->variables.Get("User"), "Ann");
  EXPECT_EQ(given->variables.Get("Company"), "Acme Ltd");

  // The machine registers its user under Windows NT and no organisation anywhere.
  ASSERT_EQ(test.Machine().Profiles().WriteProfileString("MS User Info", "DefCompany", "Prof"), 0u);
  auto fallback = Read("[Application]\n");
  EXPECT_EQ(fallback->variables.Get("User"), "User");
  EXPECT_EQ(fallback->variables.Get("Company"), "Prof");

  SetMachineText("Software\\Microsoft\\Windows\\CurrentVersion", "RegisteredOwner", "Owner");
  SetMachineText("Software\\Microsoft\\Windows\\CurrentVersion", "RegisteredOrganization", "Org");
  auto registered = Read("[Application]\n");
  EXPECT_EQ(registered->variables.Get("User"), "Owner");
  EXPECT_EQ(registered->variables.Get("Company"), "Org");
}

TEST_F(ProductIdentityTest, CommonShellLinksChooseTheAllUsersFolders) {
  for (const bool bCommon : {false, true}) {
    auto run = Read(bCommon ? "[Application]\nCommonShellLinks=1\n" : "", true);
    const VariableStore& v = run->variables;
    const std::string prefix = bCommon ? "Common" : "User";
    for (const std::string folder : {"Desktop", "Programs", "StartMenu", "Startup"}) {
      ASSERT_FALSE(v.Get(prefix + folder).empty()) << folder;
      EXPECT_EQ(v.Get(folder), v.Get(prefix + folder)) << folder;
    }
    EXPECT_NE(v.Get("CommonDesktop"), v.Get("UserDesktop"));
  }
}

}  // namespace
}  // namespace tarvium
