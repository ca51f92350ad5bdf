// winmachine as its users run it: the real binary on real temporary machines. winmachine run
// starts an engine image through the real binary, its output passed through untouched, its exit
// code as a shell sees it and, for a parent that starts winmachine through the machine, whole.
// winmachine reg add, delete, query and export checked case by case against Windows' reg command
// as Wine's conformance tests for reg.exe record it. Each row runs the real binary on a real
// machine; the registry it leaves is read back through the machine itself. Where reg exits with 1,
// winmachine exits with 1 or, for a malformed command line, with 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/emulated/machine/machine_config.h"
#include "platform/emulated/registry/reg_text_decode.h"
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
  for (const char* args : {"",
                           "bogus",
                           "create",
                           "create --help",
                           "snapshot --version",
                           "reg",
                           "reg query",
                           "reg frobnicate 'HKLM\\X'",
                           "reg query 'NOROOT\\Software'",
                           "reg add 'HKLM\\X' /t REG_WHAT /d 1",
                           "reg add 'HKLM\\X' /v N /t REG_DWORD /d twelve",
                           "reg query 'HKLM\\X' /q",
                           "path",
                           "diff onlyone",
                           "--machine",
                           "account add onlyname",
                           "group add Admins",
                           "group remove a b",
                           "shares add OnlyName",
                           "rights a b",
                           "acl",
                           "acl folder X",
                           "acl file X permit Everyone",
                           "diff a b --ignore",
                           "diff a b --ignore /nonexistent/patterns"}) {
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

// reg add, query, delete, export and import are checked row by row in the Wine tables below;
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

// winmachine services as sc.exe: a service registered through reg add runs the stand-in; each
// command is a process of its own, so the service outlives the one that started it and another
// one stops it.
TEST_F(WinmachineTool, ServicesStartQueryAndStopAsScDoes) {
  const std::string programPath = "C:\\Svc\\svc.exe";
  const std::string host = machine_ + "/drive_c/Svc";
  std::filesystem::create_directories(host);
  std::filesystem::copy_file(tarvium::test::BuildDir() + "/tests/stand-in", host + "/svc.exe");
  std::ofstream(host + "/svc.ini") << "Sleep=30\n";
  const std::string key = "'HKLM\\SYSTEM\\CurrentControlSet\\Services\\TSvc'";
  const std::vector<std::string> values = {
      "/v Type /t REG_DWORD /d 16", "/v Start /t REG_DWORD /d 3",
      "/v ErrorControl /t REG_DWORD /d 1", "/v ImagePath /t REG_EXPAND_SZ /d '" + programPath + "'",
      "/v DisplayName /d 'Tarvium Svc'"};
  for (const std::string& value : values)
    ASSERT_EQ(On("reg add " + key + " " + value + " /f").nExit, 0) << value;

  EXPECT_TRUE(Has(On("services list"), "STOPPED       TSvc  Tarvium Svc\n"));
  const Result start = On("services start TSvc");
  EXPECT_EQ(start.nExit, 0) << start.out;
  EXPECT_TRUE(Has(start,
                  "SERVICE_NAME: TSvc\n        TYPE               : 10  WIN32_OWN_PROCESS\n"
                  "        STATE              : 4  RUNNING\n"))
      << start.out;
  const Result query = On("services query TSvc");
  EXPECT_TRUE(Has(query,
                  "        STATE              : 4  RUNNING\n"
                  "                                (STOPPABLE, NOT_PAUSABLE, "
                  "IGNORES_SHUTDOWN)\n        WIN32_EXIT_CODE    : 0  (0x0)\n"))
      << query.out;
  const Result again = On("services start TSvc");
  EXPECT_EQ(again.nExit, 1);
  EXPECT_EQ(again.out,
            "winmachine: [SC] StartService FAILED 1056: An instance of the service is already "
            "running.\n");
  EXPECT_EQ(On("services stop TSvc").nExit, 0);
  bool bStopped = false;
  for (int i = 0; i < 50 && !bStopped; ++i)
    bStopped = Has(On("services query TSvc"), "STATE              : 1  STOPPED\n");
  EXPECT_TRUE(bStopped);
  const struct {
    const char* args;
    const char* line;
  } failures[] = {
      {"services stop TSvc",
       "winmachine: [SC] ControlService FAILED 1062: The service has not been started.\n"},
      {"services start Nope",
       "winmachine: [SC] StartService FAILED 1060: The specified service does not exist as an "
       "installed service.\n"},
      {"services query Nope",
       "winmachine: [SC] OpenService FAILED 1060: The specified service does not exist as an "
       "installed service.\n"},
  };
  for (const auto& failure : failures) {
    const Result result = On(failure.args);
    EXPECT_EQ(result.nExit, 1) << failure.args;
    EXPECT_EQ(result.out, failure.line) << failure.args;
  }
  ASSERT_EQ(On("reg add " + key + " /v Start /t REG_DWORD /d 4 /f").nExit, 0);
  EXPECT_TRUE(Has(On("services start TSvc"), "FAILED 1058: The service cannot be started"));
  ASSERT_EQ(On("reg add " + key + " /v Start /t REG_DWORD /d 2 /f").nExit, 0);
  EXPECT_TRUE(Has(On("reboot"), "start service TSvc\n"));
  EXPECT_TRUE(Has(On("services list"), "RUNNING       TSvc  Tarvium Svc\n"));
  EXPECT_TRUE(Has(On("services stop TSvc"), "STATE              : "));
  for (const char* args : {"services frob", "services stop", "services list x", "services start"})
    EXPECT_EQ(On(args).nExit, 2) << args;
  EXPECT_TRUE(Has(Winmachine("--help"), "services query [NAME]"));
}

TEST_F(WinmachineTool, AccountsGroupsSharesRightsAndAccessLists) {
  ASSERT_EQ(On("account add bob 'pass word'").nExit, 0);
  const Result again = On("account add BOB other");
  EXPECT_EQ(again.nExit, 1);
  EXPECT_TRUE(Has(again, "already exists")) << again.out;
  ASSERT_EQ(On("group add Administrateurs bob").nExit, 0);
  EXPECT_EQ(On("group add Sales 'CORP\\jdoe' --global").nExit, 0);
  const Result users = On("account list");
  EXPECT_TRUE(Has(users, "bob  S-1-5-21-")) << users.out;
  EXPECT_TRUE(Has(users, "-1002  admin  flags 0x00000201")) << users.out;
  EXPECT_TRUE(Has(users, "Invit\xC3\xA9  S-1-5-21-")) << users.out;  // French built-in guest
  EXPECT_TRUE(Has(On("group list"), "Administrateurs: Administrateur; Anna; bob\n"));
  EXPECT_TRUE(Has(On("group list --global"), "Sales: CORP\\jdoe"));

  ASSERT_EQ(On("shares add Public 'C:\\Users\\Public' 'for all'").nExit, 0);
  const Result missing = On("shares add Gone 'C:\\Gone'");
  EXPECT_EQ(missing.nExit, 1);
  EXPECT_TRUE(Has(missing, "error 2116")) << missing.out;
  EXPECT_TRUE(Has(On("shares"), "Public  C:\\Users\\Public  for all"));

  ASSERT_EQ(On("rights add bob SeServiceLogonRight").nExit, 0);
  EXPECT_EQ(On("rights add bob SeNoSuchRight").nExit, 1);
  EXPECT_TRUE(Has(On("rights bob"), "(PC1\\bob): SeServiceLogonRight"));
  EXPECT_TRUE(Has(On("rights"), "SeServiceLogonRight"));

  ASSERT_EQ(On("acl share Public grant 'Tout le monde' 0x120089").nExit, 0);
  ASSERT_EQ(On("acl share Public deny bob 0x10000 3").nExit, 0);
  const Result acl = On("acl share Public");
  EXPECT_TRUE(
      Has(acl, "deny   0x00010000  inherit 3  bob\nallow  0x00120089  inherit 0  Tout le monde"))
      << acl.out;
  const Result unknown = On("acl file 'C:\\Users\\Public' grant Everyone");  // French machine
  EXPECT_EQ(unknown.nExit, 1);
  EXPECT_TRUE(Has(unknown, "error 1332")) << unknown.out;

  // Deleting the user takes it out of its groups and drops its rights; the share's list stays.
  ASSERT_EQ(On("account del bob").nExit, 0);
  EXPECT_TRUE(Has(On("group list"), "Administrateurs: Administrateur; Anna\n"));
  EXPECT_FALSE(Has(On("rights"), "SeServiceLogonRight"));
  ASSERT_EQ(On("shares del Public").nExit, 0);
  EXPECT_FALSE(Has(On("shares"), "Public"));
  EXPECT_EQ(On("acl share Public").nExit, 1);
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

using namespace std::string_literals;
using platform::RegRoot;
using platform::RegValue;
using platform::RegView;

constexpr const char* kBase = "Software\\Wine\\reg_test";
const std::string kKey = "'HKCU\\Software\\Wine\\reg_test'";

struct Written {
  std::string name;  // the value the row writes
  uint32_t dwType;
  std::string data;
};

struct AddCase {
  std::string args;                // after "reg add KEY"
  std::optional<Written> written;  // null: reg refuses the command
};

std::string Le(uint64_t n, size_t nBytes) {
  std::string bytes;
  for (size_t i = 0; i < nBytes; ++i) bytes += static_cast<char>(n >> (8 * i));
  return bytes;
}
Written Sz(std::string name, const std::string& text, uint32_t dwType = platform::REG_SZ) {
  return {std::move(name), dwType, text + '\0'};
}
Written Dw(std::string name, uint32_t n, uint32_t dwType = platform::REG_DWORD) {
  return {std::move(name), dwType, Le(n, 4)};
}
Written Qw(std::string name, uint64_t n) {
  return {std::move(name), platform::REG_QWORD, Le(n, 8)};
}

class RegCommandWineTest : public testing::Test {
 protected:
  Result Reg(const std::string& args) {
    return tarvium::test::RunTool("winmachine", "--machine " + machine_.Path() + " reg " + args);
  }
  platform::Registry& Registry() { return machine_.Machine().Reg(); }
  std::string Read(const std::string& name, const std::string& key = kBase) {
    RegValue value;
    if (uint32_t err = Registry().QueryValue(RegRoot::CurrentUser, key, name, value))
      return "<error " + std::to_string(err) + ">";
    return std::to_string(value.dwType) + ":" + std::string(value.data.begin(), value.data.end());
  }
  void ExpectWritten(const Written& written, const std::string& what) {
    EXPECT_EQ(Read(written.name), std::to_string(written.dwType) + ":" + written.data) << what;
  }
  void ResetKey() {
    Registry().DeleteTree(RegRoot::CurrentUser, kBase);
    ASSERT_EQ(Registry().CreateKey(RegRoot::CurrentUser, kBase), platform::ERROR_SUCCESS);
  }

  tarvium::test::TempDir dir_;
  tarvium::test::TestMachine machine_;
};

const AddCase kAddCases[] = {
    // Repeated, conflicting, unknown and incomplete switches.
    {"/v Wine /t REG_DWORD /d 0x1 /v Test /f", {}},
    {"/v dup1 /t REG_DWORD /d 123 /f /t REG_SZ", {}},
    {"/v dup2 /t REG_DWORD /d 123 /f /d 456", {}},
    {"/f /f", {}},
    {"/v Wine /ve", {}},
    {"/v", {}},
    {"/d Test /f /v", {}},
    {"/v invalid1 /a", {}},
    {"/v invalid2 /ae", {}},
    {"/v invalid3 /", {}},
    {"/v invalid4 -", {}},
    {"/v emptyType /t '' /d WineTest /f", {}},
    {"/v abc /d 123 /f /reg:32 /reg:32", {}},
    {"/v abc /d 123 /f /reg:32 /reg:64", {}},
    {"/v abc /d 123 /f /reg:64 /reg:64", {}},
    {"/ve /f /ve", {}},
    // Without /v or /ve the default value is written, empty without /d.
    {"/f", Sz("", "")},
    {"/t REG_DWORD /d 0x5 /f", Dw("", 5)},
    {"", Sz("", "")},
    {"/t REG_NONE /d Test /f", Written{"", platform::REG_NONE, "T\0e\0s\0t\0\0\0"s}},
    // REG_NONE holds the text as a Unicode string.
    {"/t REG_NONE /f", Written{"", platform::REG_NONE, "\0\0"s}},
    {"/ve /t REG_NONE /f", Written{"", platform::REG_NONE, "\0\0"s}},
    {"/v none0 /d deadbeef /t REG_NONE /f",
     Written{"none0", platform::REG_NONE, "d\0e\0a\0d\0b\0e\0e\0f\0\0\0"s}},
    {"/v none1 /t REG_NONE /f", Written{"none1", platform::REG_NONE, "\0\0"s}},
    // REG_SZ and REG_EXPAND_SZ.
    {"/d WineTest /f", Sz("", "WineTest")},
    {"/ve /d WineTEST /f", Sz("", "WineTEST")},
    {"/v test0 /d deadbeef /f", Sz("test0", "deadbeef")},
    {"/v test0 /f", Sz("test0", "")},
    {"/v test1 /t REG_SZ /f /d", {}},
    {"/t REG_SZ /v test2 /f", Sz("test2", "")},
    {"/t REG_SZ /v test3 /f /d ''", Sz("test3", "")},
    {"/v 'string\\04' /t REG_SZ /d Value /f", Sz("string\\04", "Value")},
    {"/v string5 /t REG_SZ /d 'foo\\0bar' /f", Sz("string5", "foo\\0bar")},
    {"/v '\\0' /t REG_SZ /d Value /f", Sz("\\0", "Value")},
    {"/v count/up /d one/two/three /f", Sz("count/up", "one/two/three")},
    {"/v '\\foo\\bar' /f", Sz("\\foo\\bar", "")},
    {"/t REG_EXPAND_SZ /f", Sz("", "", platform::REG_EXPAND_SZ)},
    {"/v expand0 /t REG_EXpand_sz /d 'dead%PATH%beef' /f",
     Sz("expand0", "dead%PATH%beef", platform::REG_EXPAND_SZ)},
    // REG_BINARY: hex digits, an odd count with a leading zero.
    {"/t REG_BINARY /f", Written{"", platform::REG_BINARY, ""}},
    {"/ve /t REG_BINARY /d deadbeef /f", Written{"", platform::REG_BINARY, "\xde\xad\xbe\xef"}},
    {"/t REG_BINARY /v bin1 /f /d 0xDeAdBeEf", {}},
    {"/t REG_BINARY /v bin2 /f /d x01", {}},
    {"/t REG_BINARY /v bin3 /f /d 01x", {}},
    {"/t REG_BINARY /v bin4 /f /d DeAdBeEf0DD",
     Written{"bin4", platform::REG_BINARY, "\x0d\xea\xdb\xee\xf0\xdd"}},
    {"/t REG_BINARY /v bin5 /d '' /f", Written{"bin5", platform::REG_BINARY, ""}},
    {"/v bin6 /t REG_BINARY /f /d", {}},
    // REG_DWORD: decimal or 0x-hex, no sign, data required.
    {"/t REG_DWORD /f /d 12345678", Dw("", 12345678)},
    {"/ve /t REG_DWORD /f", {}},
    {"/v dword0 /t REG_DWORD /f /d", {}},
    {"/v dword1 /t REG_DWORD /f", {}},
    {"/v dword2 /t REG_DWORD /d zzz /f", {}},
    {"/v dword3 /t REG_DWORD /d deadbeef /f", {}},
    {"/v dword4 /t REG_DWORD /d 123xyz /f", {}},
    {"/v dword5 /t reg_dword /d 12345678 /f", Dw("dword5", 12345678)},
    {"/v dword6 /t REG_DWORD /D 0123 /f", Dw("dword6", 123)},
    {"/v dword7 /t reg_dword /d 0xabcdefg /f", {}},
    {"/v dword8 /t REG_dword /d 0xdeadbeef /f", Dw("dword8", 0xdeadbeef)},
    {"/t REG_DWORD /v dword9 /f /d -1", {}},
    {"/t REG_DWORD /v dword10 /f /d -0x1", {}},
    {"/v dword11 /t REG_dword /d 0x01ffffffff /f", {}},
    {"/v dword12 /t REG_DWORD /d 0xffffffff /f", Dw("dword12", 0xffffffff)},
    {"/v dword13 /t REG_DWORD /d 00x123 /f", {}},
    {"/v dword14 /t REG_DWORD /d 0X123 /f", Dw("dword14", 0x123)},
    {"/v dword15 /t REG_DWORD /d 4294967296 /f", {}},
    {"/v DWORD_LE /t REG_DWORD_LITTLE_ENDIAN /d 456 /f", Dw("DWORD_LE", 456)},
    // REG_DWORD_BIG_ENDIAN reads its number as REG_DWORD does and stores it the same way.
    {"/ve /t REG_DWORD_BIG_ENDIAN /f", {}},
    {"/v Test3 /t REG_DWORD_BIG_ENDIAN /d 456 /f",
     Dw("Test3", 456, platform::REG_DWORD_BIG_ENDIAN)},
    // REG_QWORD reads its number as REG_DWORD does (the rows above) up to 64 bits: 0 without data,
    // and -1 as all ones.
    {"/t REG_QWORD /f /d 0x123456789abcdef", Qw("", 0x123456789abcdef)},
    {"/ve /t REG_QWORD /f", Qw("", 0)},
    {"/v qword1 /t REG_QWORD /f", Qw("qword1", 0)},
    {"/t REG_QWORD /v qword9 /f /d -1", Qw("qword9", ~0ull)},
    {"/t REG_QWORD /v qword10 /f /d -0x1", {}},
    {"/v qword11 /t REG_qword /d 0x01ffffffffffffffff /f", {}},
    {"/v qword12 /t REG_QWORD /d 0xffffffffffffffff /f", Qw("qword12", ~0ull)},
    {"/v qword15 /t REG_QWORD /d 18446744073709551616 /f", {}},
    // REG_MULTI_SZ: no empty string, a one-character separator.
    {"/t REG_MULTI_SZ /f", Written{"", platform::REG_MULTI_SZ, "\0"s}},
    {"/v multi0 /t REG_MULTI_SZ /d 'three\\0little\\0strings' /f",
     Written{"multi0", platform::REG_MULTI_SZ, "three\0little\0strings\0\0"s}},
    {"/t REG_MULTI_SZ /v multi1 /s '#' /d 'three#little#strings' /f",
     Written{"multi1", platform::REG_MULTI_SZ, "three\0little\0strings\0\0"s}},
    {"/t REG_MULTI_SZ /v multi2 /d '' /f", Written{"multi2", platform::REG_MULTI_SZ, "\0"s}},
    {"/t REG_MULTI_SZ /v multi4 /s '#' /d threelittlestrings /f",
     Written{"multi4", platform::REG_MULTI_SZ, "threelittlestrings\0\0"s}},
    {"/t REG_MULTI_SZ /v multi5 /s '#randomgibberish' /d 'three#little#strings' /f", {}},
    {"/t REG_MULTI_SZ /v multi6 /s '\\0' /d 'three\\0little\\0strings' /f", {}},
    {"/t REG_MULTI_SZ /v multi7 /s '' /d 'three#little#strings' /f", {}},
    {"/t REG_MULTI_SZ /v multi8 /s '#' /d '##' /f", {}},
    {"/t REG_MULTI_SZ /v multi9 /s '#' /d 'two##strings' /f", {}},
    {"/t REG_MULTI_SZ /v multi10 /s '#' /d '#a' /f", {}},
    {"/t REG_MULTI_SZ /v multi11 /s '#' /d 'a#' /f",
     Written{"multi11", platform::REG_MULTI_SZ, "a\0\0"s}},
    {"/v multi12 /t REG_MULTI_SZ /f /d", {}},
    {"/v multi13 /t REG_MULTI_SZ /f /s", {}},
    {"/v multi14 /t REG_MULTI_SZ /d '\\0a' /f", {}},
    {"/v multi15 /t REG_MULTI_SZ /d 'a\\0' /f",
     Written{"multi15", platform::REG_MULTI_SZ, "a\0\0"s}},
    {"/t REG_MULTI_SZ /v multi16 /d 'two\\0\\0strings' /f", {}},
    {"/v multi17 /t REG_MULTI_SZ /s '#' /d '#' /f",
     Written{"multi17", platform::REG_MULTI_SZ, "\0\0"s}},
    {"/v multi18 /t REG_MULTI_SZ /d '\\0' /f", Written{"multi18", platform::REG_MULTI_SZ, "\0\0"s}},
    {"/v multi19 /t REG_MULTI_SZ /s '#' /d 'two\\0#strings' /f",
     Written{"multi19", platform::REG_MULTI_SZ, "two\\0\0strings\0\0"s}},
    {"/v multi20 /t REG_MULTI_SZ /s '#' /d 'two#\\0strings' /f",
     Written{"multi20", platform::REG_MULTI_SZ, "two\0\\0strings\0\0"s}},
    {"/v multi21 /t REG_MULTI_SZ /s '#' /d 'two\\0\\0strings' /f",
     Written{"multi21", platform::REG_MULTI_SZ, "two\\0\\0strings\0\0"s}},
};

TEST_F(RegCommandWineTest, AddWritesWhatRegWrites) {
  ResetKey();
  for (const AddCase& row : kAddCases) {
    const Result result = Reg("add " + kKey + " " + row.args);
    if (!row.written) {
      EXPECT_NE(result.nExit, 0) << row.args;
      continue;
    }
    EXPECT_EQ(result.nExit, 0) << row.args << ": " << result.out;
    if (result.nExit == 0) ExpectWritten(*row.written, row.args);
  }
}

TEST_F(RegCommandWineTest, AddKeepsWhatTheKeyHeldAndChecksKeyNames) {
  ResetKey();
  ASSERT_EQ(Registry().CreateKey(RegRoot::CurrentUser, std::string(kBase) + "\\Subkey"), 0u);
  ASSERT_EQ(Reg("add " + kKey + " /v Test1 /d Value1").nExit, 0);
  ASSERT_EQ(Reg("add " + kKey + " /f").nExit, 0);
  EXPECT_EQ(Registry().OpenKey(RegRoot::CurrentUser, std::string(kBase) + "\\Subkey"), 0u);
  EXPECT_EQ(Read("Test1"), "1:Value1\0"s);
  Registry().DeleteTree(RegRoot::CurrentUser, kBase);
  ASSERT_EQ(Reg("add " + kKey + " /v Test /t REG_SZ /d 'Just me here' /f").nExit, 0);
  EXPECT_EQ(Read(""), "<error 2>") << "a named value leaves the default value alone";

  const std::pair<std::string, bool> keys[] = {
      {"'\\HKCU\\Software\\Wine\\reg_test\\keytest0'", false},
      {"'\\\\HKCU\\Software\\Wine\\reg_test\\keytest1'", false},
      {"'HKCU\\Software\\Wine\\reg_test\\keytest2\\\\'", false},
      {"'HKCU\\Software\\Wine\\reg_test\\keytest3\\'", true},
      {"'HKCU\\Software\\Wine\\reg_test\\keytest4'", true},
      {"'HKCU\\Software\\Wine\\reg_test\\https://winehq.org'", true},
  };
  for (const auto& [key, bAccepted] : keys) {
    EXPECT_EQ(Reg("add " + key + " /f").nExit == 0, bAccepted) << key;
    std::string path = key.substr(key.find("reg_test"));
    path = std::string("Software\\Wine\\") + path.substr(0, path.find_first_of("\\'", 9));
    EXPECT_EQ(Registry().OpenKey(RegRoot::CurrentUser, path) == 0, bAccepted) << key;
  }
  for (const char* root : {"'HKCU\\'", "'HKEY_CURRENT_USER\\'"}) {
    EXPECT_NE(Reg(std::string("add ") + root + " /v Value1 /t REG_SZ /d foo /f").nExit, 0);
    EXPECT_EQ(Read("Value1", ""), "<error 2>") << root;
  }
}

TEST_F(RegCommandWineTest, AddAndDeleteInTheTwoViews) {
  const std::string key = "'HKLM\\Software\\Wine\\reg_test'";
  for (const auto& [view, other] :
       {std::pair{RegView::View32, RegView::View64}, std::pair{RegView::View64, RegView::View32}}) {
    const std::string option = view == RegView::View32 ? " /reg:32" : " /reg:64";
    ASSERT_EQ(Reg("add " + key + " /v Wine /d Test /f" + option).nExit, 0);
    RegValue value;
    EXPECT_EQ(Registry().QueryValue(RegRoot::LocalMachine, kBase, "Wine", value, view), 0u);
    EXPECT_EQ(Registry().OpenKey(RegRoot::LocalMachine, kBase, other),
              platform::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Reg("delete " + key + " /v Wine /f" + option).nExit, 0);
    EXPECT_EQ(Registry().QueryValue(RegRoot::LocalMachine, kBase, "Wine", value, view),
              platform::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Reg("delete " + key + " /f" + option).nExit, 0);
    EXPECT_EQ(Registry().OpenKey(RegRoot::LocalMachine, kBase, view),
              platform::ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(RegCommandWineTest, DeleteValuesAndKeys) {
  for (const char* args : {"", "/v Wine /ve", "/v Wine /va", "/ve /ve", "/ve /va", "/va /va",
                           "/v Test /ve /va", "/v Wine /v Test /f", "/v", "/f /v",
                           "/f /reg:32 /reg:32", "/f /reg:32 /reg:64", "/f /reg:64 /reg:64"})
    EXPECT_NE(Reg(std::string("delete ") + (*args ? kKey + " " + args : "")).nExit, 0) << args;

  ResetKey();
  for (const char* name : {"foo", "bar", ""})
    ASSERT_EQ(Registry().SetValue(RegRoot::CurrentUser, kBase, name, {4, {1, 0, 0, 0}}), 0u);
  ASSERT_EQ(Registry().CreateKey(RegRoot::CurrentUser, std::string(kBase) + "\\subkey"), 0u);
  EXPECT_EQ(Reg("delete " + kKey + " /v bar /f").nExit, 0);
  EXPECT_EQ(Read("bar"), "<error 2>");
  EXPECT_EQ(Reg("delete " + kKey + " /ve /f").nExit, 0);
  EXPECT_EQ(Read(""), "<error 2>");
  EXPECT_EQ(Reg("delete " + kKey + " /va /f").nExit, 0);
  EXPECT_EQ(Read("foo"), "<error 2>");
  EXPECT_EQ(Registry().OpenKey(RegRoot::CurrentUser, std::string(kBase) + "\\subkey"), 0u);

  ASSERT_EQ(Registry().CreateKey(RegRoot::CurrentUser, std::string(kBase) + "\\https://winehq.org"),
            0u);
  for (const char* name : {"count/up", "\\foo\\bar", "string\\01", "string2", "\\0"})
    ASSERT_EQ(Registry().SetValue(RegRoot::CurrentUser, kBase, name, {1, {'x', 0}}), 0u);
  EXPECT_EQ(Reg("delete 'HKCU\\Software\\Wine\\reg_test\\https://winehq.org' /f").nExit, 0);
  EXPECT_NE(Registry().OpenKey(RegRoot::CurrentUser, std::string(kBase) + "\\https://winehq.org"),
            0u);
  for (const char* name : {"count/up", "\\foo\\bar", "string\\01", "string2", "\\0"}) {
    EXPECT_EQ(Reg("delete " + kKey + " /v " + tarvium::test::ShellQuote(name) + " /f").nExit, 0)
        << name;
    EXPECT_EQ(Read(name), "<error 2>") << name;
  }
  EXPECT_EQ(Reg("delete " + kKey + " /f").nExit, 0);
  EXPECT_NE(Registry().OpenKey(RegRoot::CurrentUser, kBase), 0u);
  EXPECT_EQ(Reg("delete " + kKey + " /f").nExit, 1) << "the key is gone";
}

// reg query's layout, with the line ends of the host.
TEST_F(RegCommandWineTest, QueryShowsKeysAsRegDoes) {
  for (const char* args : {"", "/v", "/v Test1 /v Test2", "/v Test1 /ve", "/s /s",
                           "/reg:32 /reg:32", "/reg:32 /reg:64", "/reg:64 /reg:64"})
    EXPECT_NE(Reg(std::string("query ") + (*args ? kKey + " " + args : "")).nExit, 0) << args;
  EXPECT_EQ(Reg("query " + kKey).nExit, 1) << "no such key";

  const std::string key = "HKEY_CURRENT_USER\\Software\\Wine\\reg_test";
  ResetKey();
  auto& reg = Registry();
  ASSERT_EQ(reg.SetValue(RegRoot::CurrentUser, kBase, "Test1", {1, {'H', 'i', 0}}), 0u);
  ASSERT_EQ(reg.SetValue(RegRoot::CurrentUser, kBase, "Test2", {4, {0x23, 1, 0, 0}}), 0u);
  EXPECT_EQ(Reg("query " + kKey + " /v Missing").nExit, 1);
  const std::string values = key + "\n    Test1    REG_SZ    Hi\n    Test2    REG_DWORD    0x123\n";
  EXPECT_EQ(Reg("query " + kKey).out, "\n" + values + "\n");
  const Result noDefault = Reg("query " + kKey + " /ve");
  EXPECT_EQ(noDefault.nExit, 0);
  EXPECT_EQ(noDefault.out, "\n" + key + "\n    (Default)    REG_SZ    (value not set)\n\n");
  EXPECT_EQ(Reg("query " + kKey + " /v Test1").out, "\n" + key + "\n    Test1    REG_SZ    Hi\n\n");

  ASSERT_EQ(reg.SetValue(RegRoot::CurrentUser, kBase, "Wine", {1, {'1', 0}}), 0u);
  ASSERT_EQ(reg.CreateKey(RegRoot::CurrentUser, std::string(kBase) + "\\subkey"), 0u);
  const std::string top = key +
                          "\n    Test1    REG_SZ    Hi\n    Test2    REG_DWORD    0x123\n"
                          "    Wine    REG_SZ    1\n\n";
  EXPECT_EQ(Reg("query " + kKey).out, "\n" + top + key + "\\subkey\n");
  ASSERT_EQ(
      reg.SetValue(RegRoot::CurrentUser, std::string(kBase) + "\\subkey", "Wine", {1, {'2', 0}}),
      0u);
  const std::string recursive = "\n" + top + key + "\\subkey\n    Wine    REG_SZ    2\n\n";
  EXPECT_EQ(Reg("query " + kKey + " /s").out, recursive);
  EXPECT_EQ(Reg("query 'HKCU\\Software\\Wine\\reg_test\\' /s").out, recursive);
  const Result search = Reg("query " + kKey + " /v Wine /s");
  EXPECT_EQ(search.nExit, 0);
  EXPECT_EQ(
      search.out.substr(0, search.out.find("End of search")),
      "\n" + key + "\n    Wine    REG_SZ    1\n\n" + key + "\\subkey\n    Wine    REG_SZ    2\n\n");
  ASSERT_EQ(reg.SetValue(RegRoot::CurrentUser, kBase, "", {1, {'E', 0}}), 0u);
  ASSERT_EQ(reg.SetValue(RegRoot::CurrentUser, std::string(kBase) + "\\subkey", "", {1, {'E', 0}}),
            0u);
  EXPECT_EQ(Reg("query 'HKCU\\Software\\Wine\\reg_test\\subkey' /ve").nExit, 0);
  EXPECT_EQ(Reg("query " + kKey + " /ve /s").nExit, 0);

  // A key with subkeys only: no heading of its own, but each subkey has one with /s.
  ResetKey();
  for (const char* sub : {"\\subkey1", "\\subkey2"})
    ASSERT_EQ(reg.CreateKey(RegRoot::CurrentUser, kBase + std::string(sub)), 0u);
  EXPECT_EQ(Reg("query " + kKey).out, "\n" + key + "\\subkey1\n" + key + "\\subkey2\n");
  EXPECT_EQ(Reg("query " + kKey + " /s").out, "\n" + key + "\\subkey1\n\n" + key + "\\subkey2\n\n");
}

// The exported file as text: UTF-16LE after its byte-order mark.
std::string ReadExport(const std::string& path) {
  const std::string bytes = tarvium::test::ReadHostFile(path);
  if (bytes.substr(0, 2) != "\xFF\xFE") return "<no UTF-16LE byte-order mark>";
  return platform::emulated::DecodeRegTextBytes(bytes);
}

const std::string kKeyName = "[HKEY_CURRENT_USER\\Software\\Wine\\reg_test";
const std::string kHead = "Windows Registry Editor Version 5.00\r\n\r\n" + kKeyName;

struct ExportCase {
  std::vector<std::pair<std::string, RegValue>> values;  // "subkey|name" -> value
  std::string expected;                                  // after kHead
};

RegValue V(uint32_t dwType, const std::string& bytes) {
  return RegValue{dwType, std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

const ExportCase kExportCases[] = {
    {{}, "]\r\n\r\n"},
    {{{"|DWORD", V(4, "\0\1\0\0"s)}, {"|String", V(1, "Your text here...\0"s)}},
     "]\r\n\"DWORD\"=dword:00000100\r\n\"String\"=\"Your text here...\"\r\n\r\n"},
    {{{"\\Subkey1|Binary", V(3, "\x11\x22\x33\x44")},
      {"\\Subkey1|Undefined hex", V(0x100, "%PATH%\0"s)},
      {"\\Subkey2a|double\"quote", V(1, "\"Hello, World!\"\0"s)},
      {"\\Subkey2a|single'quote", V(4, "\x08\0\0\0"s)},
      {"\\Subkey2a\\Subkey2b|", V(1, "Default value name\0"s)},
      {"\\Subkey2a\\Subkey2b|Multiple strings", V(7, "Line1\0Line2\0Line3\0\0"s)},
      {"\\Subkey3a|Backslash", V(1, "Use \\\\ to escape a backslash\0"s)},
      {"\\Subkey3a\\Subkey3b\\Subkey3c|String expansion", V(2, "%HOME%\\%PATH%\0"s)},
      {"\\Subkey3a\\Subkey3b\\Subkey3c|Zero data type", V(0, "Value\0"s)},
      {"\\Subkey4|", V(4, "\x78\x56\x34\x12")},
      {"\\Subkey4|43981", V(0xabcd, "Value\0"s)}},
     "]\r\n\r\n" + kKeyName +
         "\\Subkey1]\r\n\"Binary\"=hex:11,22,33,44\r\n"
         "\"Undefined hex\"=hex(100):25,50,41,54,48,25,00\r\n\r\n" +
         kKeyName +
         "\\Subkey2a]\r\n\"double\\\"quote\"=\"\\\"Hello, World!\\\"\"\r\n"
         "\"single'quote\"=dword:00000008\r\n\r\n" +
         kKeyName +
         "\\Subkey2a\\Subkey2b]\r\n@=\"Default value name\"\r\n"
         "\"Multiple strings\"=hex(7):4c,00,69,00,6e,00,65,00,31,00,00,00,4c,00,69,00,6e,\\\r\n"
         "  00,65,00,32,00,00,00,4c,00,69,00,6e,00,65,00,33,00,00,00,00,00\r\n\r\n" +
         kKeyName + "\\Subkey3a]\r\n\"Backslash\"=\"Use \\\\\\\\ to escape a backslash\"\r\n\r\n" +
         kKeyName + "\\Subkey3a\\Subkey3b]\r\n\r\n" + kKeyName +
         "\\Subkey3a\\Subkey3b\\Subkey3c]\r\n"
         "\"String expansion\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,25,00,50,\\\r\n"
         "  00,41,00,54,00,48,00,25,00,00,00\r\n\"Zero data "
         "type\"=hex(0):56,61,6c,75,65,00\r\n\r\n" +
         kKeyName +
         "\\Subkey4]\r\n@=dword:12345678\r\n\"43981\"=hex(abcd):56,61,6c,75,65,00\r\n\r\n"},
    {{{"\\Subkey2|", {}}, {"\\Subkey1|", {}}},
     "]\r\n\r\n" + kKeyName + "\\Subkey1]\r\n\r\n" + kKeyName + "\\Subkey2]\r\n\r\n"},
    {{{"|Value 2", V(1, "I was added first!\0"s)}, {"|Value 1", V(1, "I was added second!\0"s)}},
     "]\r\n\"Value 2\"=\"I was added first!\"\r\n\"Value 1\"=\"I was added second!\"\r\n\r\n"},
    {{{"|Wine1a", V(0, "")},
      {"|Wine1b", V(1, "")},
      {"|Wine1c", V(2, "")},
      {"|Wine1d", V(3, "")},
      {"|Wine1e", V(4, "")},
      {"|Wine1f", V(7, "")},
      {"|Wine1g", V(0x100, "")},
      {"|Wine1h", V(0xabcd, "")}},
     "]\r\n\"Wine1a\"=hex(0):\r\n\"Wine1b\"=\"\"\r\n\"Wine1c\"=hex(2):\r\n\"Wine1d\"=hex:\r\n"
     "\"Wine1e\"=hex(4):\r\n\"Wine1f\"=hex(7):\r\n\"Wine1g\"=hex(100):\r\n\"Wine1h\"=hex(abcd):"
     "\r\n\r\n"},
    {{{"|Wine4a", V(4, "\x05\0\0\0"s)},
      {"|Wine4b", V(1, "\0\0\0\0"s)},
      {"|Wine4c", V(1, "Value\0"s)},
      {"|Wine4d", V(1, "\0abc\0"s)},
      {"|Wine4e", V(4, "\0\1\0\0"s)},
      {"|Wine4f", V(1, "\0Value\0"s)},
      {"|Wine4g", V(1, "Value2\0"s)},
      {"|Wine4h", V(1, "abc\0def\0"s)}},
     "]\r\n\"Wine4a\"=dword:00000005\r\n\"Wine4b\"=\"\"\r\n\"Wine4c\"=\"Value\"\r\n\"Wine4d\"="
     "\"\"\r\n"
     "\"Wine4e\"=dword:00000100\r\n\"Wine4f\"=\"\"\r\n\"Wine4g\"=\"Value2\"\r\n\"Wine4h\"="
     "\"abc\"\r\n\r\n"},
    {{{"\\https://winehq.org|", {}},
      {"|count/up", V(1, "one/two/three\0"s)},
      {"|\\foo\\bar", V(1, "\0"s)}},
     "]\r\n\"count/up\"=\"one/two/three\"\r\n\"\\\\foo\\\\bar\"=\"\"\r\n\r\n" + kKeyName +
         "\\https://winehq.org]\r\n\r\n"},
    {{{"|Wine5a", V(1, "\\0\0"s)},
      {"|Wine5b", V(1, "\\0\\0\0"s)},
      {"|Wine5c", V(1, "Value1\\0\0"s)},
      {"|Wine5d", V(1, "Value2\\0\\0\\0\\0\0"s)},
      {"|Wine5e", V(1, "Value3\\0Value4\0"s)},
      {"|Wine5f", V(1, "\\0Value5\0"s)}},
     "]\r\n\"Wine5a\"=\"\\\\0\"\r\n\"Wine5b\"=\"\\\\0\\\\0\"\r\n\"Wine5c\"=\"Value1\\\\0\"\r\n"
     "\"Wine5d\"=\"Value2\\\\0\\\\0\\\\0\\\\0\"\r\n\"Wine5e\"=\"Value3\\\\0Value4\"\r\n"
     "\"Wine5f\"=\"\\\\0Value5\"\r\n\r\n"},
};

TEST_F(RegCommandWineTest, ExportWritesWhatRegWrites) {
  for (const char* args : {"", "'\\\\remote-pc\\HKLM\\Wine' file.reg", "HKEY_DYN_DATA file.reg",
                           "HKDD file.reg", "'HKEY_CURRENT_USER\\Software\\Wine\\reg_test'",
                           "file.reg", "file.reg 'HKEY_CURRENT_USER\\Software\\Wine\\reg_test'"})
    EXPECT_NE(Reg(std::string("export ") + args).nExit, 0) << args;
  const std::string file = dir_.Path() + "/file.reg";
  EXPECT_EQ(Reg("export " + kKey + " " + file).nExit, 1) << "no such key";
  ResetKey();
  for (const char* args :
       {" file2.reg", " /reg:32 /reg:32", " /reg:32 /reg:64", " /reg:64 /reg:64"})
    EXPECT_NE(Reg("export " + kKey + " " + file + args).nExit, 0) << args;
  EXPECT_NE(Reg("export /y " + kKey + " " + file).nExit, 0);
  EXPECT_NE(Reg("export " + kKey + " /y " + file).nExit, 0);

  for (const ExportCase& row : kExportCases) {
    Registry().DeleteTree(RegRoot::CurrentUser, kBase);
    ASSERT_EQ(Registry().CreateKey(RegRoot::CurrentUser, kBase), 0u);
    for (const auto& [where, value] : row.values) {
      const std::string key = kBase + where.substr(0, where.find('|'));
      ASSERT_EQ(Registry().CreateKey(RegRoot::CurrentUser, key), 0u);
      if (where.back() == '|' && value.data.empty()) continue;  // the key alone
      const std::string name = where.substr(where.find('|') + 1);
      ASSERT_EQ(Registry().SetValue(RegRoot::CurrentUser, key, name, value), 0u);
    }
    ASSERT_EQ(Reg("export " + kKey + " " + file + " /y").nExit, 0);
    EXPECT_EQ(ReadExport(file), kHead + row.expected);
  }
  const Result utf8 = Reg("export " + kKey + " - /utf8");
  EXPECT_EQ(utf8.out.substr(0, kHead.size()), kHead) << "UTF-8 text on standard output";
}

// The 64-bit reg exports a key of one view only when asked for that view.
TEST_F(RegCommandWineTest, ExportFromEitherView) {
  const std::string key = "'HKLM\\Software\\Wine\\reg_test'";
  const std::string file = dir_.Path() + "/view.reg";
  ASSERT_EQ(Registry().CreateKey(RegRoot::LocalMachine, kBase, false, RegView::View32), 0u);
  EXPECT_EQ(Reg("export " + key + " " + file + " /y /reg:32").nExit, 0);
  EXPECT_EQ(Reg("export " + key + " " + file + " /y /reg:64").nExit, 1);
}

TEST_F(RegCommandWineTest, ImportTakesOneFile) {
  std::ofstream(dir_.Path() + "/foo.reg") << "REGEDIT4\n\n[" + kKeyName.substr(1) + "]\n";
  const std::string foo = dir_.Path() + "/foo.reg";
  for (const std::string& args :
       {""s, dir_.Path() + "/missing.reg", foo + " " + foo, foo + " /reg:32 /reg:32",
        foo + " /reg:32 /reg:64", foo + " /reg:64 /reg:64"})
    EXPECT_NE(Reg("import " + args).nExit, 0) << args;
  EXPECT_EQ(Reg("import " + foo).nExit, 0);
  EXPECT_EQ(Registry().OpenKey(RegRoot::CurrentUser, kBase), 0u);
}

}  // namespace
