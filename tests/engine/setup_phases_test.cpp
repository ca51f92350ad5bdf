// The walk over the wizard pages: conditions, Back to the page shown before, Cancel, and the
// values a page hands back.
// The sizes of the mode page: bytes, KB and MB at their borders, rounded as printf rounds.
// The end of the installation run: which restart, log-off or shutdown a run ends with, and which
// end or abort message it shows, for the reboot modes, run flag 0x08 and silent runs. The run has
// no message catalog attached, so a question is answered OK (not Yes) and recorded. The exit-code
// table: every rule, and the negation after an abort with a restart due.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "engine/exit_code.h"
#include "engine/mode_size_text.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
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

struct Case {
  const char* what;
  int32_t iReboot;
  bool bSilent, bRestartWindows, bConfigChanged;
  uint32_t dwRunFlags;
  bool bExitWindows;
  uint32_t uFlags;
  int nMessage;  // the message shown, 0 for none
};

TEST(EndOfInstallation, RestartDecisionAndEndMessage) {
  const Case cases[] = {
      {"nothing due", 0, true, false, false, 0, false, 0, 0},
      {"interactive: end message", 0, false, false, false, 0, false, 0, 5511},
      {"Reboot=1 silent", 1, true, false, false, 0, true, 2, 0},
      {"Reboot=5 under 0x08", 5, true, false, false, 0x08, true, 2, 0},
      {"Reboot=2 clears a handler's restart", 2, true, false, true, 0, false, 0, 0},
      {"a handler's Windows restart", 0, true, true, false, 0, true, 2, 0},
      {"log off", 3, true, false, false, 0x08, true, 0, 0},
      {"shut down", 4, false, false, false, 0, true, 8, 0},
      {"interactive restart not confirmed", 5, false, false, false, 0, false, 0, 5513},
  };
  test::TestMachine machine;
  for (const Case& c : cases) {
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

TEST(ExitCode, EveryRuleOfTheTable) {
  const EndState cases[] = {
      {false, false, false, false, 0, 0, 0},       // normal end
      {false, false, false, true, 0, 5, 0},        // a restart the engine performs itself
      {false, false, false, false, 0x08, 5, 0},    // run flag 0x08 but nothing due
      {false, false, false, true, 0x08, 0, 6702},  // restart due, no reboot kind decided
      {false, false, false, true, 0x08, 1, 6702},  //
      {false, false, false, true, 0x0A, 2, 6702},  // other bits do not matter
      {false, false, false, true, 0x08, 3, 6703},  // log off
      {false, false, false, true, 0x08, 4, 6706},  // shut down
      {false, false, false, true, 0x08, 5, 6708},  // restart the computer
      {true, false, false, true, 0x08, 5, -1},     // an abort wins over the restart
      {true, true, false, false, 0, 0, 6704},      // /V mismatch or unmet requirement
      {false, false, true, false, 0, 0, 6704},     // AbortReboot without a restart reported
      {false, false, true, true, 0x08, 1, -6702},  // AbortReboot with a restart due
      {false, false, true, true, 0x08, 5, -6708},  //
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

}  // namespace
}  // namespace tarvium
