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

void WriteHostFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A program for the script to start: it runs until the flag file exists (or 30 s went by).
void WriteWorker(const std::string& path, const std::string& flagFile) {
  WriteHostFile(path, "#!/bin/sh\nn=0\nwhile [ ! -e '" + flagFile +
                          "' ] && [ $n -lt 300 ]; do sleep 0.1; n=$((n+1)); done\n");
  fs::permissions(path, fs::perms::owner_all);
}

constexpr const char* kProcessesProduct = R"([Setup]
Version=4.10

[Application]
ProductName=Tarvium Processes Product
Version=1.0
MachineKeyName=Tarvium Tests\Processes Product\1.0
ApplicationDir=%ProgramFilesDir%\Tarvium Tests\Processes Product
AskKillProcessesText1=These programs still run:
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
  const std::string media = terminal.Scratch() + "/media";
  fs::create_directories(media);
  WriteHostFile(media + "/Setup.inf", kProcessesProduct);
  WriteWorker(media + "/first.sh", terminal.Scratch() + "/first.done");
  WriteWorker(media + "/second.sh", terminal.Scratch() + "/never");
  ASSERT_TRUE(terminal.Start(media, "Setup.inf"));
  ASSERT_TRUE(terminal.WaitFor("components selected")) << terminal.Screen();
  terminal.Keys("F12");  // Next on the options page

  // With a time-out: the countdown, no Cancel; the page goes on as soon as the program ended.
  ASSERT_TRUE(terminal.WaitFor("Continuing in: ")) << terminal.Screen();
  std::string screen = terminal.Screen();
  for (const char* text : {"Programs to end", "These programs still run:", "first.sh"})
    EXPECT_NE(screen.find(text), std::string::npos) << text << "\n" << screen;
  EXPECT_EQ(screen.find("absent.exe"), std::string::npos) << "only running programs are listed";
  EXPECT_EQ(screen.find("Cancel"), std::string::npos) << screen;
  WriteHostFile(terminal.Scratch() + "/first.done", "");

  // Without a time-out: no countdown, Cancel offered; OK ends the program.
  ASSERT_TRUE(terminal.WaitFor("second.sh")) << terminal.Screen();
  screen = terminal.Screen();
  EXPECT_EQ(screen.find("Continuing in"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Cancel"), std::string::npos) << screen;
  terminal.Keys("F12");  // OK

  // No listed program runs: no page at all, the run ends.
  ASSERT_TRUE(terminal.WaitFor("successfully completed")) << terminal.Screen();
  terminal.Keys("Enter");
  EXPECT_EQ(terminal.WaitForExit(), 0) << terminal.Screen();
}

constexpr const char* kPromptProduct = R"([Setup]
Version=4.10

[Application]
ProductName=Tarvium Prompt Product
Version=1.0
MachineKeyName=Tarvium Tests\Prompt Product\1.0
ApplicationDir=%ProgramFilesDir%\Tarvium Tests\Prompt Product
Prompts=Patient,Secret

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

bool HasLineWith(const std::vector<std::string>& lines, const std::string& part) {
  for (const std::string& line : lines)
    if (line.find(part) != std::string::npos) return true;
  return false;
}

TEST(TextModeWaitingPages, ValuePageHidesASecretAndGoesOnByItselfAfterItsTimeOut) {
  TerminalSetup terminal;
  const std::string media = terminal.Scratch() + "/media";
  fs::create_directories(media);
  WriteHostFile(media + "/Setup.inf", kPromptProduct);
  ASSERT_TRUE(terminal.Start(media, "Setup.inf"));
  // A time-out of 2147483647 seconds: the page waits for the person, like one without.
  ASSERT_TRUE(terminal.WaitFor("Type a word")) << terminal.Screen();
  terminal.Keys("C-u");
  terminal.Type("typed");
  ASSERT_TRUE(terminal.WaitFor("typed")) << terminal.Screen();
  terminal.Keys("Enter");
  // The secret is not shown, and its page goes on with its value after two seconds.
  ASSERT_TRUE(terminal.WaitFor("The password")) << terminal.Screen();
  EXPECT_EQ(terminal.Screen().find("Geheim42"), std::string::npos) << terminal.Screen();
  ASSERT_TRUE(terminal.WaitFor("components selected")) << terminal.Screen();
  terminal.Keys("F12");
  ASSERT_TRUE(terminal.WaitFor("successfully completed")) << terminal.Screen();
  terminal.Keys("Enter");
  EXPECT_EQ(terminal.WaitForExit(), 0) << terminal.Screen();
  const std::vector<std::string> diff = terminal.Diff();
  // The recorded answers: the typed word, and the secret (scrambled) although nobody answered.
  EXPECT_TRUE(HasLineWith(diff, "PATIENT")) << diff.size();
  EXPECT_TRUE(HasLineWith(diff, "typed")) << "the page waited for the person";
  EXPECT_TRUE(HasLineWith(diff, "SECRET")) << diff.size();
  EXPECT_FALSE(HasLineWith(diff, "Geheim42")) << "a secret is recorded scrambled";
}

}  // namespace
}  // namespace tarvium::test
