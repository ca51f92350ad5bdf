// The product's registration on a real machine's registry: what an install writes for a
// workstation and a user setup, what the removal takes, the uninstall entry's forms, the removal
// of an older version through its registered command, other users of a workstation installation,
// the use counts of shared sections and a later run that is aborted.
// The installed product as the registry records it, on a real machine's registry: which version
// is found, where a 32-bit engine registered it, and the run modes that follow from the record.
#include <gtest/gtest.h>

#include <memory>

#include "engine/setup_run.h"
#include "install/build_options.h"
#include "install/install_test_run.h"
#include "install/installation_run.h"
#include "install/installed_product.h"
#include "install/options_registry.h"
#include "install/other_users.h"
#include "install/previous_version.h"
#include "install/product_registration.h"
#include "install/run_journal.h"
#include "install/section_counts.h"
#include "install/shared_files.h"
#include "install/uninstall_commands.h"
#include "script/script_engine.h"
#include "support/answering_ui.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

using platform::RegRoot;
using test::InstallTestRun;

constexpr char kRecord[] = "Software\\Maker\\Product\\1.0\\Setup";
constexpr char kEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Product";
constexpr char kInf[] =
    "[Application]\nUninstallKeyName=Product\n[Options]\nA=A,DEFAULT\nB=B,DEFAULT\n[A]\n1:a\n"
    "[B]\n1:b\n";

class Registration : public testing::Test {
 protected:
  Registration() { Identify(t.run); }

  static void Identify(SetupRun& run) {
    VariableStore& v = run.variables;
    v.Set("MachineKeyName", "Maker\\Product\\1.0");
    v.Set("UninstallKeyName", "Product");
    v.Set("UninstallDisplayName", "Product 1.0");
    v.Set("ProductName", "Product");
    v.Set("DeveloperName", "Maker");
    v.Set("Version", "1.0");
    v.Set("App", "C:\\Program Files\\Product\\");
    v.Set("User", "Owner");
    v.Set("Src", "D:\\");
    v.Set("WindowsUser", "User");
    v.Set("Windows", "C:\\Windows");
    run.ctx.szInfFile = "D:\\Setup.inf";
    run.ctx.szSetupProgram = "D:\\Setup.exe";
  }

  // The next run of the product on the same machine, as far as the journal's recovery needs it.
  static std::unique_ptr<SetupRun> NextRun(test::TestMachine& on) {
    auto next = std::make_unique<SetupRun>(on.Machine());
    AttachInstallEngine(*next);
    Identify(*next);
    return next;
  }

  InstallTestRun t{kInf};
  test::TestMachine& m = t.machine;
};

