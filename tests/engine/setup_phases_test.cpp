// The walk over the wizard pages: conditions, Back to the page shown before, Cancel, and the
// values a page hands back.
// The sizes of the mode page: bytes, KB and MB at their borders, rounded as printf rounds.
// The end of the installation run: which restart, log-off or shutdown a run ends with, and which
// end or abort message it shows, for the reboot modes, run flag 0x08 and silent runs. The run has
// no message catalog attached, so a question is answered OK (not Yes) and recorded. The exit-code
// table: the rules no scenario reaches, and the negation after an abort with a restart due.
// The setup extension library on a real temporary machine with the test extension built in the
// tree: both hook forms with their texts, mode bits and callbacks, events answered with 0, and
// the load failures with their messages (a missing library, one the machine does not trust, a
// missing hook function).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/exit_code.h"
#include "engine/extension_library.h"
#include "engine/mode_size_text.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/code_page.h"
#include "platform/emulated/files/file_digest.h"
#include "support/answering_ui.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

// Answers pages from a list (then Next) and records which pages were asked, with Back offered.
class ScriptedPages final : public test::AnsweringUserInterface {
 public:
  ScriptedPages() : AnsweringUserInterface(2) {}
  int ShowPage(ui::PageRequest& page) override {
    asked.push_back({page.kind, page.bBack});
    if (page.kind == ui::PageKind::Directory) page.value = "D:";
    if (answers.empty()) return page.nDefaultChoice;
    const int nAnswer = answers.front();
    answers.pop_front();
    return nAnswer;
  }

  std::deque<int> answers;
  std::vector<std::pair<ui::PageKind, bool>> asked;
};

// A run that asks the terms of use, the directory and the user page.
struct PageRun {
  PageRun() {
    auto pages = std::make_unique<ScriptedPages>();
    ui = pages.get();
    run.ui = std::move(pages);
    run.inf.emplace();
    run.ctx.bAskLicence = run.ctx.bAskDir = run.ctx.bAskUser = true;
    run.ctx.szLicenceText = "Terms";
  }

  test::TestMachine machine;
  SetupRun run{machine.Machine()};
  ScriptedPages* ui = nullptr;
};

TEST(WizardPages, BackReturnsToThePageShownBeforeAndCancelStops) {
  PageRun walked;
  ScriptedPages* ui = walked.ui;
  SetupRun& run = walked.run;
  ui->answers = {1, ui::kPageBack, 1, 1, 1};
  AskPages(run);
  using K = ui::PageKind;
  const std::vector<std::pair<K, bool>> expected = {{K::Licence, false},
                                                    {K::Directory, true},
                                                    {K::Licence, false},
                                                    {K::Directory, true},
                                                    {K::User, true}};
  EXPECT_EQ(ui->asked, expected) << "pages whose condition fails are passed over";
  EXPECT_TRUE(run.ctx.bOk);
  EXPECT_EQ(run.variables.Get("ApplicationDir"), "D:\\") << "a bare drive is its root";
  EXPECT_EQ(run.ctx.iInstallMode, 6108) << "without the mode page a plain run is custom";

  PageRun cancelled;
  cancelled.ui->answers = {1, ui::kPageCancel};
  AskPages(cancelled.run);
  EXPECT_FALSE(cancelled.run.ctx.bOk);
  EXPECT_EQ(cancelled.ui->asked.size(), 2u);
}

TEST(WizardPages, SilentAndRepairRunsAskNothing) {
  for (bool SetupContext::*pMode : {&SetupContext::bSilent, &SetupContext::bRepair}) {
    PageRun quiet;
    quiet.run.ctx.*pMode = true;
    AskPages(quiet.run);
    EXPECT_TRUE(quiet.ui->asked.empty());
    EXPECT_TRUE(quiet.run.ctx.bOk);
  }
  PageRun workstation;
  workstation.run.ctx.bWorkstationSetup = true;
  workstation.run.ctx.bAskOptions = false;
  workstation.run.ctx.bSilent = true;
  AskPages(workstation.run);
  EXPECT_EQ(workstation.run.ctx.iInstallMode, 6102) << "a fixed setup without options is full";

  PageRun shared;
  shared.run.ctx.bAdminInstallation = shared.run.ctx.bAskShared = true;
  shared.run.ctx.bAskOptions = shared.run.ctx.bAskLicence = false;
  shared.ui->answers = {ui::kChoiceFromServer};
  AskPages(shared.run);
  ASSERT_FALSE(shared.ui->asked.empty());
  EXPECT_EQ(shared.ui->asked[0].first, ui::PageKind::Shared);
  EXPECT_TRUE(shared.run.ctx.bClientSetup);
  EXPECT_EQ(shared.run.ctx.iInstallMode, 6102) << "a client setup chosen on the shared page";
}

