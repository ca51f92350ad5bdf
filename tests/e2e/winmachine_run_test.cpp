// winmachine run as its users run it: an engine image on a real temporary machine started through
// the real binary, its output passed through untouched, its exit code as a shell sees it and, for
// a parent that starts winmachine through the machine, whole.
#include <gtest/gtest.h>

#include "platform/emulated/machine/machine_config.h"
#include "platform/win_error.h"
#include "support/run_tool.h"
#include "support/test_machine.h"

namespace {

using tarvium::test::RunTool;
using tarvium::test::ShellQuote;

class WinmachineRun : public testing::Test {
 protected:
  WinmachineRun() {
    EXPECT_EQ(machine_.Machine().Programs().PlaceEngineImage("C:\\Windows\\_UnInst.exe"), 0u);
  }
  void UseEngine(const std::string& engine) {
    const std::string ini = machine_.Path() + "/" + platform::emulated::kMachineConfigName;
    platform::emulated::MachineConfig config;
    std::string error;
    ASSERT_TRUE(platform::emulated::LoadMachineConfig(ini, config, error)) << error;
    config.szEngine = engine;
    ASSERT_TRUE(platform::emulated::SaveMachineConfig(ini, config, error)) << error;
  }
  tarvium::test::ToolResult Run(const std::string& commandLine) {
    return RunTool("winmachine", "--machine " + machine_.Path() + " run " + commandLine);
  }

  tarvium::test::TestMachine machine_;
  tarvium::test::TempDir host_;
};

TEST_F(WinmachineRun, OutputAndLowByteOfTheCodeReachTheShell) {
  // A machine that names no engine (this one was not made by winmachine) cannot start an image.
  EXPECT_EQ(Run(ShellQuote("C:\\Windows\\_UnInst.exe")).out,
            "winmachine: cannot start 'C:\\Windows\\_UnInst.exe' (error 193: "
            "C:\\Windows\\_UnInst.exe is not a valid Win32 application.)\n");
  const std::string engine = host_.WriteScript("engine.sh", "echo \"engine: $*\"\nexit 44");
  UseEngine(engine);
  const auto result = Run(ShellQuote("C:\\Windows\\_UnInst.exe /U \"a b\""));
  EXPECT_EQ(result.out, "engine: /U a b\n");
  EXPECT_EQ(result.nExit, 44);
  // Words after "run" form the command line as typed.
  EXPECT_EQ(Run("_UnInst.exe /X 1").out, "engine: /X 1\n");

  const auto missing = Run(ShellQuote("C:\\Nothing.exe"));
  EXPECT_EQ(missing.nExit, 1);
  EXPECT_EQ(missing.out,
            "winmachine: cannot start 'C:\\Nothing.exe' (error 2: The system cannot find the file "
            "specified.)\n");
  EXPECT_EQ(Run("").nExit, 2);
}

TEST_F(WinmachineRun, AParentOnTheMachineGetsTheWholeCode) {
  UseEngine(TARVIUM_EXIT_WITH_CODE);
  const std::string winmachine =
      tarvium::test::ZPath(tarvium::test::BuildDir() + "/tools/winmachine");
  platform::ProcessStart start;
  start.commandLine =
      winmachine + " --machine " + machine_.Path() + " run C:\\Windows\\_UnInst.exe 3221225477";
  platform::Processes& programs = machine_.Machine().Programs();
  platform::ProcessHandle hProcess = platform::ProcessHandle::Invalid;
  ASSERT_EQ(programs.CreateProcess(start, hProcess), 0u);
  platform::WaitResult result = platform::WaitResult::TimedOut;
  ASSERT_EQ(programs.WaitForProcess(hProcess, platform::INFINITE, {}, result), 0u);
  uint32_t dwExitCode = 0;
  EXPECT_EQ(programs.GetExitCodeProcess(hProcess, dwExitCode), 0u);
  EXPECT_EQ(dwExitCode, 0xC0000005u);
  programs.CloseProcess(hProcess);
}

}  // namespace