// The record of a plain install, value by value, is in the Diff of every install scenario
// (empty-product, for one).
TEST_F(Registration, WorkstationAndUserSetupsWriteTheirRecords) {
  struct Case {
    const char* pszKind;
    bool bWorkstation, bUserPart;
    std::vector<std::string> present, absent;
  } cases[] = {
      {"workstation",
       true,
       false,
       {"MachineSetup", "UninstallString", "SrcSetupExe", "SilentLevel"},
       {}},
      {"user",
       false,
       true,
       {"AppPath", "ProductName", "Date", "DisplayName"},
       {"UninstallString", "RegisteredOwner", "SrcSetupExe", "MachineSetup"}},
  };
  for (const Case& c : cases) {
    InstallTestRun run(kInf);
    Identify(run.run);
    run.run.ctx.bWorkstationSetup = c.bWorkstation;
    run.run.ctx.bUserPartRun = c.bUserPart;
    run.run.ctx.szSilentLevel = "3";  // /S3 asks the pages: not silent, yet a level to keep
    test::TestMachine& on = run.machine;
    if (c.bUserPart) {  // the machine part, as the workstation setup registered it
      on.SetRegString(RegRoot::LocalMachine, kRecord, "DisplayName", "Shown");
      on.SetRegString(RegRoot::LocalMachine, kRecord, "SrcSetupExe", "C:\\Server Share\\Setup.exe");
      on.SetRegString(RegRoot::LocalMachine, kRecord, "SrcSetupInf", "C:\\Inf\\Setup.inf");
    }
    BuildUninstallCommands(run.run);
    RegisterInstallation(run.run);
    const RegRoot root = c.bUserPart ? RegRoot::CurrentUser : RegRoot::LocalMachine;
    for (const std::string& name : c.present)
      EXPECT_TRUE(on.HasRegValue(root, kRecord, name)) << c.pszKind << " lacks " << name;
    for (const std::string& name : c.absent)
      EXPECT_FALSE(on.HasRegValue(root, kRecord, name)) << c.pszKind << " has " << name;
    EXPECT_EQ(on.HasRegValue(RegRoot::LocalMachine, std::string(kRecord) + "\\Users", "User"),
              c.bUserPart)
        << c.pszKind << ": only a user setup lists its user, in the machine hive";
    if (c.bUserPart) {
      EXPECT_EQ(on.RegString(root, kRecord, "DisplayName"), "Shown");
      EXPECT_EQ(on.RegString(root, kEntry, "QuietDisplayName"), "Product 1.0");
      EXPECT_EQ(on.RegString(root, kEntry, "UninstallString"),
                "\"C:\\Server Share\\Setup.exe\" C:\\Inf\\Setup.inf /U");
      EXPECT_FALSE(on.HasRegValue(RegRoot::LocalMachine, kEntry, "DisplayName"));
    } else {
      EXPECT_EQ(on.RegString(root, kEntry, "DisplayName"), "Product 1.0");
      EXPECT_EQ(on.RegString(root, kEntry, "UninstallString"),
                "\"C:\\Windows\\_UnInst.exe\" \"C:\\Program Files\\Product\\Setup.inf\" /U");
      EXPECT_EQ(on.RegString(root, kRecord, "UninstallString"),
                on.RegString(root, kEntry, "UninstallString"));
    }
  }
}

// What the removal leaves of the record and the uninstall entry (PackageGUID, the keys above the
// record): the scenario uninstall-through-registered-command. Here a record still holding a
// section count, and the user's settings key.
TEST_F(Registration, RemovalTakesTheWholeRecordAndTheUsersSettingsKey) {
  m.SetRegString(RegRoot::CurrentUser, "Software\\Maker\\Settings", "Size", "9");
  t.run.variables.Set("UserKeyName", "Maker\\Settings");
  for (const uint32_t dwRunFlags : {kRunFlagMachinePart, 0u}) {
    t.run.ctx.dwRunFlags = dwRunFlags;
    BuildUninstallCommands(t.run);
    RegisterInstallation(t.run);
    m.SetRegString(RegRoot::LocalMachine, std::string(kRecord) + "\\Sections", "[Shared]", "1");
    RemoveRegistration(t.run);
    EXPECT_FALSE(m.HasRegKey(RegRoot::LocalMachine, kRecord)) << dwRunFlags;
    EXPECT_EQ(m.HasRegKey(RegRoot::CurrentUser, "Software\\Maker\\Settings"), dwRunFlags != 0)
        << "a machine-part removal (/X2) leaves the user's key";
  }
}

