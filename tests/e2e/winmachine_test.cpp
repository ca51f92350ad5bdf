// winmachine as its users run it: the real binary on real temporary machines. winmachine run
// starts an engine image through the real binary, its output passed through untouched, its exit
// code as a shell sees it and, for a parent that starts winmachine through the machine, whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/emulated/machine/machine_config.h"
#include "platform/win_error.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace {

using Result = tarvium::test::ToolResult;
using tarvium::test::RunTool;
using tarvium::test::ShellQuote;

// Runs winmachine with a shell-quoted argument string; stderr is folded into the output.
Result Winmachine(const std::string& args) {
  return RunTool("winmachine", args);
}

bool Has(const Result& result, const std::string& text) {
  return result.out.find(text) != std::string::npos;
}

class WinmachineTool : public testing::Test {
 protected:
  void SetUp() override {
    machine_ = dir_.Path() + "/machine";
    ASSERT_EQ(Winmachine("create " + machine_ + " --user Anna --computer PC1 --lang fr-FR").nExit,
              0);
  }
  Result On(const std::string& args) { return Winmachine("--machine " + machine_ + " " + args); }

  tarvium::test::TempDir dir_;
  std::string machine_;
};

TEST_F(WinmachineTool, BadArgumentsGiveOneLineAndStatusTwo) {
  for (const char* args :
       {"", "bogus", "create", "reg", "reg query", "reg frobnicate 'HKLM\\X'",
        "reg query 'NOROOT\\Software'", "reg add 'HKLM\\X' /t REG_WHAT /d 1",
        "reg add 'HKLM\\X' /v N /t REG_DWORD /d twelve", "reg query 'HKLM\\X' /q", "path",
        "diff onlyone", "--machine", "account add onlyname", "group add Admins", "group remove a b",
        "diff a b --ignore", "diff a b --ignore /nonexistent/patterns"}) {
    const Result result = On(args);
    EXPECT_EQ(result.nExit, 2) << args << ": " << result.out;
    EXPECT_TRUE(result.out.rfind("winmachine: ", 0) == 0 || result.out.rfind("usage:", 0) == 0)
        << args;
  }
  const Result lang = Winmachine("create " + dir_.Path() + "/other --lang xx-XX");
  EXPECT_EQ(lang.nExit, 2);
  EXPECT_TRUE(Has(lang, "unknown language 'xx-XX'"));
  EXPECT_EQ(Winmachine("create " + machine_).nExit, 1) << "a machine is not created twice";
}

TEST_F(WinmachineTool, InfoAndPathsOfTheMachine) {
  const Result info = On("info");
  EXPECT_EQ(info.nExit, 0);
  EXPECT_TRUE(Has(info, "user:      Anna (S-1-5-21-"));
  EXPECT_TRUE(Has(info, "language:  fr-FR"));
  const Result path = On("path 'c:/users/anna/DESKTOP/new file.txt'");
  EXPECT_EQ(path.out, machine_ + "/drive_c/Users/Anna/Desktop/new file.txt\n");
  EXPECT_EQ(On("path 'Z:\\etc\\..\\..\\tmp'").out, "/tmp\n") << "'..' stops at the drive root";

  // A user whose name the ANSI code page cannot hold: the machine names the user as Windows' ANSI
  // functions do, its profile keeps the whole name on the host, and no ANSI path reaches it.
  const std::string other = dir_.Path() + "/other";
  ASSERT_EQ(Winmachine("create " + other + " --user '\xC5\x81ukasz'").nExit, 0);
  EXPECT_TRUE(Has(Winmachine("--machine " + other + " info"), "user:      ?ukasz ("));
  EXPECT_TRUE(std::filesystem::is_directory(other + "/drive_c/Users/\xC5\x81ukasz/Desktop"));
  EXPECT_TRUE(Has(Winmachine("--machine " + other + " path 'C:\\Users\\?ukasz\\Desktop'"),
                  "error 123: The filename, directory name, or volume label syntax is incorrect."));
}

// reg add, query, delete, export and import are checked row by row in winmachine_reg_wine_test;
// here the UTF-8 of the command line and what import says of a file it cannot read.
TEST_F(WinmachineTool, RegistryTextAndImportMessages) {
  ASSERT_EQ(On("reg add 'HKCU\\Software\\Tarvium' /ve /d 'caf\xC3\xA9'").nExit, 0);
  EXPECT_TRUE(
      Has(On("reg query 'hkcu\\software\\tarvium' /ve"), "(Default)    REG_SZ    caf\xC3\xA9"));

  std::ofstream(dir_.Path() + "/broken.reg")
      << "Windows Registry Editor Version 5.00\r\n\r\n[HKLM\r\n";
  const Result broken = On("reg import " + dir_.Path() + "/broken.reg");
  EXPECT_EQ(broken.nExit, 0) << "reg skips an unreadable line and imports the rest";
  EXPECT_TRUE(Has(broken, "broken.reg, line 3: key line without closing ']' (line skipped)"))
      << broken.out;
  std::ofstream(dir_.Path() + "/none.reg") << "regedit4\r\n";
  const Result none = On("reg import " + dir_.Path() + "/none.reg");
  EXPECT_EQ(none.nExit, 1);
  EXPECT_TRUE(Has(none, "none.reg, line 1: not a registry file")) << none.out;
}

