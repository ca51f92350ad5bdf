// The install pass and the processing of sections: the visiting orders, the references and their
// once-per-pass rule, the dispatch by section name, missing sections, the recorded options and
// the user's abort between options.
// The requirement lines (operands, function calls, comparisons) and the names of the installation
// media. The section's alternatives and the first failed line are the scenarios requirement-*.
#include <gtest/gtest.h>

#include "engine/variable_sections.h"
#include "install/build_options.h"
#include "install/install_pass.h"
#include "install/installation_media.h"
#include "install/options_registry.h"
#include "install/process_section.h"
#include "install/progress.h"
#include "install/requirements.h"
#include "install_test_run.h"
#include "support/cancelling_ui.h"

namespace tarvium::test {
namespace {

using Names = std::vector<std::string>;

constexpr const char* kTree =
    "[Options]\nA=A,DEFAULT\nA\\B=B,DEFAULT\nA\\C=C,DEFAULT\nD=D,DEFAULT\n"
    "[A]\n1:a\n[A\\B]\n1:b\n[A\\C]\n1:c\n[D]\n1:d\n";

// The orders of the passes and the options they record: the scenarios extension-around-options
// and uninstall-reverse-order, and the Options key in the Diff of every install scenario.
TEST(InstallPass, OptionNameOfThePassAndTheUserKeysOfRemovedOptions) {
  InstallTestRun install(kTree);
  ASSERT_TRUE(BuildOptions(install.run));
  ASSERT_TRUE(RunInstallationPasses(install.run));
  EXPECT_EQ(install.run.variables.Get("OptionName"), "D");

  // A machine-part removal (/X2) leaves the option's per-user key; a plain one deletes it.
  for (const uint32_t dwRunFlags : {kRunFlagMachinePart, 0u}) {
    InstallTestRun remove(std::string(kTree) + "[UserKeyNames]\nA\\C=Vendor\\%OptionName%\n");
    remove.machine.Machine().Reg().CreateKey(platform::RegRoot::CurrentUser,
                                             "Software\\Vendor\\C\\Sub");
    for (const char* name : {"A", "A\\B", "A\\C", "D"}) RecordOptionInstalled(remove.run, name);
    remove.run.ctx.bUninstall = true;
    remove.run.ctx.dwRunFlags = dwRunFlags;
    ASSERT_TRUE(BuildOptions(remove.run));
    ASSERT_TRUE(RunInstallationPasses(remove.run));
    EXPECT_EQ(remove.machine.HasRegKey(platform::RegRoot::CurrentUser, "Software\\Vendor\\C"),
              dwRunFlags != 0);
    EXPECT_TRUE(remove.machine.HasRegKey(platform::RegRoot::CurrentUser, "Software\\Vendor"));
    EXPECT_FALSE(IsRecordedInstalled(remove.run, "A\\C")) << "the option's record goes either way";
  }
}

TEST(InstallPass, FullAndStandardModesInstallWhatTheyPropose) {
  const char* text = "[Options]\nA=A,DEFAULT\nB=B\n[A]\n1:a\n[B]\n1:b\n";
  for (const auto& [nMode, szOptions, sections] :
       std::vector<std::tuple<int, std::string, Names>>{{kModeComplete, "", {"A", "B"}},
                                                        {kModeTypical, "", {"A"}},
                                                        {kModeCustom, "", {"A"}},
                                                        {kModeComplete, "-B", {"A"}}}) {
    InstallTestRun t(text);
    t.run.ctx.iInstallMode = nMode;
    t.run.ctx.szOptions = szOptions;
    ASSERT_TRUE(BuildOptions(t.run));
    t.run.install.applyOptionSwitch(t.run, szOptions);
    ASSERT_TRUE(t.run.install.runInstallation(t.run));
    EXPECT_EQ(t.CarriedOutSections(), sections) << nMode << szOptions;
  }
}

TEST(InstallPass, FailuresAndUserAbortStopBetweenOptions) {
  InstallTestRun failing("[Options]\nA=A,DEFAULT\nB=B,DEFAULT\n[A]\n1:FAIL\n[B]\n1:b\n");
  ASSERT_TRUE(BuildOptions(failing.run));
  EXPECT_FALSE(RunInstallationPasses(failing.run));
  EXPECT_EQ(failing.CarriedOutSections(), Names{"A"});
  EXPECT_FALSE(IsRecordedInstalled(failing.run, "A"));

  InstallTestRun cancelled(kTree);
  auto ui = std::make_unique<CancellingUserInterface>(2);
  CancellingUserInterface& pumps = *ui;
  cancelled.run.ui = std::move(ui);
  ASSERT_TRUE(BuildOptions(cancelled.run));
  EXPECT_FALSE(RunInstallationPasses(cancelled.run));
  EXPECT_EQ(cancelled.CarriedOutSections(), (Names{"A", "A\\B"}));
  EXPECT_EQ(pumps.nPumped, 2);
  EXPECT_TRUE(IsRecordedInstalled(cancelled.run, "A\\B"));  // recorded before the pump
}

TEST(SectionProcessing, ReferencesRunOncePerPassUnlessRepeated) {
  InstallTestRun t(
      "[Options]\nA=A,DEFAULT\nB=B,DEFAULT\nC=C,DEFAULT\n"
      "[A]\n#Common\n[B]\n# Common , SHAREDDLL\n"
      "[C]\n#!Common\n#Bad, NOSUCHWORD\n"
      "[Common]\n1:common\n#Inner\n[Inner]\n1:inner\n#!common\n");
  ASSERT_TRUE(BuildOptions(t.run));
  EXPECT_FALSE(RunInstallationPasses(t.run));
  // Inner's "#!common" is passed over: Common is being processed around it.
  EXPECT_EQ(t.CarriedOutSections(), (Names{"Common", "Inner", "Common", "Inner"}));
  ASSERT_EQ(t.copied.size(), 6u);
  EXPECT_FALSE(t.copied[2].bCarryOut);              // B's reference only counts shared files
  EXPECT_EQ(t.copied[2].dwSectionFlags, 0x800u);    // with the reference's flags
  EXPECT_EQ(t.Messages(), std::vector<int>{5530});  // C's bad reference fails C
  EXPECT_FALSE(IsRecordedInstalled(t.run, "C"));
  EXPECT_TRUE(t.run.position.section.empty() && t.run.position.nLine == 0)
      << "after the pass no line is processed, so a later message names none: "
      << t.run.position.section << " " << t.run.position.nLine;
}

TEST(SectionProcessing, MissingSectionsAndWildcard) {
  InstallTestRun missing("[Options]\nA=A,DEFAULT\nP=P,DEFAULT\nP\\Q=Q,DEFAULT\n[P\\Q]\n1:q\n");
  ASSERT_TRUE(BuildOptions(missing.run));
  EXPECT_EQ(missing.Messages(), std::vector<int>{5529});  // from the size computation
  EXPECT_FALSE(RunInstallationPasses(missing.run));
  EXPECT_EQ(missing.Messages(), (std::vector<int>{5529, 5529}));
  EXPECT_EQ(missing.CarriedOutSections(), Names{});

  InstallTestRun wildcard(
      "[Options]\nP=P,DEFAULT\nP\\Q=Q,DEFAULT|WILDCARD\n"
      "[%Option%]\nIF %OptionName%==Q THEN '1:%Option%.txt'\n");
  ASSERT_TRUE(BuildOptions(wildcard.run));
  ASSERT_TRUE(RunInstallationPasses(wildcard.run));
  EXPECT_TRUE(wildcard.Messages().empty());
  ASSERT_EQ(wildcard.copied.size(), 1u);
  EXPECT_EQ(wildcard.copied[0].line, "1:P\\Q.txt");
  EXPECT_EQ(wildcard.copied[0].section, "%Option%");
}

TEST(SectionProcessing, DispatchBySectionName) {
  InstallTestRun t(
      "[Options]\nA=A,DEFAULT\n"
      "[A]\n#Ini:app.ini\n#Settings.ini\n#Bat:start.bat\n#Win.ini\n#Reg\n#x.reg\n"
      "#ODBC Driver\n#Config.sys\n#Other\n"
      "[Other]\n1:other\n");
  std::vector<std::string> calls;
  for (int kind = 0; kind < static_cast<int>(SectionKind::Count); ++kind)
    RegisterSectionHandler(
        t.run, static_cast<SectionKind>(kind), [&calls, kind](SetupRun&, const HandlerCall& call) {
          calls.push_back(std::to_string(kind) + " " + call.section + " " + call.file);
          return true;
        });
  ASSERT_TRUE(BuildOptions(t.run));
  ASSERT_TRUE(RunInstallationPasses(t.run));
  EXPECT_EQ(calls, (Names{"6 Ini:app.ini app.ini", "6 Settings.ini Settings.ini",
                          "5 Bat:start.bat start.bat", "6 Win.ini Win.ini", "7 Reg ", "7 x.reg ",
                          "0 ODBC Driver ", "3 Config.sys c:\\config.sys"}));
  EXPECT_EQ(t.CarriedOutSections(), Names{"Other"});

  calls.clear();
  t.run.ctx.bTestRun = true;  // a test run configures nothing
  ASSERT_TRUE(RunInstallationPasses(t.run));
  EXPECT_EQ(calls, Names{});
}

TEST(SectionProcessing, ConfigureDecisionAndInstalledBefore) {
  enum RunKind { kPlain, kAdmin, kWorkstation, kUser, kTest };
  const std::vector<std::tuple<RunKind, std::string, bool>> cases = {
      {kPlain, "", true},
      {kPlain, "CLIENT", true},
      {kWorkstation, "CLIENT", false},  // the reference itself does not apply
      {kWorkstation, "CLIENT+MACHINE", false},
      {kUser, "CLIENT", true},
      {kUser, "MACHINE", false},
      {kAdmin, "ADMIN", true},
      {kAdmin, "", false},
      {kPlain, "ADMIN", false},
      {kTest, "", false},
  };
  for (const auto& [kind, flags, bConfigured] : cases) {
    InstallTestRun t("[Options]\nA=A,DEFAULT\n[A]\n#cfg.ini, " + flags + "\n");
    t.run.ctx.bAdminSetup = kind == kAdmin;
    t.run.ctx.bWorkstationSetup = kind == kWorkstation;
    t.run.ctx.bUserPartRun = kind == kUser;
    t.run.ctx.bTestRun = kind == kTest;
    bool bCalled = false;
    RegisterSectionHandler(t.run, SectionKind::IniFile,
                           [&](SetupRun&, const HandlerCall&) { return bCalled = true; });
    ASSERT_TRUE(BuildOptions(t.run));
    t.Option("A").selected = true;
    ASSERT_TRUE(RunInstallationPasses(t.run)) << kind << flags;
    EXPECT_EQ(bCalled, bConfigured) << kind << " " << flags;
  }

  InstallTestRun again("[Options]\nA=A,DEFAULT\n[A]\n#cfg.ini\n#new.ini\n");
  RecordOptionInstalled(again.run, "cfg.ini");
  Names installedBefore;
  RegisterSectionHandler(again.run, SectionKind::IniFile, [&](SetupRun&, const HandlerCall& call) {
    if (call.bInstalledBefore) installedBefore.push_back(call.section);
    return true;
  });
  ASSERT_TRUE(BuildOptions(again.run));
  ASSERT_TRUE(RunInstallationPasses(again.run));
  EXPECT_EQ(installedBefore, Names{"cfg.ini"});
  again.run.ctx.bServiceRelease = true;
  installedBefore.clear();
  ASSERT_TRUE(RunInstallationPasses(again.run));
  EXPECT_EQ(installedBefore, (Names{"cfg.ini", "new.ini"}));
}

TEST(SectionProcessing, ProgressMovesAndIsTraced) {
  InstallTestRun t("");
  SetProgressRange(t.run, 0);
  EXPECT_EQ(EngineOf(t.run).nProgressRange, 100);
  SetProgressRange(t.run, 400);
  MoveProgress(t.run, 100);
  MoveProgress(t.run, 0);
  MoveProgress(t.run, 100);
  EXPECT_EQ(EngineOf(t.run).nProgressPosition, 200);
  MoveProgress(t.run, kProgressReset);
  EXPECT_EQ(EngineOf(t.run).nProgressPosition, 0);
}

TEST(Requirements, ComparisonsOperandsAndFaults) {
  InstallTestRun t("");
  SetVariable(t.run, "WinVer", "6.10");
  const std::vector<std::pair<const char*, bool>> cases = {
      {"%WinVer% >= 6.1", true},   // versions: 6.10 against 6.1
      {"%WinVer% >= 6.9", false},  // 10 is below 9 as text before format 14.10
      {"10 > 9", true},            // integers
      {"-3 < 2", true},
      {"abc == ABC", true},  // text without regard to case
      {"abc = abd", false},
      {"abc <> abd", true},
      {"abc != abc", false},
      {"\"a b\" == 'A B'", true},    // quotes group a token
      {"Len(abcd) == 4", true},      // a function call, attached
      {"Uppercase (x) == X", true},  // ... or after a blank
      {"Len(%WinVer%) <= 4", true},
      {"NoSuchFunc(x) == NoSuchFunc(x)", true},
      {"1 INGLOBALGROUP 1", false},  // not a requirement operator
      {"1 ~ 1", false},
  };
  for (const auto& [line, bHolds] : cases)
    EXPECT_EQ(RequirementHolds(t.run, line, line), bHolds) << line;
  EXPECT_TRUE(t.Messages().empty());
  for (const char* faulty : {"1 ==", "1", "  "})
    EXPECT_FALSE(RequirementHolds(t.run, faulty, faulty));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5528, 5528, 5528}));
}

