// The text-mode wizard driven for real: Setup.exe in an 80x24 tmux terminal on a fresh machine,
// keys pressed as a person would, the screen read back, and the machine compared afterwards. The
// options page of the product in tests/data/options has an option deselected with the keys.
// Setup.exe in a real terminal (tmux): the restart page of /Y counting down, the progress window
// of an interactive install with its Cancel, the progress line of a silent run with progress, the
// directory chooser behind Browse, and the pages that a script or a prompt asks during a run: the
// programs-to-end page of AskKillProcesses for programs the script started and left running, and
// a prompt's value page (a secret hidden, a time-out that goes on by itself).
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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

namespace fs = std::filesystem;

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

// The restart page of /Y: the countdown and its text, a page without countdown that waits for OK
// (its force flag kept), the page in French and a countdown of 0 that restarts at once.
TEST(TextModeProgress, RestartPageCountsDownOrWaitsForOKAndRestarts) {
  const struct {
    const char* language;  // the management agent's language map, when not empty
    const char *args, *env;
    std::vector<std::string> shown;
    const char *absent, *keys, *power;
  } cases[] = {
      {"",
       "'/YSave your work.\\nThen wait.,1,0,2'",
       "",
       {"Restarting in: 2 sec", "Save your work.", "Then wait.", "Restarting in: 1 sec"},
       "",
       "",
       "action=restart"},
      {"",
       "'/YShutting down,0,1,-1'",
       "LANG=de_DE.UTF-8",
       {"Shutting down"},
       "sec",
       "Enter",
       "force=1"},
      {"fr-FR", "'/YEnregistrez,1,0,3'", "", {"Redémarrage dans : 2 s"}, "", "", "action=restart"},
      {"", "'/YNow,1,0,0'", "", {}, "", "", "action=restart"},
  };
  for (const auto& c : cases) {
    TerminalSetup terminal;
    if (*c.language) {
      ASSERT_TRUE(
          terminal.OnMachine("reg add 'HKCU\\Software\\kelvaron\\LanguageMap' /v "
                             "ClientComponent /d " +
                             std::string(c.language) + " /f"));
    }
    ASSERT_TRUE(terminal.Start(terminal.Scratch(), c.args, c.env));
    for (const std::string& text : c.shown) ASSERT_TRUE(terminal.Shows(text)) << c.args;
    if (*c.absent) {
      EXPECT_EQ(terminal.Screen().find(c.absent), std::string::npos) << c.args;
    }
    if (*c.keys) terminal.Keys(c.keys);
    EXPECT_EQ(terminal.WaitForExit(), 255) << c.args;  // -1: the run did not start
    EXPECT_NE(terminal.MachineFile("power_request.txt").find(c.power), std::string::npos) << c.args;
  }
}

// The window shows the copy; Cancel asks 5509: Yes aborts the run, No lets it go on.
// DisableCancelButton leaves Cancel out of the window.
TEST(TextModeProgress, ProgressWindowShowsTheCopyAndItsCancelAsksBeforeItAborts) {
  for (const char* answer : {"y", "n", ""}) {
    const bool bDisabled = !*answer;
    TerminalSetup terminal;
    const std::string media =
        MakeSlowProductMedium(terminal, bDisabled ? "DisableCancelButton=1\n" : "");
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
    EXPECT_EQ(screen.find("<Cancel>") == std::string::npos, bDisabled) << screen;
    if (bDisabled) {
      EXPECT_TRUE(terminal.EndsSuccessfully());
      continue;
    }
    terminal.Keys("Escape");
    ASSERT_TRUE(terminal.Shows("Do you really want to abort the installation?"));
    terminal.Keys(answer);
    if (*answer == 'n') {
      EXPECT_TRUE(terminal.EndsSuccessfully());
      continue;
    }
    ASSERT_TRUE(terminal.Shows("Installation aborted"));
    terminal.Keys("Enter");
    EXPECT_NE(terminal.WaitForExit(), 0);
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

// A program for the script to start: it runs until the flag file exists (or 30 s went by).
std::string Worker(const std::string& flagFile) {
  return "#!/bin/sh\nn=0\nwhile [ ! -e '" + flagFile +
         "' ] && [ $n -lt 300 ]; do sleep 0.1; n=$((n+1)); done\n";
}

constexpr const char* kProcessesApplication = R"(AskKillProcessesText1=These programs still run:
AskKillProcessesText2=They are ended now.

[Options]
Program=Program files,DEFAULT

[Program]
%SetupInfPathName%\first.sh
WaitUntilProcessExists first.sh,10
AskKillProcesses 60,first.sh,absent.exe
WaitWhileProcessExists first.sh,10
%SetupInfPathName%\second.sh
WaitUntilProcessExists second.sh,10
AskKillProcesses ,second.sh
WaitWhileProcessExists second.sh,10
AskKillProcesses 60,absent.exe
)";

TEST(TextModeWaitingPages, ProcessesPageCountsDownGoesOnOnceTheProgramsEndAndEndsThemOnOK) {
  TerminalSetup terminal;
  const std::string media =
      terminal.WriteMedia(ProductHead("Processes", kProcessesApplication),
                          {{"first.sh", Worker(terminal.Scratch() + "/first.done")},
                           {"second.sh", Worker(terminal.Scratch() + "/never")}});
  for (const char* worker : {"/first.sh", "/second.sh"})
    fs::permissions(media + worker, fs::perms::owner_all);
  ASSERT_TRUE(terminal.Start(media, "Setup.inf"));
  ASSERT_TRUE(terminal.Shows("components selected"));
  terminal.Keys("F12");  // Next on the options page

  // With a time-out: the countdown, no Cancel; the page goes on as soon as the program ended.
  ASSERT_TRUE(terminal.Shows("Continuing in: "));
  std::string screen = terminal.Screen();
  for (const char* text : {"Programs to end", "These programs still run:", "first.sh"})
    EXPECT_NE(screen.find(text), std::string::npos) << text << "\n" << screen;
  EXPECT_EQ(screen.find("absent.exe"), std::string::npos) << "only running programs are listed";
  EXPECT_EQ(screen.find("Cancel"), std::string::npos) << screen;
  std::ofstream(terminal.Scratch() + "/first.done");

  // Without a time-out: no countdown, Cancel offered (the page is drawn whole once its buttons
  // are); OK ends the program.
  ASSERT_TRUE(terminal.Shows("second.sh"));
  ASSERT_TRUE(terminal.Shows("Cancel"));
  screen = terminal.Screen();
  EXPECT_EQ(screen.find("Continuing in"), std::string::npos) << screen;
  terminal.Keys("F12");  // OK

  // No listed program runs: no page at all, the run ends.
  EXPECT_TRUE(terminal.EndsSuccessfully());
}

constexpr const char* kPromptApplication = R"(Prompts=Patient,Secret

[Patient]
Variable=Patient
Text=Type a word
Default=proposed
Timeout=2147483647

[Secret]
Variable=Secret
Text=The password
Default=Geheim42
Flags=0x80000
Timeout=2

[Options]
Program=Program files,DEFAULT

[Program]
)";

