// CloseWindow, KillProcess, AskKillProcesses and the process waits on a real temporary machine:
// the mode table and the title patterns, windows announced by running programs and closed by the
// mode, the timed box and its ABORT rule, the processes page, and waits that see real processes.

#include <gtest/gtest.h>

#include "engine/init_variables.h"
#include "engine/replace_variables.h"
#include "script/close_window_mode.h"
#include "script/execute_cmd.h"
#include "script/script_test_run.h"
#include "support/answering_ui.h"

namespace tarvium {
namespace {

TEST(CloseWindowMode, KeywordsNumbersAndUnknownWords) {
  struct Case {
    const char* text;
    int32_t nMode;
    CloseAction action;
  };
  const Case cases[] = {
      {"", 3, CloseAction::QueryThenDestroy},
      {"  ", 3, CloseAction::QueryThenDestroy},
      {"0", 0, CloseAction::Destroy},
      {"1", 1, CloseAction::Close},
      {"65539", 0x10003, CloseAction::QueryThenDestroy},
      {"KILLPROCESS", 0, CloseAction::Destroy},
      {"closewindow", 1, CloseAction::Close},
      {"DestroyWindow", 2, CloseAction::Destroy},
      {"QUERYCLOSEWINDOW", 3, CloseAction::QueryThenDestroy},
      {"CLOSEWINDOW+ABORT", 0x10001, CloseAction::Close},
      {"QUERYCLOSEWINDOW|ABORT", 0x10003, CloseAction::QueryThenDestroy},
      {"DESTROYWINDOW CONTINUE", 2, CloseAction::Destroy},
      {"CLOSEWINDOW)ABORT", 0x10001, CloseAction::Close},
      {"CLOSEWINDOW+DESTROYWINDOW", 3, CloseAction::QueryThenDestroy},  // or-ed, not added
      {"ABORT", 0x10000, CloseAction::Destroy},
      {"CLOSE", -1, CloseAction::None},
      {"CLOSEWINDOW+BOGUS", -1, CloseAction::None},
      {"-1", -1, CloseAction::None},
      {"4", 4, CloseAction::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseCloseWindowMode(c.text), c.nMode) << c.text;
    EXPECT_EQ(CloseActionOf(ParseCloseWindowMode(c.text)), c.action) << c.text;
  }
}

TEST(CloseWindowMode, TitlesMatchThePatternWithStars) {
  struct Case {
    const char* pattern;
    const char* title;
    bool bMatches;
  };
  const Case cases[] = {
      {"Editor", "Editor", true},
      {"editor", "EDITOR", true},
      {"Editor", "Editor 2", false},
      {"Edit", "Editor", false},
      {"*", "", true},
      {"*", "anything", true},
      {"", "", true},
      {"", "x", false},
      {"Viewer*", "Viewer - a.txt", true},
      {"*a.txt", "Viewer - a.txt", true},
      {"*.txt*", "Viewer - a.txt", true},
      {"V*r*a*", "Viewer - a.txt", true},
      {"V*q*", "Viewer - a.txt", false},
      {"*aa", "aaa", true},
      {"a*b*c", "abbbc", true},
      {"a*b*c", "abcb", false},
      {"?iewer", "Viewer", false},
      {"**", "x", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TitleMatches(c.pattern, c.title), c.bMatches) << c.pattern << " / " << c.title;
}

// The person at the run: answers the boxes with OK, or lets the timed ones run out, and answers
// the pages with a fixed result; what was shown is recorded.
class PersonAtTheRun final : public test::AnsweringUserInterface {
 public:
  int MessageBox(const ui::MessageBoxRequest& request) override {
    boxes.push_back(request);
    request.bTimedOut = bLetTimeRunOut && request.nTimeoutMs > 0;
    return request.buttons[request.nDefault].nResult;
  }
  int ShowPage(ui::PageRequest& request) override {
    pages.push_back(request);
    return nPageAnswer;
  }

  bool bLetTimeRunOut = false;
  int nPageAnswer = ui::kPageNext;
  std::vector<ui::MessageBoxRequest> boxes;
  std::vector<ui::PageRequest> pages;
};

class WindowCommands : public ::testing::Test, public test::ScriptTestRun {
 protected:
  WindowCommands() {
    InitVariables(run);
    auto ui = std::make_unique<PersonAtTheRun>();
    person = ui.get();
    run.ui = std::move(ui);
  }
  ~WindowCommands() override {
    for (platform::ProcessHandle hProcess : handles_) {
      programs().TerminateProcess(hProcess, 1);
      programs().CloseProcess(hProcess);
    }
  }

  // A program of the machine that runs until it is ended, with a window of that title.
  platform::ProcessHandle StartWithWindow(const std::string& title, bool bAgreesToEnd = true) {
    platform::ProcessHandle hProcess;
    EXPECT_EQ(programs().CreateProcess({.commandLine = "sleep 30"}, hProcess), 0u);
    handles_.push_back(hProcess);
    platform::ProcessInfo info;
    programs().GetProcessInfo(hProcess, info);
    EXPECT_EQ(
        machine.Machine().EmulatedWindows().AnnounceWindow(info.dwProcessId, title, bAgreesToEnd),
        0u);
    return hProcess;
  }
  bool Runs(platform::ProcessHandle hProcess) {
    bool bRunning = false;
    programs().IsProcessRunning(hProcess, bRunning);
    return bRunning;
  }
  bool EndsSoon(platform::ProcessHandle hProcess) {
    platform::WaitResult result = platform::WaitResult::TimedOut;
    programs().WaitForProcess(hProcess, 10000, {}, result);
    return result == platform::WaitResult::Exited;
  }
  // A script of the machine that runs until it is ended, started as a program line. Each test
  // names its own, as the tests may run side by side and these commands act on every process of
  // the name.
  void StartWorker(const std::string& name) {
    const std::string path = "C:\\bin\\" + name;
    // Ending the script leaves its sleep behind, as ending a process leaves its children; the sleep
    // must not hold the test's output open.
    machine.WriteScript(path, "sleep 30 >/dev/null 2>&1 </dev/null");
    ASSERT_EQ(Line(path), 1);
    ASSERT_EQ(Line("WaitUntilProcessExists " + name + ",10"), 1);
  }
  platform::Processes& programs() { return run.machine.Programs(); }

  PersonAtTheRun* person = nullptr;

 private:
  std::vector<platform::ProcessHandle> handles_;
};

TEST_F(WindowCommands, CloseWindowClosesTheMatchingWindowsByItsMode) {
  const platform::ProcessHandle hViewer = StartWithWindow("Viewer - a.txt");
  const platform::ProcessHandle hEditor = StartWithWindow("Editor", false);

  EXPECT_EQ(Line("CloseWindow Nothing*,CLOSEWINDOW,3,Never shown"), 1);
  EXPECT_TRUE(person->boxes.empty()) << "no window matches: no box";

  EXPECT_EQ(Line("CloseWindow Viewer*,CLOSEWINDOW,3,Please close the viewer"), 1);
  ASSERT_EQ(person->boxes.size(), 1u);
  EXPECT_EQ(person->boxes[0].text, "Please close the viewer");
  EXPECT_EQ(person->boxes[0].nTimeoutMs, 3000u);
  EXPECT_TRUE(EndsSoon(hViewer)) << "the close message ends a simple program";

  EXPECT_EQ(Line("CloseWindow editor"), 0) << "the empty mode asks; the editor refuses";
  EXPECT_EQ(Line("CloseWindow Editor,BOGUS"), 1) << "mode -1 sends nothing";
  EXPECT_TRUE(Runs(hEditor));

  person->bLetTimeRunOut = true;
  EXPECT_EQ(Line("CloseWindow Ed*,DESTROYWINDOW+ABORT,5,Closing the editor"), 0);
  EXPECT_NE(run.messages.szLastError.find("'Ed*' could not be terminated"), std::string::npos)
      << run.messages.szLastError;
  EXPECT_TRUE(Runs(hEditor)) << "a run out box under ABORT closes nothing";

  EXPECT_EQ(Line("CloseWindow Ed*,DESTROYWINDOW,5,Closing the editor"), 1)
      << "without ABORT the time running out only closes the box";
  EXPECT_TRUE(EndsSoon(hEditor));
  EXPECT_TRUE(person->pages.empty());
}

TEST_F(WindowCommands, TheTimedBoxFollowsTheSilentLevel) {
  StartWithWindow("Silent 1");
  StartWithWindow("Silent 2");
  run.ctx.bSilent = true;
  run.ctx.iSilentLevel = 1;
  person->bLetTimeRunOut = true;
  EXPECT_EQ(Line("CloseWindow Silent 1,ABORT,2,Not shown"), 1)
      << "no box at silent level 1, so no time runs out";
  EXPECT_TRUE(person->boxes.empty());
  run.ctx.iSilentLevel = 2;
  EXPECT_EQ(Line("CloseWindow Silent 2,ABORT,2,Shown"), 0);
  EXPECT_EQ(person->boxes.size(), 1u);
}

TEST_F(WindowCommands, KillProcessAndTheWaitsActOnRealProcesses) {
  StartWorker("tvwin_kill.sh");
  EXPECT_EQ(Line("KillProcess tvwin_kill.sh,2,Ending the worker"), 1);
  ASSERT_EQ(person->boxes.size(), 1u);
  EXPECT_EQ(person->boxes[0].nTimeoutMs, 2000u);
  EXPECT_EQ(Line("WaitWhileProcessExists tvwin_kill.sh,10"), 1);
  EXPECT_EQ(Line("WaitUntilProcessExists tvwin_kill.sh,1"), 0);
  EXPECT_EQ(Line("KillProcess tvwin_kill.sh,2,Not shown"), 1);
  EXPECT_EQ(person->boxes.size(), 1u) << "nothing runs: no box";
}

TEST_F(WindowCommands, AskKillProcessesAsksTheProcessesPage) {
  StartWorker("tvwin_ask.sh");
  person->nPageAnswer = ui::kPageCancel;
  EXPECT_EQ(Line("AskKillProcesses 5,tvwin_ask.sh,tvwin_absent.exe"), 0);
  ASSERT_EQ(person->pages.size(), 1u);
  const ui::PageRequest page = person->pages[0];
  EXPECT_EQ(page.kind, ui::PageKind::Processes);
  EXPECT_EQ(page.items, std::vector<std::string>{"tvwin_ask.sh"});
  EXPECT_EQ(page.nSeconds, 5);
  EXPECT_FALSE(page.bCancel) << "a countdown hides Cancel";
  ASSERT_TRUE(page.isSettled);
  EXPECT_FALSE(page.isSettled());
  EXPECT_EQ(Line("WaitUntilProcessExists tvwin_ask.sh,1"), 1) << "Cancel ends nothing";

  person->nPageAnswer = ui::kPageNext;
  EXPECT_EQ(Line("AskKillProcesses ,tvwin_ask.sh"), 1);
  ASSERT_EQ(person->pages.size(), 2u);
  EXPECT_EQ(person->pages[1].nSeconds, -1);
  EXPECT_TRUE(person->pages[1].bCancel);
  EXPECT_EQ(Line("WaitWhileProcessExists tvwin_ask.sh,10"), 1) << "OK ends the programs";
  EXPECT_TRUE(page.isSettled());

  EXPECT_EQ(Line("AskKillProcesses ,tvwin_ask.sh"), 1);
  StartWorker("tvwin_ask.sh");
  EXPECT_EQ(Line("AskKillProcesses 0,tvwin_ask.sh"), 1);
  EXPECT_EQ(Line("WaitWhileProcessExists tvwin_ask.sh,10"), 1);
  StartWorker("tvwin_ask.sh");
  run.ctx.bSilent = true;
  EXPECT_EQ(Line("AskKillProcesses ,tvwin_ask.sh"), 1);
  EXPECT_EQ(Line("WaitWhileProcessExists tvwin_ask.sh,10"), 1);
  EXPECT_EQ(person->pages.size(), 2u)
      << "nothing running, a time-out of 0 and a silent run ask no page";
}

}  // namespace
}  // namespace tarvium
