// LaunchProgram on a real temporary machine: small host scripts stand for the programs (a Windows
// path of the machine that holds a "#!" script runs it), the exit_with_code helper for a child
// setup that ends with a full 32-bit code, and the shortcuts of tests/data/lnk for links.
#include "script/launch_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/machine_environment.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/win_error.h"
#include "script/crypt/scramble_value.h"
#include "script/msi_quiet_switch.h"
#include "script/script_engine.h"
#include "support/temp_dir.h"
#include "support/test_data.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

using test::TestMachine;

// A user interface that records what the launch asks of it and says "stop" at a chosen pump.
class RecordingUi : public ui::UserInterface {
 public:
  int MessageBox(const ui::MessageBoxRequest&) override { return 2; }
  void SetWaitCursor(bool bOn) override { calls.push_back(bOn ? "cursor on" : "cursor off"); }
  void EnableMainWindows(bool bEnable) override { calls.push_back(bEnable ? "enable" : "disable"); }
  bool PumpMessages() override { return ++nPumps < nStopAtPump; }

  std::vector<std::string> calls;
  int nPumps = 0;
  int nStopAtPump = 1 << 30;
};

class Launch : public ::testing::Test {
 protected:
  std::string ErrorLevel() {
    std::string value;
    machine.Machine().Env().GetVariable("ERRORLEVEL", value);
    return value;
  }
  bool Call(const std::string& line, bool bWait = true) {
    dwError = dwExitCode = 12345;
    return LaunchProgram(run, line, "", "", false, bWait, false, &dwError, &dwExitCode, line);
  }
  bool Shown(int nMessage) {
    return std::any_of(run.shownMessages.begin(), run.shownMessages.end(),
                       [nMessage](const ShownMessage& m) { return m.nMessage == nMessage; });
  }
  TestMachine machine;
  SetupRun run{machine.Machine()};
  uint32_t dwError = 0;
  uint32_t dwExitCode = 0;
};

std::string ExitWithCode() {
  return test::ZPath(TARVIUM_EXIT_WITH_CODE);
}

TEST_F(Launch, ExitCodesErrorLevelAndTheChildsEnvironment) {
  machine.WriteScript("C:\\Tools\\three.cmd", "exit 3");
  SetVariable(run, "TOOLS", "C:\\Tools");
  EXPECT_TRUE(Call("%TOOLS%\\three.cmd"));
  EXPECT_EQ(ErrorLevel(), "3");
  EXPECT_EQ(dwExitCode, 3u);
  EXPECT_EQ(dwError, 0u);
  EXPECT_EQ(run.ctx.iReboot, 0);

  const std::pair<int32_t, int32_t> cases[] = {{6702, 1}, {6703, 3}, {6706, 4}, {6708, 5}};
  for (const auto& [iCode, iReboot] : cases) {
    run.ctx.iReboot = 0;
    EXPECT_TRUE(Call(ExitWithCode() + " " + std::to_string(iCode)));
    EXPECT_EQ(ErrorLevel(), std::to_string(iCode));
    EXPECT_EQ(run.ctx.iReboot, iReboot) << iCode;
  }
  // A negated code comes back whole and asks for nothing.
  run.ctx.iReboot = 0;
  EXPECT_TRUE(Call(ExitWithCode() + " -6708"));
  EXPECT_EQ(ErrorLevel(), "-6708");
  EXPECT_EQ(dwExitCode, static_cast<uint32_t>(-6708));
  EXPECT_EQ(run.ctx.iReboot, 0);

  // The child never sees the ErrorLevel of an earlier program (here -6708): it is emptied before
  // each start.
  const std::string out = machine.HostPath("C:\\") + "/level.txt";
  machine.WriteScript("C:\\Tools\\level.cmd",
                      "printf '[%s]' \"$ERRORLEVEL\" >> '" + out + "'; exit 4");
  EXPECT_TRUE(Call("C:\\Tools\\level.cmd"));
  EXPECT_EQ(ErrorLevel(), "4");
  EXPECT_TRUE(Call("C:\\Tools\\level.cmd"));
  EXPECT_EQ(machine.ReadFile("C:\\level.txt"), "[][]");

  // A value the setup wrote into the machine environment of the registry reaches the program.
  machine.WriteScript("C:\\Tools\\env.cmd",
                      "printf '[%s]' \"$TOOLS_HOME\" > '" + machine.HostPath("C:\\") + "/env.txt'");
  machine.SetRegString(platform::RegRoot::LocalMachine, kMachineEnvironmentKey, "TOOLS_HOME",
                       "%SystemRoot%\\Tools", platform::REG_EXPAND_SZ);
  EXPECT_TRUE(Call("C:\\Tools\\env.cmd"));
  std::string windir;
  machine.Machine().Env().GetVariable("SystemRoot", windir);
  EXPECT_EQ(machine.ReadFile("C:\\env.txt"), "[" + windir + "\\Tools]");
}