TEST_F(Registration, UninstallEntryFormsFollowHideUninstallOptionsAndTheService) {
  struct Case {
    int32_t nHide;
    uint32_t dwOptions;
    bool bService;
    std::vector<std::string> present, absent;
  } cases[] = {
      {0, 0, false, {"DisplayName"}, {"QuietDisplayName", "NoRemove", "SystemComponent"}},
      {1, 0, false, {"QuietDisplayName"}, {"DisplayName"}},
      {2,
       kUninstallSystemComponent | kUninstallNoRepair,
       false,
       {"QuietDisplayName", "SystemComponent", "NoRepair"},
       {"DisplayName", "NoModify"}},
      {0, 0, true, {"NoRemove", "NoModify", "NoRepair"}, {"SystemComponent"}},
  };
  for (const Case& c : cases) {
    InstallTestRun run(kInf);
    Identify(run.run);
    run.run.ctx.nHideUninstall = c.nHide;
    run.run.ctx.dwUninstallOptions = c.dwOptions;
    run.run.ctx.bServiceMode = c.bService;
    RegisterInstallation(run.run);
    for (const std::string& name : c.present)
      EXPECT_TRUE(run.machine.HasRegValue(RegRoot::LocalMachine, kEntry, name))
          << c.nHide << " lacks " << name;
    for (const std::string& name : c.absent)
      EXPECT_FALSE(run.machine.HasRegValue(RegRoot::LocalMachine, kEntry, name))
          << c.nHide << " has " << name;
  }
}

TEST_F(Registration, CommandsAreBuiltFromTheInstalledFileUnlessGiven) {
  BuildUninstallCommands(t.run);
  EXPECT_EQ(t.run.variables.Get("UninstallString"),
            "\"C:\\Windows\\_UnInst.exe\" \"C:\\Program Files\\Product\\Setup.inf\" /U");
  EXPECT_EQ(t.run.variables.Get("ReinstallString"),
            "\"C:\\Windows\\_UnInst.exe\" \"C:\\Program Files\\Product\\Setup.inf\" /X4");
  EXPECT_EQ(BuiltUninstallCommand("C:\\W\\_UnInst.exe", "C:\\A B\\S.inf", false, true),
            "C:\\W\\_UnInst.exe \"C:\\A B\\S.inf\" /U")
      << "before Windows 4.0 the program is not quoted";
  InstallTestRun admin(kInf);
  Identify(admin.run);
  admin.run.ctx.bAdminInstallation = true;
  admin.run.ctx.szAdminUninstallString = "%ProductName%.exe /U";
  BuildUninstallCommands(admin.run);
  EXPECT_EQ(admin.run.variables.Get("UninstallString"), "Product.exe /U");
  EXPECT_EQ(admin.run.variables.Get("ReinstallString"),
            "\"C:\\Windows\\_UnInst.exe\" \"C:\\Program Files\\Product\\Setup.inf\" /X4");
}

TEST_F(Registration, ASectionCountedTwiceIsRemovedByTheSecondUninstall) {
  const std::string sections = std::string(kRecord) + "\\Sections";
  EXPECT_TRUE(StepSectionCount(t.run, "Shared"));
  EXPECT_TRUE(StepSectionCount(t.run, "Shared"));
  t.run.ctx.bRepair = true;
  EXPECT_TRUE(StepSectionCount(t.run, "Shared")) << "a repair acts without counting";
  t.run.ctx.bRepair = false;
  EXPECT_EQ(m.RegString(RegRoot::LocalMachine, sections, "Shared"), "2");
  t.run.ctx.bUninstall = true;
  EXPECT_FALSE(StepSectionCount(t.run, "Shared")) << "another product still uses it";
  EXPECT_EQ(m.RegString(RegRoot::LocalMachine, sections, "Shared"), "1");
  EXPECT_TRUE(StepSectionCount(t.run, "Shared"));
  EXPECT_FALSE(m.HasRegValue(RegRoot::LocalMachine, sections, "Shared"));
  EXPECT_TRUE(StepSectionCount(t.run, "Shared")) << "an uncounted section is removed, not below 0";
  EXPECT_FALSE(m.HasRegValue(RegRoot::LocalMachine, sections, "Shared"));
}

// A first install that is aborted leaves no registration: the scenario aborted-first-install.
TEST_F(Registration, AnAbortedLaterRunKeepsTheRegistration) {
  InstallTestRun again(
      "[Application]\n[Options]\nA=A,DEFAULT\nB=B,DEFAULT\n[A]\n1:a\n[B]\n1:FAIL\n");
  Identify(again.run);
  again.machine.SetRegString(RegRoot::LocalMachine, kRecord, "ProductName", "P");
  ASSERT_TRUE(BuildOptions(again.run));
  EXPECT_FALSE(RunInstallationWithRegistration(again.run));
  EXPECT_EQ(again.machine.RegString(RegRoot::LocalMachine, kRecord, "ProductName"), "P");
}

