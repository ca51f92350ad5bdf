// Setup.exe in a real terminal (tmux): the restart page of /Y counting down, the progress window
// of an interactive install with its Cancel, the progress line of a silent run with progress, the
// directory chooser behind Browse, and the pages that a script or a prompt asks during a run: the
// programs-to-end page of AskKillProcesses for programs the script started and left running, and
// a prompt's value page (a secret hidden, a time-out that goes on by itself).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/terminal_setup.h"

namespace tarvium::test {
namespace {

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

  // Without a time-out: no countdown, Cancel offered; OK ends the program.
  ASSERT_TRUE(terminal.Shows("second.sh"));
  screen = terminal.Screen();
  EXPECT_EQ(screen.find("Continuing in"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Cancel"), std::string::npos) << screen;
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

}  // namespace
}  // namespace tarvium::test