TEST_F(Launch, CallTimeLimitEndsTheProgram) {
  machine.WriteScript("C:\\Tools\\slow.cmd", "exec sleep 20");
  run.ctx.nCallTimeOut = 1000;
  EXPECT_TRUE(Call("C:\\Tools\\slow.cmd"));
  EXPECT_EQ(ErrorLevel(), "-1");
  ASSERT_EQ(run.shownMessages.size(), 1u);
  EXPECT_EQ(run.shownMessages[0].nMessage, 5569);
  EXPECT_EQ(std::get<std::string>(run.shownMessages[0].args[0]), "C:\\Tools\\slow.cmd");

  run.ctx.nCallTimeOut = 100;
  run.ctx.bAbortAfterCallTimeOut = true;
  EXPECT_FALSE(Call("C:\\Tools\\slow.cmd"));
  EXPECT_EQ(dwExitCode, 0xFFFFFFFFu);
  EXPECT_EQ(run.shownMessages.size(), 2u);
}

TEST_F(Launch, WithoutWaitingReturnsAtOnceAndAQuitEndsAWait) {
  machine.WriteScript("C:\\Tools\\wait.cmd", "sleep 2");  // outlives the test's waits, then ends
  auto ui = std::make_unique<RecordingUi>();
  RecordingUi& recorder = *ui;
  run.ui = std::move(ui);
  EXPECT_TRUE(Call("C:\\Tools\\wait.cmd", false));
  EXPECT_EQ(ErrorLevel(), "0");  // not known yet
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"cursor on", "cursor off"}));
  EXPECT_EQ(recorder.nPumps, 0);

  // A pump that says stop ends the wait and the run; the program goes on by itself.
  recorder.calls.clear();
  recorder.nStopAtPump = 3;
  EXPECT_TRUE(Call("C:\\Tools\\wait.cmd"));
  EXPECT_TRUE(run.ctx.bAborted);
  EXPECT_EQ(recorder.nPumps, 3);
  EXPECT_EQ(recorder.calls,
            (std::vector<std::string>{"cursor on", "disable", "enable", "cursor off"}));
  EXPECT_FALSE(Shown(5569));
}

TEST_F(Launch, FailedStartsAndLogonsAndAnotherUserInTheProfile) {
  machine.WriteScript("C:\\Tools\\mark.cmd",
                      "echo ran > '" + machine.HostPath("C:\\") + "/ran.txt'");
  EXPECT_FALSE(Call("C:\\Tools\\missing.exe /x"));
  EXPECT_EQ(dwError, platform::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ErrorLevel(), "-1");
  ASSERT_EQ(run.shownMessages.size(), 1u);
  EXPECT_EQ(run.shownMessages[0].nMessage, 5508);
  EXPECT_EQ(run.shownMessages[0].args[1], MessageArg(int64_t{2}));

  // Under another account that cannot log on: nothing starts, and there is no start to report.
  EXPECT_FALSE(LaunchProgram(run, "C:\\Tools\\mark.cmd", "CORP\\nobody", "secret", false, true,
                             false, &dwError, &dwExitCode, ""));
  EXPECT_EQ(dwError, platform::ERROR_LOGON_FAILURE);
  EXPECT_FALSE(machine.Machine().Files().FileExists("C:\\ran.txt"));
  EXPECT_EQ(run.shownMessages.size(), 1u);
  // Without a program nothing starts either.
  EXPECT_FALSE(Call("   "));

  // Another user starts in the profile, with the right password only.
  AttachScriptEngine(run);
  const std::string out = machine.HostPath("C:\\") + "/who.txt";
  machine.WriteScript("C:\\Tools\\who.cmd", "{ pwd -P; echo \"$USERNAME\"; } > '" + out + "'");
  ASSERT_EQ(machine.Machine().EmulatedUsers().AddUser("Anna", "Pa$$w0rd"), 0u);
  ASSERT_EQ(machine.Machine().Files().CreateDirectoryTree("C:\\Users\\Anna"), 0u);

  EXPECT_FALSE(LaunchProgram(run, "C:\\Tools\\who.cmd", ".\\Anna", "wrong", false, true, false,
                             &dwError, &dwExitCode, ""));
  EXPECT_EQ(dwError, platform::ERROR_LOGON_FAILURE);
  EXPECT_FALSE(machine.Machine().Files().FileExists("C:\\who.txt"));

  // The password may stand in the file encrypted; the guard decrypts it before the logon.
  std::string encrypted = "Pa$$w0rd";
  ASSERT_TRUE(Tarvium::ScrambleValue(encrypted, 7));
  EXPECT_TRUE(LaunchProgram(run, "C:\\Tools\\who.cmd", "Anna", encrypted, false, true, false,
                            &dwError, &dwExitCode, ""));
  EXPECT_EQ(machine.ReadFile("C:\\who.txt"),
            std::filesystem::canonical(machine.HostPath("C:\\Users\\Anna")).string() + "\nAnna\n");
}