// A run killed part-way leaves its journal in the record; the next run of the product puts every
// count and option value back as it was before the killed run (a shared file the killed run put
// on the disk keeps a count of 0, so that the next install counts it once), and cleans up a
// product that was not registered before. The journal is in the record's hive: the user's in a
// user setup. A run that finds none changes nothing.
TEST_F(Registration, AKilledRunsCountsAndOptionsAreUndoneByTheNextRun) {
  constexpr char kShared[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
  const std::string sections = std::string(kRecord) + "\\Sections";
  const std::string options = std::string(kRecord) + "\\Options";
  for (const bool bRegisteredBefore : {false, true}) {
    for (const bool bUserPart : {false, true}) {
      const std::string what = std::string(bRegisteredBefore ? "registered" : "first") +
                               (bUserPart ? " user setup" : " install");
      InstallTestRun killed(kInf);
      Identify(killed.run);
      killed.run.ctx.bUserPartRun = bUserPart;
      test::TestMachine& on = killed.machine;
      const RegRoot root = bUserPart ? RegRoot::CurrentUser : RegRoot::LocalMachine;
      on.WriteFile("C:\\Common\\old.dll", "shared before");
      ASSERT_EQ(on.Machine().Reg().CreateKey(RegRoot::LocalMachine, kShared), 0u);
      on.Machine().Reg().SetValue(RegRoot::LocalMachine, kShared, "C:\\Common\\old.dll",
                                  {platform::REG_DWORD, {1, 0, 0, 0}});
      if (bRegisteredBefore) {
        on.SetRegString(root, kRecord, "ProductName", "Product");
        on.SetRegString(root, sections, "Common", "1");
        on.SetRegString(root, options, "A", "1");
      }
      OpenRunJournal(killed.run, bRegisteredBefore);
      for (const char* pszSection : {"Common", "Own", "Own"})
        StepSectionCount(killed.run, pszSection);
      for (const char* pszFile : {"C:\\Common\\old.dll", "C:\\Common\\new.dll"}) {
        const bool bThere = on.Machine().Files().FileExists(pszFile);
        NoteSharedFileBeforeRun(killed.run, pszFile, bThere);
        on.WriteFile(pszFile, "shared");
        CountSharedFileUp(killed.run, pszFile, bThere, 0, "");
      }
      RecordOptionInstalled(killed.run, "B");
      // Killed here; the next run of the product on the same machine.
      const auto next = NextRun(on);
      ASSERT_TRUE(RecoverInterruptedRun(*next)) << what;
      EXPECT_TRUE(FollowsInterruptedRun(*next)) << what;
      EXPECT_FALSE(on.HasRegKey(root, std::string(kRecord) + "\\InProgress")) << what;
      platform::RegValue value;
      next->machine.Reg().QueryValue(RegRoot::LocalMachine, kShared, "C:\\Common\\new.dll", value);
      EXPECT_EQ(value.data, (std::vector<uint8_t>{0, 0, 0, 0})) << what;
      next->machine.Reg().QueryValue(RegRoot::LocalMachine, kShared, "C:\\Common\\old.dll", value);
      EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 0, 0, 0})) << what;
      EXPECT_EQ(on.RegString(root, sections, "Common"), bRegisteredBefore ? "1" : "") << what;
      EXPECT_FALSE(on.HasRegValue(root, sections, "Own")) << what;
      EXPECT_EQ(on.RegString(root, options, "A"), bRegisteredBefore ? "1" : "") << what;
      EXPECT_FALSE(on.HasRegValue(root, options, "B")) << what;
      EXPECT_EQ(on.HasRegKey(root, kRecord), bRegisteredBefore) << what;
      const auto later = NextRun(on);
      EXPECT_TRUE(RecoverInterruptedRun(*later));
      EXPECT_FALSE(FollowsInterruptedRun(*later)) << what;
    }
  }
}