TEST_F(WinmachineTool, DiffShowsWhatChangedBetweenMachinesAndSnapshots) {
  const std::string twin = dir_.Path() + "/twin";
  ASSERT_EQ(Winmachine("create " + twin + " --user Anna --computer PC1 --lang fr-FR").nExit, 0);
  const Result same = Winmachine("diff " + twin + " " + machine_);
  EXPECT_EQ(same.nExit, 0) << same.out;
  EXPECT_EQ(same.out, "");

  const std::string snapshot = dir_.Path() + "/before";
  ASSERT_EQ(On("snapshot " + snapshot).nExit, 0);
  ASSERT_EQ(On("reg add 'HKLM\\Software\\Tarvium' /v Version /d 2.4").nExit, 0);
  ASSERT_EQ(On("reg delete 'HKCU\\Control Panel\\International' /v sList").nExit, 0);
  const std::string notes = On("path 'C:\\Notes.txt'").out;
  std::ofstream(notes.substr(0, notes.size() - 1)) << "hello";
  const Result diff = Winmachine("diff " + snapshot + " " + machine_);
  EXPECT_EQ(diff.nExit, 1);
  EXPECT_TRUE(Has(diff, "+ file C:\\Notes.txt (5 bytes, A)\n")) << diff.out;
  EXPECT_TRUE(Has(diff, "+ key HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvium\n"));
  EXPECT_TRUE(
      Has(diff, "+ value HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvium: \"Version\" = REG_SZ 2.4\n"));
  EXPECT_TRUE(Has(diff, "- value HKEY_USERS\\")) << "the deleted value";
  EXPECT_EQ(Winmachine("diff " + dir_.Path() + "/nowhere " + machine_).nExit, 2);

  // Patterns leave lines out; --removal what a removal leaves on purpose, and nothing else.
  std::ofstream(dir_.Path() + "/ignore.txt")
      << "# what the steps above changed\n\n+ file C:\\Notes.txt *\n* "
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\"
         "Tarvium*\n- value HKEY_USERS\\*\\International: \"sList\" = *\n";
  const Result ignored =
      Winmachine("diff " + snapshot + " " + machine_ + " --ignore " + dir_.Path() + "/ignore.txt");
  EXPECT_EQ(ignored.nExit, 0) << ignored.out;
  EXPECT_EQ(ignored.out, "");
  const std::string uninstall =
      "'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pad";
  for (const std::string& add :
       {std::string("'HKLM\\Software\\kelvaron\\Stowfield' /v LastError /d 'Uninstallation "
                    "complete.'"),
        uninstall + "' /v PackageGUID /d '{5C2B7E1A-3F04-4D8E-9A61-2B7F0C4D9E10}'",
        uninstall + "' /v NoRepair /t REG_DWORD /d 1",
        std::string("'HKLM\\Software\\Maker\\Pad\\1.0\\Setup\\Options' /v Forgotten /d 1"),
        uninstall + " Old' /v DisplayName /d Pad"})
    ASSERT_EQ(On("reg add " + add).nExit, 0) << add;
  const std::string image = On("path 'C:\\Windows\\_UnInst.exe'").out;
  std::ofstream(image.substr(0, image.size() - 1)) << "engine";
  const Result removal = Winmachine("diff " + snapshot + " " + machine_ + " --removal --ignore " +
                                    dir_.Path() + "/ignore.txt");
  EXPECT_EQ(removal.nExit, 1);
  EXPECT_EQ(
      removal.out,
      "+ key HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Pad\\1.0\\Setup\n"
      "+ key HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Pad\\1.0\\Setup\\Options\n"
      "+ value HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Pad\\1.0\\Setup\\Options: \"Forgotten\" = "
      "REG_SZ 1\n"
      "+ key HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pad "
      "Old\n"
      "+ value HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pad "
      "Old: \"DisplayName\" = REG_SZ Pad\n");
}

TEST_F(WinmachineTool, ProgramsAndReboot) {
  const std::string key = "'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Notes'";
  ASSERT_EQ(On("reg add " + key + " /v DisplayName /d 'Tarvium Notes' /reg:32").nExit, 0);
  ASSERT_EQ(On("reg add " + key + " /v DisplayVersion /d 2.4 /reg:32").nExit, 0);
  ASSERT_EQ(On("reg add " + key + " /v UninstallString /d 'C:\\Setup.exe /U' /reg:32").nExit, 0);
  const Result programs = On("programs");
  EXPECT_TRUE(Has(programs, "Tarvium Notes 2.4  [Notes]\n    uninstall: C:\\Setup.exe /U"))
      << programs.out;

  ASSERT_EQ(On("reg add 'HKCU\\Volatile Environment' /v X /d 1").nExit, 0);
  const Result reboot = On("reboot");
  EXPECT_EQ(reboot.nExit, 0);
  EXPECT_TRUE(Has(reboot, "restart request cleared"));
}