TEST_F(Launch, ShortcutStartsItsTargetWithItsArgumentsInItsDirectory) {
  const std::string out = machine.HostPath("C:\\") + "/out.txt";
  machine.WriteScript("C:\\Tools\\show-args.cmd",
                      "{ pwd -P; printf '[%s]\\n' \"$@\"; } > '" + out + "'");
  machine.Machine().Files().CreateDirectoryTree("C:\\Work");
  machine.Machine().Files().CreateDirectoryTree("C:\\Links");
  const std::string link = test::ReadTestData("lnk/show-args.lnk");
  ASSERT_FALSE(link.empty());
  ASSERT_EQ(machine.Machine().Files().WriteWholeFile("C:\\Links\\Show-Args.LNK", link), 0u);

  EXPECT_TRUE(Call("C:\\Links\\Show-Args.LNK \"and more\""));
  EXPECT_EQ(machine.ReadFile("C:\\out.txt"),
            std::filesystem::canonical(machine.HostPath("C:\\Work")).string() +
                "\n[first]\n[two words]\n[last]\n[and more]\n");
  EXPECT_EQ(ErrorLevel(), "0");
}

TEST(MsiQuietSwitch, ServiceRunsForceNoInterface) {
  const std::pair<const char*, const char*> cases[] = {
      {"/i x.msi /qb", "/i x.msi /qn"},
      {"/i x.msi /qb! /l*v log", "/i x.msi /qn  /l*v log"},
      {"/i x.msi /QB-", "/i x.msi /Qn "},
      {"-qr /x {GUID}", "-qn /x {GUID}"},
      {"/i x.msi /q", "/i x.msi /q"},
      {"/i x.msi /q TARGETDIR=C:\\my-queue", "/i x.msi /q TARGETDIR=C:\\my-queue"},
  };
  for (const auto& [pszBefore, pszAfter] : cases) {
    std::string parameters = pszBefore;
    ForceQuietMsiParameters("MsiExec.exe", parameters);
    EXPECT_EQ(parameters, pszAfter) << pszBefore;
  }
  std::string other = "/qb";
  ForceQuietMsiParameters("setup.exe", other);
  EXPECT_EQ(other, "/qb");
}

TEST(ShellWorkingDirectory, CurrentDirectoryWithoutTrailingBackslashOrTheWindowsDirectory) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Work\\", "C:\\Work"},
      {"C:\\", "C:\\"},
      {"\\\\?\\C:\\Long\\", "C:\\Long"},
      {"\\\\srv\\share\\x", "C:\\Windows"},
      {"\\\\?\\UNC\\srv\\share", "C:\\Windows"},
  };
  for (const auto& [pszCurrent, pszExpected] : cases)
    EXPECT_EQ(ShellWorkingDirectory(pszCurrent, "C:\\Windows"), pszExpected) << pszCurrent;
}

}  // namespace
}  // namespace tarvium