TEST(ModeSizeText, UnitsAtTheirBordersRounded) {
  struct Case {
    int64_t nBytes;
    std::string expected;
  };
  const Case cases[] = {
      {0, "0 Bytes"},
      {1023, "1023 Bytes"},
      {1024, "1 KB"},
      {1536, "2 KB"},  // rounds to the even 2 as printf does
      {1048575, "1024 KB"},
      {1048576, "1 MB"},
      {5 * 1048576 + 524288, "6 MB"},
      {int64_t{3} * 1024 * 1048576, "3072 MB"},
  };
  for (const Case& c : cases) EXPECT_EQ(ModeSizeText(c.nBytes, ","), c.expected) << c.nBytes;
}

struct EndCase {
  const char* what;
  int32_t iReboot;
  bool bSilent, bRestartWindows, bConfigChanged;
  uint32_t dwRunFlags;
  bool bExitWindows;
  uint32_t uFlags;
  int nMessage;  // the message shown, 0 for none
};

// Reboot=1 and Reboot=5, silent and under run flag 0x08: the scenarios silent-restart and
// restart-reported-6702 and -6708.
TEST(EndOfInstallation, RestartDecisionAndEndMessage) {
  const EndCase cases[] = {
      {"nothing due", 0, true, false, false, 0, false, 0, 0},
      {"interactive: end message", 0, false, false, false, 0, false, 0, 5511},
      {"Reboot=2 clears a handler's restart", 2, true, false, true, 0, false, 0, 0},
      {"a handler's Windows restart", 0, true, true, false, 0, true, 2, 0},
      {"log off", 3, true, false, false, 0x08, true, 0, 0},
      {"shut down", 4, false, false, false, 0, true, 8, 0},
      {"interactive restart not confirmed", 5, false, false, false, 0, false, 0, 5513},
  };
  test::TestMachine machine;
  for (const EndCase& c : cases) {
    SetupRun run(machine.Machine());
    run.ctx.iReboot = c.iReboot;
    run.ctx.bSilent = c.bSilent;
    run.ctx.bRestartWindows = c.bRestartWindows;
    run.ctx.bConfigChanged = c.bConfigChanged;
    run.ctx.dwRunFlags = c.dwRunFlags;
    EndInstallationRun(run);
    EXPECT_EQ(run.ctx.bExitWindows, c.bExitWindows) << c.what;
    EXPECT_EQ(run.ctx.uExitWindowsFlags, c.uFlags) << c.what;
    EXPECT_EQ(run.shownMessages.empty() ? 0 : run.shownMessages.front().nMessage, c.nMessage)
        << c.what;
  }
}

TEST(EndOfInstallation, AbortsAndScriptEnds) {
  test::TestMachine machine;
  SetupRun aborted(machine.Machine());
  aborted.ctx.bAborted = true;
  aborted.ctx.iReboot = 5;
  EndInstallationRun(aborted);
  ASSERT_EQ(aborted.shownMessages.size(), 1u);
  EXPECT_EQ(aborted.shownMessages[0].nMessage, 5510);
  EXPECT_FALSE(aborted.ctx.bExitWindows) << "an aborted run decides no restart";

  SetupRun silentAbort(machine.Machine());
  silentAbort.ctx.bAborted = silentAbort.ctx.bSilent = true;
  EndInstallationRun(silentAbort);
  EXPECT_TRUE(silentAbort.shownMessages.empty()) << "silent below level 3 keeps it back";

  SetupRun exited(machine.Machine());
  exited.ctx.bAborted = exited.ctx.bExitCommand = true;
  exited.ctx.szExitText = "Done early";
  exited.ctx.iReboot = 1;
  EndInstallationRun(exited);
  EXPECT_FALSE(exited.ctx.bAborted);
  ASSERT_EQ(exited.shownMessages.size(), 1u) << "the exit text, and no end message";
  EXPECT_EQ(exited.shownMessages[0].nMessage, 5567);
  EXPECT_TRUE(exited.ctx.bExitWindows) << "the restart is still decided";
  EXPECT_EQ(machine.RegString(platform::RegRoot::LocalMachine, "Software\\Kelvaron\\Stowfield",
                              "LastError"),
            "Done early");
}

struct EndState {
  bool bAborted, bBySetupData, bAbortedReboot, bExitWindows;
  uint32_t dwRunFlags;
  int32_t iReboot;
  int32_t nExpected;
};