#ifdef TARVIUM_FAULT_SEAM
// An aborted first install on a full disk cannot delete its record: it says so (5519) and its
// journal stays, so that the next run, with room again, finishes the clean-up.
TEST_F(Registration, AnAbortedFirstInstallOnAFullDiskReportsItsRecordAndTheNextRunRemovesIt) {
  InstallTestRun aborted(kInf);
  Identify(aborted.run);
  test::TestMachine& on = aborted.machine;
  SetCopyLineProcessor(aborted.run, [&on](SetupRun&, const std::string& line, const SectionCall&) {
    if (line != "1:b") return true;
    on.Machine().EmulatedFiles().SetFaultPlan({.bDiskFull = true});
    on.Machine().SqlRegistry().RefuseWrites(true, 0, platform::ERROR_DISK_FULL);
    return false;  // the copy failed: the disk is full
  });
  ASSERT_TRUE(BuildOptions(aborted.run));
  EXPECT_FALSE(RunInstallationWithRegistration(aborted.run));
  ASSERT_EQ(aborted.Messages(), std::vector<int>{5519});
  EXPECT_EQ(aborted.run.shownMessages[0].args,
            (std::vector<MessageArg>{std::string(kRecord), int64_t{platform::ERROR_DISK_FULL}}));
  EXPECT_EQ(on.RegString(RegRoot::LocalMachine, std::string(kRecord) + "\\Options", "A"), "1");
  on.Machine().SqlRegistry().RefuseWrites(false);
  on.Machine().EmulatedFiles().SetFaultPlan({});
  EXPECT_TRUE(RecoverInterruptedRun(*NextRun(on)));
  EXPECT_FALSE(on.HasRegKey(RegRoot::LocalMachine, kRecord));
}

// A registry that another process holds longer than a call waits refuses the registration as one
// change: the values are then written one by one, so that the product is still registered and
// can be removed.
TEST_F(Registration, ARegistryTooBusyForOneChangeGetsTheValuesOneByOne) {
  AnsweredPrompts(t.run).push_back("DBSERVER=host");
  BuildUninstallCommands(t.run);
  m.Machine().SqlRegistry().RefuseWritesAsOne(true);
  RegisterInstallation(t.run);
  m.Machine().SqlRegistry().RefuseWritesAsOne(false);
  EXPECT_EQ(m.RegString(RegRoot::LocalMachine, kRecord, "ProductName"), "Product");
  EXPECT_EQ(m.RegString(RegRoot::LocalMachine, kRecord, "AppPath"), "C:\\Program Files\\Product\\");
  EXPECT_EQ(m.RegString(RegRoot::LocalMachine, std::string(kRecord) + "\\Prompts", "DBSERVER"),
            "host");
  EXPECT_EQ(m.RegString(RegRoot::LocalMachine, kEntry, "DisplayName"), "Product 1.0");
  EXPECT_EQ(m.RegString(RegRoot::LocalMachine, kEntry, "UninstallString"),
            "\"C:\\Windows\\_UnInst.exe\" \"C:\\Program Files\\Product\\Setup.inf\" /U");
  EXPECT_FALSE(m.ReadFile("C:\\Windows\\_UnInst.exe").empty());
}
#endif

