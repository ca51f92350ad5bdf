// What someone new to the tools meets first, through the real binaries: the usage of every tool
// on the usual requests for it, and the machine made in the user's data folder when none is
// named, which the first run says and later runs use without a word.
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

}  // namespace
}  // namespace tarvium::test