// The rules that a whole run shows are the scenarios' exit codes: 0, 6702 and 6708 reported under
// run flag 0x08, 6704 of a version mismatch, an unmet requirement and AbortReboot, and -6702 and
// -6708 of AbortReboot with a restart due.
TEST(ExitCode, TheRulesNoScenarioReaches) {
  const EndState cases[] = {
      {false, false, false, true, 0, 5, 0},        // a restart the engine performs itself
      {false, false, false, false, 0x08, 5, 0},    // run flag 0x08 but nothing due
      {false, false, false, true, 0x08, 0, 6702},  // restart due, no reboot kind decided
      {false, false, false, true, 0x0A, 2, 6702},  // other bits do not matter
      {false, false, false, true, 0x08, 3, 6703},  // log off
      {false, false, false, true, 0x08, 4, 6706},  // shut down
      {true, false, false, true, 0x08, 5, -1},     // an abort wins over the restart
      {true, false, true, false, 0, 0, 1},         // -1 negated
  };
  for (const EndState& c : cases) {
    SetupContext ctx;
    ctx.bAborted = c.bAborted;
    ctx.bAbortedBySetupData = c.bBySetupData;
    ctx.bAbortedReboot = c.bAbortedReboot;
    ctx.bExitWindows = c.bExitWindows;
    ctx.dwRunFlags = c.dwRunFlags;
    ctx.iReboot = c.iReboot;
    EXPECT_EQ(ExitCodeOfRun(ctx), c.nExpected)
        << c.bAborted << c.bBySetupData << c.bAbortedReboot << c.bExitWindows << " flags "
        << c.dwRunFlags << " reboot " << c.iReboot;
  }
}

constexpr int kIgnore = 5;

struct ExtensionLibraryTest : ::testing::Test {
  ExtensionLibraryTest() {
    InstallExtension("TestExt.dll");
    Trust("TestExt.dll");
    run.ctx.szInfFile = "C:\\Media\\Setup.inf";
    run.ctx.szSetupExtDll = "C:\\Ext\\TestExt.dll";
    SetVariable(run, "TestHookLog", log);
  }

  std::string HostPath(const std::string& relative) const {
    return machine.Path() + "/drive_c/" + relative;
  }
  void InstallExtension(const std::string& name) {
    std::filesystem::create_directories(HostPath("Ext"));
    std::filesystem::copy_file(TARVIUM_TEST_EXTENSION, HostPath("Ext/" + name),
                               std::filesystem::copy_options::overwrite_existing);
  }
  // What an administrator does: the module's digest into the machine's allow-list.
  void Trust(const std::string& name) {
    std::string digest;
    ASSERT_EQ(platform::Sha256OfHostFile(HostPath("Ext/" + name), digest), 0u);
    const std::string list = machine.Path() + "/trusted-modules.txt";
    std::ofstream(list) << digest << "  " << name << "\n";
    ::chmod(list.c_str(), 0644);
  }
  std::vector<std::string> TakeLog() {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::filesystem::remove(log);
    return lines;
  }
  std::string Variable(const std::string& name) {
    std::string value;
    run.machine.Env().GetVariable(name, value);
    return value;
  }

  test::TestMachine machine;
  SetupRun run{machine.Machine()};
  std::string log = machine.Path() + "/hook.log";
};

TEST_F(ExtensionLibraryTest, BothTextFormsPassTheBlockTextsModesAndCallbacks) {
  struct Case {
    bool bUnicode;
    const char* pszFunction;
    const char* pszPrefix;  // form, and for the 8-bit form the further arguments
    size_t nTextMax;        // the UTF-16 copies are cut to 255 characters
  };
  const Case cases[] = {{false, "", "A", 300}, {true, "SetupHookFuncW", "W", 255}};
  const std::string longText(300, 'x');
  for (const Case& c : cases) {
    run.ctx.bSetupExtIsUnicode = c.bUnicode;
    run.ctx.szSetupHookFunc = c.pszFunction;
    run.ctx.bSilent = run.ctx.bRepair = run.ctx.bUserPartRun = true;
    ASSERT_TRUE(LoadSetupExtension(run)) << c.pszPrefix;
    SetVariable(run, "TestHookProbe",
                "Gr\xFC\xDF"
                "e");  // "Grüße" in the ANSI code page
    EXPECT_EQ(CallSetupHook(run, kHookBeforeCopy, "E:\\a.dll", "C:\\App\\a.dll"), 1);
    run.ctx.bSilent = run.ctx.bRepair = run.ctx.bUserPartRun = false;
    run.ctx.bAdminSetup = run.ctx.bUninstall = run.ctx.bModify = true;
    run.ctx.bClientSetup = run.ctx.bFromCD = run.ctx.bWorkstationSetup = true;
    EXPECT_EQ(CallSetupHook(run, kHookAfterOption, longText, "", "third"), 1);
    run.ctx.bAdminSetup = run.ctx.bUninstall = run.ctx.bModify = false;
    run.ctx.bClientSetup = run.ctx.bFromCD = run.ctx.bWorkstationSetup = false;
    EXPECT_EQ(Variable("TestHookLastEvent"), "7");

    const std::string args = c.bUnicode ? "none" : "block";
    const std::string form = c.pszPrefix;
    const std::vector<std::string> expected = {
        form +
            " event=2 mode=0x118 size=72 inf=C:\\Media\\Setup.inf text1=E:\\a.dll "
            "text2=C:\\App\\a.dll text3= args=" +
            args + " probe=Grüße set=1 answer=1",
        form + " event=7 mode=0xE7 size=72 inf=C:\\Media\\Setup.inf text1=" +
            longText.substr(0, c.nTextMax) + " text2= text3=third args=" + args +
            " probe=Grüße set=1 answer=1",
    };
    EXPECT_EQ(TakeLog(), expected) << form;
    UnloadSetupExtension(run);
    EXPECT_EQ(CallSetupHook(run, kHookEndOfRun), 1);
    EXPECT_TRUE(TakeLog().empty()) << "an unloaded library is not called";
  }
}

