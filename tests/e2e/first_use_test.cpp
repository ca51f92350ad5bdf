// What someone new to the tools meets first, through the real binaries: the usage of every tool
// on the usual requests for it, the machine made in the user's data folder when none is named,
// which the first run says and later runs use without a word, and a machine whose user has a
// name the ANSI code page cannot hold, on which shortcuts go through the relay program.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

TEST(FirstUse, EveryToolShowsItsUsageWhenAsked) {
  for (const char* tool : {"winmachine", "infdump", "setup-agent", "setup-crypt"}) {
    for (const char* ask : {"--help", "-h", "'/?'"}) {
      const ToolResult result = RunTool(tool, ask);
      EXPECT_EQ(result.nExit, 0) << tool << " " << ask << ": " << result.out;
      EXPECT_EQ(result.out.rfind("usage: ", 0), 0u) << tool << " " << ask << ": " << result.out;
    }
  }
}

TEST(FirstUse, TheMachineMadeInTheDataFolderIsAnnounced) {
  for (const std::string program : {"Setup.exe '/?'", "tools/winmachine info"}) {
    TempDir home;
    const std::string command =
        "env -u TARVIUM_MACHINE HOME=" + ShellQuote(home.Path()) + " " + BuildDir() + "/" + program;
    const std::string said =
        "created a new machine in " + home.Path() + "/.local/share/tarvium/machine";
    const ToolResult first = RunHostCommand(command);
    EXPECT_EQ(first.nExit, 0) << program << ": " << first.out;
    EXPECT_NE(first.out.find(said), std::string::npos) << program << ": " << first.out;
    const ToolResult again = RunHostCommand(command);
    EXPECT_EQ(again.out.find("created a new machine"), std::string::npos) << again.out;
  }
}

// The Start menu of such a user reads with a '?' (as Windows' ANSI functions give it), so a link
// below %Programs% is made at its marker path and handed to the relay program of the temporary
// folder, here a script that records its command line.
TEST(FirstUse, AUserOutsideTheCodePageGetsShortcutsThroughTheRelay) {
  TempDir dir;
  const std::string machine = dir.Path() + "/machine";
  ASSERT_EQ(
      RunTool("winmachine", "create " + ShellQuote(machine) + " --user '\xC5\x81ukasz'").nExit, 0);
  const std::string relay = machine + "/drive_c/Windows/Temp/LinkRelay.exe";
  WriteHostFile(relay, "#!/bin/sh\necho \"$*\" >> \"$0.txt\"\n");
  ASSERT_EQ(::chmod(relay.c_str(), 0755), 0);
  dir.WriteFile("Setup.inf",
                "[Setup]\r\nVersion=4.10\r\n[Application]\r\nProductName=Relay\r\n"
                "MachineKeyName=Tarvium Tests\\Relay\\1.0\r\n[Options]\r\nA=A,DEFAULT\r\n"
                "[A]\r\n#Shell\r\n[Shell]\r\n%Programs%\\Tools\\Tool,C:\\Windows\\notepad.exe\r\n");
  const ToolResult run =
      RunHostCommand("cd " + ShellQuote(dir.Path()) + " && TARVIUM_MACHINE=" + ShellQuote(machine) +
                     " " + BuildDir() + "/Setup.exe /S Setup.inf");
  EXPECT_EQ(run.nExit, 0) << run.out;
  EXPECT_EQ(ReadHostFile(relay + ".txt"), "C:\\$TARVIUM$\\%PROGRAMS%\\Tools\\Tool.lnk\n");
}

}  // namespace
}  // namespace tarvium::test