TEST(TextModeWaitingPages, ValuePageHidesASecretAndGoesOnByItselfAfterItsTimeOut) {
  TerminalSetup terminal;
  ASSERT_TRUE(
      terminal.Start(terminal.WriteMedia(ProductHead("Prompt", kPromptApplication)), "Setup.inf"));
  // A time-out of 2147483647 seconds: the page waits for the person, like one without.
  ASSERT_TRUE(terminal.Shows("Type a word"));
  terminal.Keys("C-u");
  terminal.Type("typed");
  ASSERT_TRUE(terminal.Shows("typed"));
  terminal.Keys("Enter");
  // The secret is not shown, and its page goes on with its value after two seconds.
  ASSERT_TRUE(terminal.Shows("The password"));
  EXPECT_EQ(terminal.Screen().find("Geheim42"), std::string::npos) << terminal.Screen();
  ASSERT_TRUE(terminal.Shows("components selected"));
  terminal.Keys("F12");
  EXPECT_TRUE(terminal.EndsSuccessfully());
  const std::vector<std::string> diff = terminal.Diff();
  // The recorded answers: the typed word, and the secret (scrambled) although nobody answered.
  EXPECT_TRUE(HasLine(diff, "PATIENT")) << diff.size();
  EXPECT_TRUE(HasLine(diff, "typed")) << "the page waited for the person";
  EXPECT_TRUE(HasLine(diff, "SECRET")) << diff.size();
  EXPECT_FALSE(HasLine(diff, "Geheim42")) << "a secret is recorded scrambled";
}

// Two products share a local group and the user's membership of it. The first goes silently
// (their use counts fall to 1); the second is removed at the terminal, where the membership's
// question is answered All: the membership and then the group go without a second question.
TEST(TextModeSecurity, AllDeletesEveryObjectNoLongerUsedWithoutAskingAgain) {
  TerminalSetup terminal;
  const std::string media = terminal.WriteMedia(
      "",
      {{"ProductA.inf", ReadTestData("../e2e/scenarios/security-group-two-products/ProductA.inf")},
       {"ProductB.inf",
        ReadTestData("../e2e/scenarios/security-group-two-products/ProductB.inf")}});
  const std::string setup = "cd " + ShellQuote(media) +
                            " && TARVIUM_MACHINE=" + ShellQuote(terminal.Machine()) + " " +
                            ShellQuote(BuildDir() + "/Setup.exe");
  for (const char* args : {" /S ProductA.inf", " /S ProductB.inf", " /S /U ProductA.inf"})
    ASSERT_EQ(RunHostCommand(setup + args).nExit, 0) << args;

  ASSERT_TRUE(terminal.Start(media, "/U ProductB.inf"));
  ASSERT_TRUE(terminal.Shows("Do you want to continue?"));
  terminal.Keys("y");
  ASSERT_TRUE(terminal.Shows("Should this membership being deleted?"));
  terminal.Keys("a");  // &All
  ASSERT_TRUE(terminal.Shows("Uninstallation complete."));
  terminal.Keys("Enter");
  EXPECT_EQ(terminal.WaitForExit(), 0) << terminal.Screen();
  EXPECT_EQ(terminal.History().find("The group 'Tarvium Operators' is no longer being used"),
            std::string::npos);
  const ToolResult groups =
      RunTool("winmachine", "--machine " + ShellQuote(terminal.Machine()) + " group list");
  ASSERT_EQ(groups.nExit, 0);
  EXPECT_EQ(groups.out.find("Tarvium Operators"), std::string::npos) << groups.out;
}

}  // namespace
}  // namespace tarvium::test