TEST_F(ExtensionLibraryTest, EventsListedInTheRefuseVariableAnswerZero) {
  for (bool bUnicode : {false, true}) {
    run.ctx.bSetupExtIsUnicode = bUnicode;
    run.ctx.szSetupHookFunc = bUnicode ? "SetupHookFuncW" : "SetupHookFunc";
    ASSERT_TRUE(LoadSetupExtension(run));
    SetVariable(run, "TestHookRefuse", "4,6");
    std::string answers;
    for (uint32_t nEvent = 2; nEvent <= 7; ++nEvent)
      answers += std::to_string(CallSetupHook(run, nEvent, "Option\\Sub"));
    EXPECT_EQ(answers, "110101") << bUnicode;
    EXPECT_EQ(TakeLog().size(), 6u);
  }
}

TEST_F(ExtensionLibraryTest, LoadFailuresShowTheirMessages) {
  InstallExtension("Untrusted.dll");  // another digest than the listed one
  std::ofstream(HostPath("Ext/Untrusted.dll"), std::ios::app) << "changed";
  struct Case {
    const char* pszLibrary;
    const char* pszFunction;
    int nAnswer;
    bool bLoaded;
    int nMessage;
    MessageArg secondArg;
  };
  const Case cases[] = {
      {"C:\\Ext\\Missing.dll", "", 2, false, 5520, int64_t{126}},
      {"C:\\Ext\\Missing.dll", "", kIgnore, true, 5520, int64_t{126}},
      {"C:\\Ext\\Untrusted.dll", "", 2, false, 5520, int64_t{577}},
      {"C:\\Ext\\Untrusted.dll", "", kIgnore, true, 5520, int64_t{577}},
      {"C:\\Ext\\TestExt.dll", "NoSuchHook", kIgnore, false, 5521, "C:\\Ext\\TestExt.dll"},
  };
  for (const Case& c : cases) {
    run.shownMessages.clear();
    run.ctx.szSetupExtDll = c.pszLibrary;
    run.ctx.szSetupHookFunc = c.pszFunction;
    run.script.showMessage = [&c](SetupRun&, int, const std::vector<MessageArg>&) {
      return c.nAnswer;
    };
    EXPECT_EQ(LoadSetupExtension(run), c.bLoaded) << c.pszLibrary << c.pszFunction;
    ASSERT_EQ(run.shownMessages.size(), 1u);
    EXPECT_EQ(run.shownMessages[0].nMessage, c.nMessage);
    const MessageArg first = c.nMessage == 5521 ? MessageArg(c.pszFunction) : c.pszLibrary;
    EXPECT_EQ(run.shownMessages[0].args, (std::vector<MessageArg>{first, c.secondArg}));
    EXPECT_EQ(CallSetupHook(run, kHookBeforeQuestions), 1) << "no library answers 1";
    EXPECT_TRUE(TakeLog().empty());
  }
}

TEST_F(ExtensionLibraryTest, LibraryPathTakesVariablesAndAnEmptyOneLoadsNothing) {
  SetVariable(run, "ExtDir", "C:\\Ext");
  run.ctx.szSetupExtDll = "%ExtDir%\\TestExt.dll";
  ASSERT_TRUE(LoadSetupExtension(run));
  EXPECT_EQ(CallSetupHook(run, kHookEndOfRun), 1);
  EXPECT_EQ(TakeLog().size(), 1u);
  run.ctx.szSetupExtDll.clear();
  EXPECT_TRUE(LoadSetupExtension(run));
  EXPECT_EQ(CallSetupHook(run, kHookEndOfRun), 1);
  EXPECT_TRUE(TakeLog().empty()) << "loading nothing unloads the previous library";
  EXPECT_TRUE(run.shownMessages.empty());
}

}  // namespace
}  // namespace tarvium