TEST_F(Registration, OtherUsersAreCountedAndAskedFor) {
  const std::string users = std::string(kRecord) + "\\Users";
  for (const char* pszUser : {"Anna", "user", "Ben"})
    m.SetRegString(RegRoot::LocalMachine, users, pszUser, "d");
  EXPECT_EQ(CountOtherUsers(t.run), 2u) << "the current user does not count, in any case";
  t.run.ui = std::make_unique<test::AnsweringUserInterface>(kResultNo);
  EXPECT_FALSE(CheckOtherUsers(t.run));
  ASSERT_EQ(t.run.shownMessages.size(), 1u);
  EXPECT_EQ(t.run.shownMessages[0].nMessage, 5563);
  EXPECT_EQ(std::get<int64_t>(t.run.shownMessages[0].args[1]), 2);
  t.run.ctx.bSilent = true;
  EXPECT_TRUE(CheckOtherUsers(t.run)) << "silent: no question; the user has no part to remove";
  t.run.ctx.dwRunFlags = kRunFlagMachinePart;
  t.run.ctx.szErrorFile = "C:\\err.txt";
  EXPECT_EQ(UserPartRemovalCommand(t.run),
            "\"D:\\Setup.exe\" \"D:\\Setup.inf\" /U /S /X2 /E\"C:\\err.txt\"");
}

// The older version's registered command runs through the machine: here an engine image whose
// engine is a script that writes down how it was called.
TEST(PreviousVersion, TwoOverOneRunsTheOldUninstallCommandWithItsSwitches) {
  test::TestMachine machine;
  test::TempDir host;
  const std::string log = host.Path() + "/args.txt";
  const std::string engine =
      host.WriteScript("engine.sh", "printf '%s\\n' \"$*\" >> '" + log + "'");
  auto reopened = machine.OpenReconfigured([&](auto& config) { config.szEngine = engine; });
  ASSERT_EQ(reopened->Programs().PlaceEngineImage("C:\\Windows\\_UnInst.exe"), 0u);
  SetupRun run(*reopened);
  AttachScriptEngine(run);
  run.variables.Set("MachineKeyName", "Maker\\Product\\2.0");
  run.ctx.bSilent = true;
  run.ctx.iSilentLevel = 1;
  run.ctx.szErrorFile = "C:\\e.txt";
  const std::string command = "\"C:\\Windows\\_UnInst.exe\" \"C:\\P\\Setup.inf\" /U";
  for (const char* pszBase : {"Software\\Maker\\Product\\1.0\\Setup",
                              "Software\\Wow6432Node\\Maker\\Product\\1.5\\Setup"})
    machine.SetRegString(RegRoot::LocalMachine, pszBase, "UninstallString", command);
  machine.SetRegString(RegRoot::LocalMachine, "Software\\Maker\\Product\\1.0\\Setup",
                       "MachineSetup", "1");
  uint32_t dwExitCode = 1;
  ASSERT_TRUE(RemovePreviousVersion(run, {"1.0", "", false}, dwExitCode));
  EXPECT_EQ(dwExitCode, 0u);
  ASSERT_TRUE(RemovePreviousVersion(run, {"1.5", "", true}, dwExitCode));
  EXPECT_EQ(test::ReadHostFile(log),
            "C:\\P\\Setup.inf /U /Xa /S1 /AW /EC:\\e.txt\n"
            "C:\\P\\Setup.inf /U /Xa /X40 /S1 /EC:\\e.txt\n");
  // Without a registered command the removal fails, and Ignore at 5570 goes on.
  run.ui = std::make_unique<test::AnsweringUserInterface>(kResultIgnore);
  EXPECT_TRUE(RemovePreviousVersion(run, {"0.9", "", false}, dwExitCode));
  EXPECT_EQ(run.shownMessages.back().nMessage, 5570);
}

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
  // The user's first run, with only the machine's record: the scenario user-part-first-run.
  machine.SetRegString(RegRoot::CurrentUser, record, "ProductName", "Product");
  machine.SetRegString(RegRoot::CurrentUser, record, "AppPath", "C:\\Mine\\");
  EXPECT_TRUE(ReadInstalledData(run));
  EXPECT_EQ(run.variables.Get("ApplicationDir"), "C:\\Mine\\");
  EXPECT_EQ(run.variables.Get("DataDir"), "C:\\Data\\") << "missing in the user's record";
}

}  // namespace
}  // namespace tarvium
