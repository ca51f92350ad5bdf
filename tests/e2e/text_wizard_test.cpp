// The text-mode wizard driven for real: Setup.exe in an 80x24 tmux terminal on a fresh machine,
// keys pressed as a person would, the screen read back, and the machine compared afterwards. The
// options page of the product in tests/data/options has an option deselected with the keys.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "support/run_tool.h"
#include "support/temp_dir.h"
#include "support/terminal_setup.h"
#include "support/test_data.h"

namespace tarvium::test {
namespace {

// A small product that asks the terms of use, the mode, the directory and the user; its program
// file is app.exe, or another name that the media lack.
void WriteProduct(const TempDir& media, const std::string& program = "app.exe") {
  media.WriteFile("Setup.inf",
                  "[Setup]\r\nVersion=4.10\r\n\r\n[Application]\r\n"
                  "ProductName=Tarvium Wizard Product\r\nDeveloperName=Tarvium Tests\r\n"
                  "Version=1.0\r\nMachineKeyName=Tarvium Tests\\Wizard Product\\1.0\r\n"
                  "ApplicationDir=%ProgramFilesDir%\\Tarvium Tests\\Wizard Product\r\n"
                  "AskLicence=1\r\nLicenceText=Terms of use.\\nSecond line.\r\n"
                  "AskMode=1\r\nAskDir=1\r\nAskUser=1\r\n\r\n"
                  "[Options]\r\nProgram=Program files,DEFAULT\r\nExtras=Extra files\r\n\r\n"
                  "[Program]\r\n1:" +
                      program +
                      ", bin\\, USEFILENAME, 25\r\n\r\n"
                      "[Extras]\r\n1:extra.txt, , USEFILENAME, 11\r\n");
  media.WriteFile("app.exe", "application exe bytes....");
  media.WriteFile("extra.txt", "extra text\n");
}

class TextWizard : public testing::Test {
 protected:
  void SetUp() override { WriteProduct(media_); }
  // Starts the setup in the language (a code of the management agent's language map).
  void Start(const std::string& language, const std::string& firstPage,
             const std::string& env = "") {
    ASSERT_TRUE(terminal_.OnMachine("reg add " +
                                    ShellQuote("HKCU\\Software\\kelvaron\\LanguageMap") +
                                    " /v ClientComponent /d " + language + " /f"));
    ASSERT_TRUE(terminal_.Start(media_.Path(), "Setup.inf", env));
    Expect(firstPage);
  }
  void Expect(const std::string& text) { ASSERT_TRUE(terminal_.Shows(text)); }

