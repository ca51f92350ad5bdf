// The options page in a real terminal: Setup.exe of the product in tests/data/options on a fresh
// machine in an 80x24 tmux terminal, the custom mode chosen, an option deselected with the keys a
// person uses, and the machine compared afterwards.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "support/terminal_setup.h"
#include "support/test_data.h"

namespace tarvium::test {
namespace {

TEST(TextOptionsPage, DeselectedOptionIsNotInstalled) {
  TempDir media;
  media.WriteFile("Setup.inf", ReadTestData("options/Setup.inf"));
  // The files as large as the product's copy lines say, which the copy checks.
  for (const auto& [file, nBytes] :
       std::vector<std::pair<const char*, size_t>>{{"atlas.exe", 1572864},
                                                   {"europe.map", 3145728},
                                                   {"asia.map", 2621440},
                                                   {"low.dat", 204800},
                                                   {"high.dat", 1048576},
                                                   {"english.voc", 524288},
                                                   {"german.voc", 530000},
                                                   {"routes.dll", 81920},
                                                   {"log.exe", 40000}})
    media.WriteFile(file, std::string(nBytes, 'x'));
  TerminalSetup terminal;
  ASSERT_TRUE(terminal.Start(media.Path(), "Setup.inf"));
  ASSERT_TRUE(terminal.Shows("Installation mode"));
  terminal.Keys("Down Down Enter");  // Custom, the third choice
  ASSERT_TRUE(terminal.Shows("4 of 11 components selected (4,7 MB)"));
  const std::string screen = terminal.Screen();
  for (const char* row :
       {"[~] Atlas viewer", "  [~] Map sets", "    [x] Europe", "( ) High detail"})
    EXPECT_NE(screen.find(row), std::string::npos) << row << "\n" << screen;
  terminal.Keys("Down Space");  // the map sets, with both maps
  ASSERT_TRUE(terminal.Shows("2 of 11 components selected"));
  EXPECT_NE(terminal.Screen().find("[ ] Map sets"), std::string::npos) << terminal.Screen();
  terminal.Keys("F12");  // Next
  EXPECT_TRUE(terminal.EndsSuccessfully());
  const std::vector<std::string> diff = terminal.Diff();
  EXPECT_TRUE(HasLine(diff, "Atlas\\atlas.exe")) << diff.size();
  EXPECT_TRUE(HasLine(diff, "Atlas\\low.dat")) << diff.size();
  EXPECT_FALSE(HasLine(diff, "europe.map"));
  EXPECT_FALSE(HasLine(diff, "asia.map"));
}

}  // namespace
}  // namespace tarvium::test