TEST_F(WinmachineTool, AccountsAndGroupMembers) {
  EXPECT_EQ(On("account add alice 'pass word'").nExit, 0);
  const Result again = On("account add ALICE other");
  EXPECT_EQ(again.nExit, 1);
  EXPECT_TRUE(Has(again, "already exists")) << again.out;
  EXPECT_EQ(On("group add Administrateurs alice").nExit, 0);
  EXPECT_EQ(On("group add Sales 'CORP\\jdoe' --global").nExit, 0);
  const Result users = On("account list");
  EXPECT_TRUE(Has(users, "alice  S-1-5-21-")) << users.out;
  EXPECT_TRUE(Has(users, "Invit\xC3\xA9  S-1-5-21-")) << users.out;  // French built-in guest
  EXPECT_TRUE(Has(On("group list"), "Administrateurs: Administrateur; Anna; alice"));
  EXPECT_TRUE(Has(On("group list --global"), "Sales: CORP\\jdoe"));
}

class WinmachineRun : public testing::Test {
 protected:
  WinmachineRun() {
    EXPECT_EQ(machine_.Machine().Programs().PlaceEngineImage("C:\\Windows\\_UnInst.exe"), 0u);
  }
  void UseEngine(const std::string& engine) {
    const std::string ini = machine_.Path() + "/" + platform::emulated::kMachineConfigName;
    platform::emulated::MachineConfig config;
    std::string error;
    ASSERT_TRUE(platform::emulated::LoadMachineConfig(ini, config, error)) << error;
    config.szEngine = engine;
    ASSERT_TRUE(platform::emulated::SaveMachineConfig(ini, config, error)) << error;
  }
  Result Run(const std::string& commandLine) {
    return RunTool("winmachine", "--machine " + machine_.Path() + " run " + commandLine);
  }

  tarvium::test::TestMachine machine_;
  tarvium::test::TempDir host_;
};

TEST_F(WinmachineRun, OutputAndLowByteOfTheCodeReachTheShell) {
  // A machine that names no engine (this one was not made by winmachine) cannot start an image.
  EXPECT_EQ(Run(ShellQuote("C:\\Windows\\_UnInst.exe")).out,
            "winmachine: cannot start 'C:\\Windows\\_UnInst.exe' (error 193: "
            "C:\\Windows\\_UnInst.exe is not a valid Win32 application.)\n");
  const std::string engine = host_.WriteScript("engine.sh", "echo \"engine: $*\"\nexit 44");
  UseEngine(engine);
  const auto result = Run(ShellQuote("C:\\Windows\\_UnInst.exe /U \"a b\""));
  EXPECT_EQ(result.out, "engine: /U a b\n");
  EXPECT_EQ(result.nExit, 44);
  // Words after "run" form the command line as typed.
  EXPECT_EQ(Run("_UnInst.exe /X 1").out, "engine: /X 1\n");

  const auto missing = Run(ShellQuote("C:\\Nothing.exe"));
  EXPECT_EQ(missing.nExit, 1);
  EXPECT_EQ(missing.out,
            "winmachine: cannot start 'C:\\Nothing.exe' (error 2: The system cannot find the file "
            "specified.)\n");
  EXPECT_EQ(Run("").nExit, 2);
}

TEST_F(WinmachineRun, AParentOnTheMachineGetsTheWholeCode) {
  UseEngine(TARVIUM_EXIT_WITH_CODE);
  const std::string winmachine =
      tarvium::test::ZPath(tarvium::test::BuildDir() + "/tools/winmachine");
  platform::ProcessStart start;
  start.commandLine =
      winmachine + " --machine " + machine_.Path() + " run C:\\Windows\\_UnInst.exe 3221225477";
  platform::Processes& programs = machine_.Machine().Programs();
  platform::ProcessHandle hProcess = platform::ProcessHandle::Invalid;
  ASSERT_EQ(programs.CreateProcess(start, hProcess), 0u);
  platform::WaitResult result = platform::WaitResult::TimedOut;
  ASSERT_EQ(programs.WaitForProcess(hProcess, platform::INFINITE, {}, result), 0u);
  uint32_t dwExitCode = 0;
  EXPECT_EQ(programs.GetExitCodeProcess(hProcess, dwExitCode), 0u);
  EXPECT_EQ(dwExitCode, 0xC0000005u);
  programs.CloseProcess(hProcess);
}

}  // namespace
