// Setup.exe in a real terminal (tmux) on the pages that a script or a prompt asks during a run:
// the programs-to-end page of AskKillProcesses for programs the script started and left running,
// and a prompt's value page (a secret hidden, a time-out that goes on by itself).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/terminal_setup.h"

namespace tarvium::test {
namespace {

namespace fs = std::filesystem;

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