TEST(InstallationMedia, CabinetNamesAndLabels) {
  for (const auto& [cabTemplate, nMedium, name] :
       std::vector<std::tuple<std::string, uint32_t, std::string>>{
           {"Data00.cab", 1, "Data01.cab"},
           {"Data00.cab", 2, "Data02.cab"},
           {"Data00.cab", 123, "Data12.cab"},
           {"D0ta0.cab", 7, "D07a0.cab"},
           {"Data.cab", 3, "Data.cab"},
           {"Disk0", 4, "Disk4"}})
    EXPECT_EQ(CabinetName(cabTemplate, nMedium), name) << cabTemplate << " " << nMedium;

  InstallTestRun t("[Disks]\n1=Product CD %Label%\n2=\n");
  t.run.variables.Set("Src", "Z:\\media");
  SetVariable(t.run, "Label", "One");
  EXPECT_EQ(CabinetPath(t.run, 0), "Z:\\media\\Setup.cab");
  EXPECT_EQ(CabinetPath(t.run, 2), "");
  t.run.ctx.szCabTemplateName = "%Prefix%00.cab";
  SetVariable(t.run, "Prefix", "Data");
  EXPECT_EQ(CabinetPath(t.run, 2), "Z:\\media\\Data02.cab");
  EXPECT_EQ(MediumLabel(t.run, 0), "Product CD One");
  EXPECT_EQ(MediumLabel(t.run, 1), "Product CD One");
  EXPECT_EQ(MediumLabel(t.run, 2), "Installation media 2");
  EXPECT_EQ(MediumLabel(t.run, 3), "Installation media 3");
}

}  // namespace
}  // namespace tarvium::test
