// setup-agent as a person runs it: bad arguments and scripts, and a run that never comes. The
// runs it serves are the /G scenarios of setup_scenarios_test.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

TEST(SetupAgentTool, RefusesBadArgumentsAndScriptsAndGivesUpWithoutARun) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() + "/machine");
  ASSERT_EQ(::setenv("TARVIUM_MACHINE", (dir.Path() + "/machine").c_str(), 1), 0);
  const std::string script = ShellQuote(dir.WriteFile("ok.txt", "askdir = 0;next\n"));
  struct Case {
    std::string args;
    const char* pszSays;
  };
  const Case cases[] = {
      {"", "usage: setup-agent"},
      {"--timeout 0 " + script, "usage: setup-agent"},
      {"--timeout", "usage: setup-agent"},
      {"--bogus " + script, "usage: setup-agent"},
      {script + " " + script, "usage: setup-agent"},
      {ShellQuote(dir.Path() + "/missing.txt"), "cannot read the script"},
      {ShellQuote(dir.WriteFile("bad.txt", "# fine\naskdir 0;next\n")), "line 2: askdir 0;next"},
      {ShellQuote(dir.WriteFile("fault.txt", "fault 2 = sometimes\n")), "line 1: fault 2"},
      {"--pipe 'C:\\pipe' " + script, "cannot create C:\\pipe"},
  };
  for (const Case& c : cases) {
    const ToolResult result = RunTool("setup-agent", c.args);
    EXPECT_EQ(result.nExit, 2) << c.args << ": " << result.out;
    EXPECT_NE(result.out.find(c.pszSays), std::string::npos) << c.args << ": " << result.out;
  }
  const ToolResult alone = RunTool("setup-agent", "--timeout 1 " + script);
  EXPECT_EQ(alone.nExit, 3) << alone.out;
  EXPECT_NE(alone.out.find("no run connected in time"), std::string::npos) << alone.out;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/machine/pipe/SetupSendPipe"))
      << "the pipe goes with the agent";
}

}  // namespace
}  // namespace tarvium::test
