// The windows of the emulated machine's programs: announced for real running processes, listed
// while their process runs, and acted on by the messages as a simple Windows program reacts:
// close ends the program unless it handles the signal, destroy takes the window and ends a
// program left without one, the shutdown query answers what the window announced.
// The Program Manager's command text: bracketed commands in a row, quoted and plain arguments,
// and the malformed texts of which nothing may be carried out.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#include "platform/dde_command.h"
#include "platform/win_error.h"
#include "support/test_machine.h"

namespace platform {
namespace {

class MachineWindowsTest : public ::testing::Test {
 protected:
  // A program of the machine that runs until it is ended; its process id.
  uint32_t Start(const std::string& commandLine, ProcessHandle& hProcess) {
    EXPECT_EQ(machine().Programs().CreateProcess({.commandLine = commandLine}, hProcess),
              ERROR_SUCCESS);
    ProcessInfo info;
    machine().Programs().GetProcessInfo(hProcess, info);
    handles_.push_back(hProcess);
    return info.dwProcessId;
  }
  // Waits (bounded) until the host process runs the named program, as a shell does once it has
  // reached its `exec`.
  static bool RunsSoon(uint32_t dwProcessId, const std::string& program) {
    for (int i = 0; i < 1000; ++i) {
      std::string comm;
      std::getline(std::ifstream("/proc/" + std::to_string(dwProcessId) + "/comm"), comm);
      if (comm == program) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  bool EndsSoon(ProcessHandle hProcess) {
    WaitResult result = WaitResult::TimedOut;
    machine().Programs().WaitForProcess(hProcess, 10000, {}, result);
    return result == WaitResult::Exited;
  }
  std::vector<WindowEntry> Windows() {
    std::vector<WindowEntry> windows;
    EXPECT_EQ(machine().TopWindows().EnumWindows(windows), ERROR_SUCCESS);
    return windows;
  }
  int64_t Send(WindowHandle hWnd, uint32_t uMsg, uint32_t dwExpected = ERROR_SUCCESS) {
    int64_t lResult = -1;
    EXPECT_EQ(machine().TopWindows().SendMessage(hWnd, uMsg, lResult), dwExpected);
    return lResult;
  }
  emulated::EmulatedMachine& machine() { return testMachine_.Machine(); }
  emulated::MachineWindows& windows() { return machine().EmulatedWindows(); }

  ~MachineWindowsTest() override {
    for (ProcessHandle hProcess : handles_) {
      machine().Programs().TerminateProcess(hProcess, 1);
      machine().Programs().CloseProcess(hProcess);
    }
  }

  tarvium::test::TestMachine testMachine_;
  std::vector<ProcessHandle> handles_;
};

TEST_F(MachineWindowsTest, AnnouncedWindowsLiveAsLongAsTheirProcess) {
  EXPECT_TRUE(Windows().empty());
  ProcessHandle hViewer, hGone;
  const uint32_t viewer = Start("sleep 30", hViewer);
  const uint32_t gone = Start("sleep 30", hGone);
  ASSERT_EQ(windows().AnnounceWindow(viewer, "Viewer - a.txt", true), ERROR_SUCCESS);
  ASSERT_EQ(windows().AnnounceWindow(viewer, "Viewer - b.txt", true), ERROR_SUCCESS);
  ASSERT_EQ(windows().AnnounceWindow(viewer, "Viewer - b.txt", false), ERROR_SUCCESS)
      << "announced again: only its answer changes";
  ASSERT_EQ(windows().AnnounceWindow(gone, "Editor", true), ERROR_SUCCESS);
  EXPECT_EQ(windows().AnnounceWindow(viewer, "two\nlines", true), ERROR_INVALID_NAME);
  // Init owns no window: closing one would signal its process group -1, every process.
  EXPECT_EQ(windows().AnnounceWindow(1, "Init", true), ERROR_INVALID_PARAMETER);

  std::vector<WindowEntry> listed = Windows();
  ASSERT_EQ(listed.size(), 3u);
  std::map<std::string, WindowEntry> byTitle;
  for (const WindowEntry& entry : listed) byTitle[entry.title] = entry;
  EXPECT_EQ(byTitle["Viewer - a.txt"].dwProcessId, viewer);
  EXPECT_EQ(byTitle["Editor"].dwProcessId, gone);
  EXPECT_EQ(Send(byTitle["Viewer - a.txt"].hWnd, WM_QUERYENDSESSION), 1);
  EXPECT_EQ(Send(byTitle["Viewer - b.txt"].hWnd, WM_QUERYENDSESSION), 0);

  EXPECT_EQ(windows().WithdrawWindow(viewer, "Viewer - b.txt"), ERROR_SUCCESS);
  EXPECT_EQ(windows().WithdrawWindow(viewer, "Viewer - b.txt"), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(Windows().size(), 2u);

  // A process that ends takes its windows along, however it ended.
  machine().Programs().TerminateProcess(hGone, 1);
  ASSERT_TRUE(EndsSoon(hGone));
  listed = Windows();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].title, "Viewer - a.txt");
  Send(byTitle["Editor"].hWnd, WM_CLOSE, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(windows().AnnounceWindow(gone, "Editor", true), ERROR_INVALID_PARAMETER);

  // An entry left by an earlier process with the same id (another start time) is not its.
  const std::string entry = testMachine_.Path() + "/windows/" + std::to_string(viewer);
  std::ofstream(entry) << "1\n1\tOld\n";
  EXPECT_TRUE(Windows().empty());
  // Nor is one written without a start time, as when its process ended while it was written.
  std::ofstream(entry) << "\n1\tOld\n";
  EXPECT_TRUE(Windows().empty());
  EXPECT_FALSE(std::ifstream(entry).is_open()) << "a stale entry is removed when listed";
}

TEST_F(MachineWindowsTest, CloseAndDestroyEndTheProgramAsASimpleProgramEnds) {
  ProcessHandle hClosed, hStubborn, hThreeWindows;
  const uint32_t closed = Start("sleep 30", hClosed);
  // The ignored signal stays ignored across the exec, which shows that the trap is in place.
  const uint32_t stubborn = Start(R"(Z:\bin\sh -c "trap '' TERM; exec sleep 30")", hStubborn);
  ASSERT_TRUE(RunsSoon(stubborn, "sleep"));
  const uint32_t threeWindows = Start("sleep 30", hThreeWindows);
  windows().AnnounceWindow(closed, "Closed", true);
  windows().AnnounceWindow(stubborn, "Stubborn", true);
  for (const char* title : {"Main", "Tool", "Help"})
    windows().AnnounceWindow(threeWindows, title, true);
  std::map<std::string, WindowHandle> byTitle;
  for (const WindowEntry& entry : Windows()) byTitle[entry.title] = entry.hWnd;

  Send(byTitle["Stubborn"], WM_CLOSE);
  // The handles listed before stay valid while the windows before them go.
  Send(byTitle["Main"], WM_DESTROY);
  Send(byTitle["Tool"], WM_DESTROY);
  Send(byTitle["Tool"], WM_DESTROY, ERROR_INVALID_WINDOW_HANDLE);
  Send(byTitle["Closed"], WM_CLOSE);
  EXPECT_TRUE(EndsSoon(hClosed));
  bool bRunning = false;
  machine().Programs().IsProcessRunning(hStubborn, bRunning);
  EXPECT_TRUE(bRunning) << "a program that handles the close goes on";
  machine().Programs().IsProcessRunning(hThreeWindows, bRunning);
  EXPECT_TRUE(bRunning) << "a program that keeps a window goes on";
  ASSERT_EQ(Windows().size(), 2u);
  ASSERT_EQ(windows().AnnounceWindow(threeWindows, "Tool", true), ERROR_SUCCESS);
  ASSERT_EQ(Windows().size(), 3u) << "a window opened again";
  EXPECT_EQ(windows().WithdrawWindow(threeWindows, "Tool"), ERROR_SUCCESS);

  Send(byTitle["Stubborn"], WM_DESTROY);
  EXPECT_TRUE(EndsSoon(hStubborn)) << "destroying its last window ends it";
  Send(byTitle["Help"], WM_DESTROY);
  EXPECT_TRUE(EndsSoon(hThreeWindows));
  EXPECT_TRUE(Windows().empty());
}

TEST(DdeCommand, CommandsArgumentsAndMalformedTexts) {
  std::vector<DdeCommand> commands;
  ASSERT_TRUE(ParseDdeCommands(
      " [CreateGroup( Tools ,1)] [AddItem(\"C:\\a b\\t.exe -x, y\",Tool,,2,,)][ExitProgman]",
      commands));
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].name, "CreateGroup");
  EXPECT_EQ(commands[0].args, (std::vector<std::string>{"Tools", "1"}));
  EXPECT_EQ(commands[1].args,
            (std::vector<std::string>{"C:\\a b\\t.exe -x, y", "Tool", "", "2", "", ""}));
  EXPECT_TRUE(commands[2].args.empty());
  ASSERT_TRUE(ParseDdeCommands("[X(\"say \"\"hi\"\"\")]", commands));
  EXPECT_EQ(commands[0].args, std::vector<std::string>{"say \"hi\""});
  for (const char* pszBad : {"", "   ", "CreateGroup(X)", "[CreateGroup(X)", "[CreateGroup(X]",
                             "[(X)]", "[A(\"open)]", "[A(\"q\" tail)]", "[A(x)] junk"})
    EXPECT_FALSE(ParseDdeCommands(pszBad, commands)) << pszBad;
}

}  // namespace
}  // namespace platform
