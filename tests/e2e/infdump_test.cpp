// infdump as a setup author runs it: the sections of a file as the engine reads them, including
// a duplicate section, which the engine never reads and the listing marks as ignored, and a line
// ending in a backslash, which joins no lines; the file named as Setup.exe takes it.
#include <gtest/gtest.h>

#include <string>

#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace {

using tarvium::test::BuildDir;
using tarvium::test::RunTool;
using tarvium::test::ShellQuote;

TEST(InfdumpTool, ListsEachSectionOnceAndDuplicatesAsIgnored) {
  tarvium::test::TempDir dir;
  const std::string inf =
      dir.WriteFile("Setup.inf",
                    "[Application]\r\nProductName=Demo\r\n[Files]\r\n1:a.txt, bin\\\r\nb.txt\r\n; note\r\n"
                    "[Options]\r\n[FILES]\r\nc.txt\r\n[Files]\r\n");
  const auto result = RunTool(
      "infdump", "--machine " + ShellQuote(dir.Path() + "/machine") + " " + ShellQuote(inf));
  ASSERT_EQ(result.nExit, 0) << result.out;
  const auto row = [](const std::string& name, const std::string& rest) {
    return "  [" + name + "]" + std::string(28 - name.size(), ' ') + rest + "\n";
  };
  const std::string& out = result.out;
  EXPECT_NE(out.find("5 sections"), std::string::npos) << out;
  EXPECT_NE(out.find(row("Files", "  3 lines")), std::string::npos) << out;
  EXPECT_NE(out.find(row("Options", "  0 lines")), std::string::npos) << out;
  const std::string ignored = "ignored: a duplicate, the first [Files] wins";
  EXPECT_NE(out.find(row("FILES", ignored)), std::string::npos) << out;
  // The last, empty [Files] is ignored as well, not listed with the first one's lines.
  EXPECT_NE(out.find(row("Files", ignored)), std::string::npos) << out;
  EXPECT_EQ(out.find("3 lines"), out.rfind("3 lines")) << out;

  // Named as Setup.exe takes it, relative to the current folder; a file it cannot read is named
  // with the message's text.
  const std::string here = "cd " + ShellQuote(dir.Path()) + " && " + BuildDir() +
                           "/tools/infdump --machine " + ShellQuote(dir.Path() + "/machine") + " ";
  const auto relative = tarvium::test::RunHostCommand(here + "Setup.inf");
  EXPECT_EQ(relative.nExit, 0) << relative.out;
  EXPECT_NE(relative.out.find(row("Files", "  3 lines")), std::string::npos) << relative.out;
  const auto missing = tarvium::test::RunHostCommand(here + "Missing.inf");
  EXPECT_EQ(missing.nExit, 1);
  EXPECT_NE(missing.out.find("infdump: cannot read 'Missing.inf': Cannot open file '"),
            std::string::npos)
      << missing.out;
  EXPECT_NE(missing.out.find("Missing.inf'! (message 5501)"), std::string::npos) << missing.out;
}

}  // namespace
