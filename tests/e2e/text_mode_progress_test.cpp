// Setup.exe in a real terminal (tmux): the restart page of /Y counting down, the progress window
// of an interactive install with its Cancel, the progress line of a silent run with progress, and
// the directory chooser behind Browse.
#include <gtest/gtest.h>

#include "support/terminal_setup.h"

namespace tarvium::test {
namespace {

// A product that copies two files and then sleeps, so that the progress window stays open long
// enough to be looked at and cancelled.
constexpr const char* kSlowProductRest = R"(
[Options]
Program=Program files,DEFAULT

[Program]
1:files\app.exe, bin\, USEFILENAME
1:files\data.bin, bin\, USEFILENAME
Sleep 3000
)";

// extraKeys: more lines of the [Application] section.
std::string MakeSlowProductMedium(TerminalSetup& terminal, const std::string& extraKeys = "") {
  return terminal.WriteMedia(
      ProductHead("Progress",
                  "ProductNameShort=ProgressProduct\nDeveloperName=Tarvium Tests\n" + extraKeys) +
          kSlowProductRest,
      {{"files/app.exe", "MZ"}, {"files/data.bin", std::string(100000, 'x')}});
}

TEST(TextModeProgress, RestartPageCountsDownAndRestarts) {
  TerminalSetup terminal;
  ASSERT_TRUE(terminal.Start(terminal.Scratch(), "'/YSave your work.\\nThen wait.,1,0,2'"));
  ASSERT_TRUE(terminal.Shows("Restarting in: 2 sec"));
  const std::string screen = terminal.Screen();
  EXPECT_NE(screen.find("Save your work."), std::string::npos) << screen;
  EXPECT_NE(screen.find("Then wait."), std::string::npos) << screen;
  EXPECT_TRUE(terminal.Shows("Restarting in: 1 sec"));
  EXPECT_EQ(terminal.WaitForExit(), 255);  // -1: the run did not start
  EXPECT_NE(terminal.MachineFile("power_request.txt").find("action=restart"), std::string::npos);
}

TEST(TextModeProgress, RestartPageWithoutCountdownWaitsForOK) {
  TerminalSetup terminal;
  ASSERT_TRUE(terminal.Start(terminal.Scratch(), "'/YShutting down,0,1,-1'", "LANG=de_DE.UTF-8"));
  ASSERT_TRUE(terminal.Shows("Shutting down"));
  EXPECT_EQ(terminal.Screen().find("sec"), std::string::npos) << terminal.Screen();
  terminal.Keys("Enter");
  EXPECT_EQ(terminal.WaitForExit(), 255);
  EXPECT_NE(terminal.MachineFile("power_request.txt").find("force=1"), std::string::npos);
}

TEST(TextModeProgress, RestartPageInFrenchAndAtZeroAtOnce) {
  TerminalSetup terminal;
  ASSERT_TRUE(terminal.OnMachine(
      "reg add 'HKCU\\Software\\kelvaron\\LanguageMap' /v ClientComponent /d fr-FR /f"));
  ASSERT_TRUE(terminal.Start(terminal.Scratch(), "'/YEnregistrez,1,0,3'"));
  ASSERT_TRUE(terminal.Shows("Redémarrage dans : 2 s"));
  EXPECT_EQ(terminal.WaitForExit(), 255);
  TerminalSetup atZero;
  ASSERT_TRUE(atZero.Start(atZero.Scratch(), "'/YNow,1,0,0'"));
  EXPECT_EQ(atZero.WaitForExit(), 255);
  EXPECT_NE(atZero.MachineFile("power_request.txt").find("action=restart"), std::string::npos);
}

TEST(TextModeProgress, ProgressWindowShowsTheCopyAndItsCancelAbortsTheRun) {
  TerminalSetup terminal;
  const std::string media = MakeSlowProductMedium(terminal);
  ASSERT_TRUE(terminal.Start(media, "Setup.inf"));
  // A fresh interactive run is a custom install: the options page comes before the copy.
  ASSERT_TRUE(terminal.Shows("components selected"));
  terminal.Keys("F12");  // Next
  ASSERT_TRUE(terminal.Shows("100%"));
  const std::string screen = terminal.Screen();
  EXPECT_NE(screen.find("Copying: Z:"), std::string::npos) << screen;
  EXPECT_NE(screen.find("to: C:\\Program Files\\Tarvium Tests\\Progress Product\\bin\\data.bin"),
            std::string::npos)
      << screen;
  terminal.Keys("Escape");
  ASSERT_TRUE(terminal.Shows("Do you really want to abort the installation?"));
  terminal.Keys("y");
  ASSERT_TRUE(terminal.Shows("Installation aborted"));
  terminal.Keys("Enter");
  EXPECT_NE(terminal.WaitForExit(), 0);
}

// No on 5509 lets the run go on; DisableCancelButton leaves Cancel out of the window.
TEST(TextModeProgress, ProgressWindowGoesOnAfterNoAndHasNoCancelWhenDisabled) {
  for (const bool bDisabled : {false, true}) {
    TerminalSetup terminal;
    const std::string media =
        MakeSlowProductMedium(terminal, bDisabled ? "DisableCancelButton=1\n" : "");
    ASSERT_TRUE(terminal.Start(media, "Setup.inf"));
    ASSERT_TRUE(terminal.Shows("components selected"));
    terminal.Keys("F12");  // Next
    ASSERT_TRUE(terminal.Shows("100%"));
    EXPECT_EQ(terminal.Screen().find("<Cancel>") == std::string::npos, bDisabled)
        << terminal.Screen();
    if (!bDisabled) {
      terminal.Keys("Escape");
      ASSERT_TRUE(terminal.Shows("Do you really want to abort the installation?"));
      terminal.Keys("n");
    }
    EXPECT_TRUE(terminal.EndsSuccessfully()) << bDisabled;
  }
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t nCount = 0;
  for (size_t n = text.find(part); n != std::string::npos; n = text.find(part, n + 1)) ++nCount;
  return nCount;
}

// The line redraws in place (one line in the terminal for the whole copy); it is not drawn
// without progress (/S, /S0, /SX) or when standard error is not the terminal.
TEST(TextModeProgress, SilentRunWithProgressDrawsOneLine) {
  TerminalSetup terminal;
  const std::string media = MakeSlowProductMedium(terminal);
  ASSERT_TRUE(terminal.Start(media, "/S1 Setup.inf"));
  ASSERT_TRUE(terminal.Shows("100% Copying: Z:"));
  EXPECT_EQ(terminal.WaitForExit(), 0);
  EXPECT_EQ(CountOf(terminal.History(), "Copying:"), 1u) << terminal.History();
  for (const char* args : {"/S Setup.inf", "/S0 Setup.inf", "/SX Setup.inf",
                           "/S2 Setup.inf 2>../machine/stderr.txt"}) {
    TerminalSetup quiet;
    const std::string quietMedia = MakeSlowProductMedium(quiet);
    ASSERT_TRUE(quiet.Start(quietMedia, args));
    EXPECT_GE(quiet.WaitForExit(), 0) << args;
    EXPECT_EQ(quiet.History().find("Copying:"), std::string::npos) << args << quiet.History();
    EXPECT_EQ(quiet.MachineFile("stderr.txt").find("Copying:"), std::string::npos);
  }
}

TEST(TextModeProgress, BrowseStartsAboveTheNewDirectoryAndReplacesTheField) {
  TerminalSetup terminal;
  const std::string media = terminal.WriteMedia(ProductHead("Test", "AskDir=1\n"));
  ASSERT_TRUE(terminal.Start(media, "Setup.inf"));
  ASSERT_TRUE(terminal.Shows("Browse"));
  terminal.Keys("Tab Enter");  // Browse
  // Neither the product's directory nor its vendor's exists: the chooser opens where one does.
  ASSERT_TRUE(terminal.Shows("Common Files\\"));
  EXPECT_NE(terminal.Screen().find("C:\\Program Files "), std::string::npos) << terminal.Screen();
  terminal.Keys("Down Enter");  // into Common Files
  ASSERT_TRUE(terminal.Shows("C:\\Program Files\\Common Files "));
  terminal.Keys("Tab Enter");  // OK
  ASSERT_TRUE(terminal.Shows("C:\\Program Files\\Common Files_"));
  terminal.Keys("Escape");
  ASSERT_TRUE(terminal.Shows("Do you really want to abort"));
  terminal.Keys("y");
  EXPECT_NE(terminal.WaitForExit(), 0);
}

}  // namespace
}  // namespace tarvium::test