  TempDir media_;
  TerminalSetup terminal_;
};

// Terms accepted, the custom mode, Back from the directory page to the mode page and on to the
// terms, forward again, a directory typed, a user entered: the product's default option is
// installed there. The mode page opens on its first choice; Down stops at the last choice, Tab
// leaves the choices for the buttons below them.
TEST_F(TextWizard, InstallsToTheChosenDirectoryInTheCustomModeWithBack) {
  Start("en-US", "Licence agreement");
  EXPECT_TRUE(terminal_.Screen().find("Second line.") != std::string::npos) << terminal_.Screen();
  terminal_.Keys("Enter");  // Yes, from the text
  Expect("Installation mode");
  EXPECT_TRUE(terminal_.Screen().find("Full (36 Bytes)") != std::string::npos)
      << terminal_.Screen();
  terminal_.Keys("Down Down Down Enter");  // Full, Standard, Custom, and no further
  Expect("Destination directory");
  terminal_.Keys("Tab Tab Enter");  // Browse, then Back
  Expect("Installation mode");
  terminal_.Keys("Tab Enter");  // from the first choice to Back
  Expect("Licence agreement");
  terminal_.Keys("Enter");
  Expect("Installation mode");
  terminal_.Keys("Down Down Enter");
  Expect("Destination directory");
  terminal_.Keys("C-u");
  terminal_.Type("C:\\Wizard Test");
  terminal_.Keys("Enter");
  Expect("User information");
  terminal_.Keys("C-u");
  terminal_.Type("Ann Example");
  terminal_.Keys("Tab");
  terminal_.Type("Example Ltd");
  terminal_.Keys("Enter");
  Expect("1 of 2 components selected");  // the custom mode asks for the options
  terminal_.Keys("F12");
  Expect("successfully completed");
  terminal_.Keys("Enter");
  EXPECT_EQ(terminal_.WaitForExit(), 0) << terminal_.Screen();
  const std::vector<std::string> diff = terminal_.Diff();
  EXPECT_TRUE(HasLine(diff, "+ file C:\\Wizard Test\\bin\\app.exe (25 bytes, A)"));
  EXPECT_FALSE(HasLine(diff, "extra.txt")) << "the custom mode keeps the default options";
  EXPECT_TRUE(HasLine(diff, "\"RegisteredOwner\" = REG_SZ Ann Example"));
}

// In German: Cancel asks whether to abort (the catalog's text converted for the terminal, the
// icon's word as the title): No keeps the page, Yes ends the run with -1 and nothing done.
TEST_F(TextWizard, CancelEndsTheRunOnlyWhenConfirmed) {
  Start("de-DE", "Lizenzvertrag");
  EXPECT_TRUE(terminal_.Screen().find("<Ja>  <Nein>") != std::string::npos) << terminal_.Screen();
  terminal_.Keys("Escape");
  Expect("Möchten Sie die Installation wirklich abbrechen?");
  EXPECT_TRUE(terminal_.Screen().find("[Frage]") != std::string::npos) << terminal_.Screen();
  terminal_.Keys("n");                         // &Nein
  ASSERT_TRUE(terminal_.Hides("abbrechen?"));  // the box closed, the page is the screen's again
  Expect("Lizenzvertrag");
  terminal_.Keys("Tab Tab Enter");  // the No of the terms of use asks the same
  Expect("Möchten Sie die Installation wirklich abbrechen?");
  terminal_.Keys("j");  // &Ja
  EXPECT_EQ(terminal_.WaitForExit(), 255) << terminal_.Screen();
  const std::vector<std::string> diff = terminal_.Diff();
  EXPECT_FALSE(HasLine(diff, "Wizard Product")) << diff.size();
}

// A box that closes by itself on the screen says it ran out of time, as the headless one does:
// CloseWindow under ABORT then fails its line and sends nothing to the window. (The options
// page of this one-option product also shows no scroll bar.)
TEST_F(TextWizard, TimedBoxThatRanOutAbortsCloseWindow) {
  media_.WriteFile(
      "Setup.inf",
      "[Setup]\r\nVersion=10.00\r\n\r\n[Application]\r\n"
      "ProductName=Tarvium Window Product\r\nDeveloperName=Tarvium Tests\r\n"
      "Version=1.0\r\nMachineKeyName=Tarvium Tests\\Window Product\\1.0\r\n"
      "ApplicationDir=C:\\Window Product\r\n\r\n[Options]\r\nA=Program,DEFAULT\r\n"
      "\r\n[A]\r\nCloseWindow Tarvium Probe*,CLOSEWINDOW+ABORT,1,\"Closing the probe.\"\r\n");
  // The window belongs to a program of its own, so a close that should not happen ends only it.
  FILE* started = ::popen("sleep 60 >/dev/null 2>&1 & echo $!", "r");
  ASSERT_NE(started, nullptr);
  int nProbe = 0;
  ASSERT_EQ(std::fscanf(started, "%d", &nProbe), 1);
  ::pclose(started);
  ASSERT_TRUE(
      terminal_.OnMachine("window open --pid " + std::to_string(nProbe) + " \"Tarvium Probe\""));
  ASSERT_TRUE(terminal_.Start(media_.Path(), "'/BC:\\trace.txt' Setup.inf"));
  Expect("1 of 1 components selected");  // one option: no scroll bar beside it
  EXPECT_EQ(terminal_.Screen().find("↑"), std::string::npos) << terminal_.Screen();
  terminal_.Keys("F12");
  Expect("Closing the probe.");
  terminal_.WaitFor("Installation", 5000);  // the box closed by itself; the run ends
  for (int i = 0; i < 3 && terminal_.WaitForExit(2000) == -1; ++i) terminal_.Keys("Enter");
  const std::string trace = terminal_.MachineFile("drive_c/trace.txt");
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.find("CloseWindow: 'Tarvium Probe'"), std::string::npos) << trace;
  EXPECT_EQ(::kill(nProbe, 0), 0) << "the probe's window was closed";
  ::kill(nProbe, SIGKILL);
}

// A terminal of type "dumb" cannot draw pages: the headless interface answers them with their
// defaults, and the product is installed to its default directory.
TEST_F(TextWizard, DumbTerminalIsAnsweredHeadless) {
  Start("en-US", "successfully completed", "TERM=dumb");  // the pages' lines scroll off
  EXPECT_EQ(terminal_.WaitForExit(), 0) << terminal_.Screen();
  EXPECT_NE(terminal_.History().find("== Page: terms of use == not asked"), std::string::npos);
  EXPECT_TRUE(HasLine(terminal_.Diff(), "Wizard Product\\bin\\app.exe (25 bytes, A)"));
}

// A silent run in a terminal never opens the screen, even when it has something to ask: the
// missing medium and the messages are answered as without a terminal, and the run ends.
TEST_F(TextWizard, SilentRunNeverOpensTheScreen) {
  WriteProduct(media_, "missing.exe");
  ASSERT_TRUE(terminal_.Start(media_.Path(), "/S Setup.inf"));
  EXPECT_NE(terminal_.WaitForExit(), -1) << terminal_.Screen();
  const std::string screen = terminal_.History();
  EXPECT_NE(screen.find("== Page: installation medium =="), std::string::npos) << screen;
  EXPECT_EQ(screen.find("┌"), std::string::npos) << screen;
}

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
