// The machine functions over files, disks, the registry, adapters, accounts, processes and the
// clipboard of a real temporary machine: each normal answer and each missing object's "0" or "".
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/setup_run.h"
#include "machine_function_call.h"
#include "script/evaluate_condition.h"
#include "script/group_membership.h"
#include "support/test_data.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

using platform::RegRoot;
using platform::RegView;
using test::CallMachineFunction;
using test::TestMachine;

struct Case {
  const char* function;
  const char* args;
  const char* expected;
};

void ExpectCalls(SetupRun& run, std::initializer_list<Case> cases) {
  for (const Case& c : cases)
    EXPECT_EQ(CallMachineFunction(run, c.function, c.args), c.expected)
        << c.function << "(" << c.args << ")";
}

TEST(MachineFunctions, FilesPathsRegistryKeysAndUninstallKeyNames) {
  TestMachine test;
  SetupRun run(test.Machine());
  test.WriteFile("C:\\Data\\readme.TXT", "Hello W\xF6rld");
  test.WriteFile("C:\\Data\\big.bin", "12345");
  test.WriteFile("C:\\Data\\Sub\\app.exe", test::ReadTestData("pe/english64.exe"));
  ExpectCalls(run, {
                       {"DoesFileExist", "C:\\Data\\*.txt", "1"},
                       {"DoesFileExist", "c:\\data\\README.txt", "1"},
                       {"DoesFileExist", "C:\\Data\\Sub", "1"},
                       {"DoesFileExist", "C:\\Data\\*.doc", "0"},
                       {"DoesFileExist", "C:\\Nowhere\\*", "0"},
                       {"DoesFileExist", "", "0"},
                       {"DoesPathExist", "C:\\Data\\Sub", "1"},
                       {"DoesPathExist", "\"C:\\Data\\readme.txt\"", "1"},
                       {"DoesPathExist", "C:\\Data\\none", "0"},
                       {"DoesTextInFileExist", "w\xD6RLD,C:\\Data\\readme.txt", "1"},
                       {"DoesTextInFileExist", "'o, W',C:\\Data\\readme.txt", "0"},
                       {"DoesTextInFileExist", "'o W',C:\\Data\\readme.txt", "1"},
                       {"DoesTextInFileExist", "absent,C:\\Data\\readme.txt", "0"},
                       {"DoesTextInFileExist", "Hello,C:\\Data\\missing.txt", "0"},
                       {"DoesTextInFileExist", "Hello,C:\\Data\\Sub", "0"},
                       // the first file, past ".", ".." and directories; directories alone: 0
                       {"FileSize", "C:\\Data\\*", "5"},
                       {"FileSize", "C:\\Data\\readme.txt", "11"},
                       {"FileSize", "C:\\Data\\Sub", "0"},
                       {"FileSize", "C:\\Data\\*.doc", "0"},
                       {"FileVersion", "C:\\Data\\Sub\\APP.exe", "2.3.40.500"},
                       {"FileVersion", "C:\\Data\\readme.txt", ""},
                       {"FileVersion", "C:\\Data\\missing.exe", ""},
                   });

  platform::Registry& reg = test.Machine().Reg();
  test.SetRegString(RegRoot::LocalMachine, "Software\\Tarvium\\Test", "Name", "x");
  test.SetRegString(RegRoot::LocalMachine, "Software\\Tarvium\\Odd:", "V", "x");
  ASSERT_EQ(reg.CreateKey(RegRoot::LocalMachine, "Software\\Classes\\.tvm"), 0u);
  ASSERT_EQ(reg.CreateKey(RegRoot::LocalMachine, "Software\\Tarvium\\A,B"), 0u);
  ASSERT_EQ(
      reg.CreateKey(RegRoot::LocalMachine, "Software\\Tarvium\\Only32", false, RegView::View32),
      0u);
  ExpectCalls(run, {
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Test", "1"},
                       {"DoesRegKeyExist", "HKEY_LOCAL_MACHINE\\SOFTWARE\\tarvium\\test:Name", "1"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Test:Missing", "0"},
                       // an empty value name: the missing default value counts as present
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Test:", "1"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Nope:", "0"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Odd::V", "1"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\A,B", "1"},
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\A,C", "0"},
                       {"DoesRegKeyExist", "HKLM,Software\\Tarvium\\Test,Name", "1"},
                       {"DoesRegKeyExist", "HKLM, Software\\Tarvium\\Test, Missing", "0"},
                       {"DoesRegKeyExist", "hkey_local_machine,Software\\Tarvium\\Test", "1"},
                       {"DoesRegKeyExist", "HKLM,Software\\Tarvium\\Test,\"\"", "1"},
                       {"DoesRegKeyExist", "HKLM,Software\\Tarvium\\Nope,Name", "0"},
                       {"DoesRegKeyExist", "\"HKLM\\Software\\Tarvium\\Test:Name\"", "1"},
                       {"DoesRegKeyExist", "HKCU\\Environment:TEMP", "1"},
                       {"DoesRegKeyExist", "HKEY_CURRENT_USER\\Environment:NOPE", "0"},
                       {"DoesRegKeyExist", "HKU\\.DEFAULT", "1"},
                       {"DoesRegKeyExist", "HKEY_USERS\\.DEFAULT", "1"},
                       {"DoesRegKeyExist", "HKCR\\.tvm", "1"},
                       {"DoesRegKeyExist", "HKEY_CLASSES_ROOT\\.none", "0"},
                       {"DoesRegKeyExist", "HKCC", "1"},
                       {"DoesRegKeyExist", "HKEY_CURRENT_CONFIG\\Nope", "0"},
                       {"DoesRegKeyExist", "HKPD\\Software", "0"},
                       {"DoesRegKeyExist", "HKEY_PERFORMANCE_DATA,Software", "0"},
                       {"DoesRegKeyExist", "HKDD\\Software", "0"},
                       {"DoesRegKeyExist", "HKEY_DYN_DATA\\Software", "0"},
                       {"DoesRegKeyExist", "HKXX\\Software", "0"},
                       {"DoesRegKeyExist", "Software\\Tarvium\\Test", "0"},
                       {"DoesRegKeyExist", "", "0"},
                       // the engine's view is the 64-bit one; the 32-bit half by its own path
                       {"DoesRegKeyExist", "HKLM\\Software\\Tarvium\\Only32", "0"},
                       {"DoesRegKeyExist", "HKLM\\Software\\WOW6432Node\\Tarvium\\Only32", "1"},
                   });

  // With a setup-service user, the current user's root is that user's hive.
  ASSERT_EQ(reg.CreateKey(RegRoot::Users, "S-1-5-21-7-7-7-1001\\Software\\Theirs"), 0u);
  EXPECT_EQ(CallMachineFunction(run, "DoesRegKeyExist", "HKCU\\Software\\Theirs"), "0");
  run.variables.userHiveSid = "S-1-5-21-7-7-7-1001";
  EXPECT_EQ(CallMachineFunction(run, "DoesRegKeyExist", "HKCU\\Software\\Theirs"), "1");
  EXPECT_EQ(CallMachineFunction(run, "DoesRegKeyExist", "HKCU,Software\\Theirs"), "1");

  const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  auto addProduct = [&](const std::string& key, const std::string& name, RegView view) {
    platform::RegValue value{platform::REG_SZ, {name.begin(), name.end()}};
    value.data.push_back(0);
    ASSERT_EQ(reg.CreateKey(RegRoot::LocalMachine, uninstall + key, false, view), 0u);
    ASSERT_EQ(reg.SetValue(RegRoot::LocalMachine, uninstall + key, "DisplayName", value, view), 0u);
  };
  addProduct("{A64}", "Tarvium Demo", RegView::View64);
  addProduct("{B32}", "Tarvium Demo 32", RegView::View32);
  addProduct("{C32}", "Tarvium Demo", RegView::View32);
  ASSERT_EQ(reg.CreateKey(RegRoot::LocalMachine, uninstall + "NoName"), 0u);
  ExpectCalls(run, {
                       {"GetUninstallKeyName", "Tarvium Demo", "{A64}"},
                       {"GetUninstallKeyName", "tarvium demo,x64", "{A64}"},
                       {"GetUninstallKeyName", "Tarvium Demo,x86", "{C32}"},
                       {"GetUninstallKeyName", "Tarvium Demo 32,X86", "{B32}"},
                       {"GetUninstallKeyName", "Tarvium Demo 32,x64", ""},
                       {"GetUninstallKeyName", "Nothing", ""},
                       {"GetUninstallKeyName", "", ""},
                   });
  const auto logged = [&](const std::string& text) {
    return std::any_of(run.debugLines.begin(), run.debugLines.end(), [&](const std::string& line) {
      return line.find(text) != std::string::npos;
    });
  };
  EXPECT_TRUE(logged("GetUninstallKeyName: Looking for DisplayName 'Nothing'"));
  EXPECT_TRUE(logged("GetUninstallKeyName: No value for DisplayName given"));

  // A 32-bit Windows has one view: the architecture chooses nothing.
  auto machine32 = test.OpenReconfigured([](auto& config) { config.b64Bit = false; });
  SetupRun run32(*machine32);
  ExpectCalls(run32, {{"GetUninstallKeyName", "Tarvium Demo,x86", "{A64}"},
                      {"GetUninstallKeyName", "Tarvium Demo 32,x86", ""}});
}

TEST(MachineFunctions, DiskFreeSpaceOfDrivesAndShares) {
  TestMachine test;
  auto machine = test.OpenReconfigured([&](auto& config) {
    config.shares.push_back({"srv", "pub", "drive_c", false});
  });
  SetupRun run(*machine);
  for (const char* where : {"C:", "C:\\Windows\\System32", "c:\\no\\such\\dir", "relative\\dir",
                            "\\\\srv\\pub\\Windows", "\\\\srv\\pub"}) {
    const std::string bytes = CallMachineFunction(run, "GetDiskFreeSpace", where);
    const std::string kb = CallMachineFunction(run, "GetDiskFreeSpaceKB", where);
    EXPECT_GT(std::stoll(bytes), 0) << where;
    EXPECT_LE(std::stoll(bytes), 2147483647) << where;
    EXPECT_GT(std::stoll(kb), 0) << where;
  }
  ExpectCalls(run, {{"GetDiskFreeSpace", "Q:\\", "0"},
                    {"GetDiskFreeSpaceKB", "\\\\other\\share\\x", "0"},
                    {"GetDiskFreeSpace", "\\\\srv", "0"}});
  machine->EmulatedFiles().SetFaultPlan({.bDiskFull = true});
  ExpectCalls(run, {{"GetDiskFreeSpace", "C:\\", "0"}, {"GetDiskFreeSpaceKB", "C:", "0"}});
}

TEST(MachineFunctions, AdaptersDomainProcessesClipboardAndGroups) {
  TestMachine test;
  SetupRun run(test.Machine());
  ExpectCalls(run, {
                       {"GetIP", "", "192.168.56.10"},
                       {"GetNIC", "0", "00155D4A1001"},
                       {"GetNIC", "", "00155D4A1001"},
                       {"GetNIC", "1", "0015"},
                       {"GetNIC", "2", "5D4A1001"},
                       {"GetNICs", "", "00155D4A1001"},
                       {"GetDCName", "", ""},
                       {"GetDCName", "WORKGROUP", ""},
                   });

  auto domainMachine = test.OpenReconfigured([](auto& config) {
    config.szDomain = "CORP";
    config.szDomainController = "DC01";
    config.adapters = {{"Wifi", "", "a0-b1-c2-d3-e4-f5", "", "", "", true},
                       {"Lan", "", "00:11:22:33:44:55", "10.1.2.3", "", "", false}};
  });
  SetupRun domainRun(*domainMachine);
  ExpectCalls(domainRun, {
                             {"GetIP", "", "10.1.2.3"},  // the first adapter has no address
                             {"GetNIC", "0", "A0B1C2D3E4F5"},
                             {"GetNICs", "", "A0B1C2D3E4F5,001122334455"},
                             {"GetDCName", "", "\\\\DC01"},
                             {"GetDCName", "corp", "\\\\DC01"},
                             {"GetDCName", "OTHER", ""},
                         });

  auto offlineMachine = test.OpenReconfigured([](auto& config) {
    config.adapters = {{"Lan", "", "00-11-22-33-44-55", "", "", "", true}};
  });
  SetupRun offlineRun(*offlineMachine);
  ExpectCalls(offlineRun, {{"GetIP", "", ""}, {"GetNIC", "2", "22334455"}});

  // A program of the machine whose module base name ends in ".exe": a shell script that waits.
  // A command after the sleep keeps the shell from replacing itself with "sleep".
  test.WriteScript("C:\\Tools\\waiter.exe", "sleep 20\nexit 0");
  platform::ProcessHandle hProcess{};
  ASSERT_EQ(test.Machine().Programs().CreateProcess({"C:\\Tools\\waiter.exe"}, hProcess), 0u);
  // The child shows its own name only once it has started the script; wait for that (bounded).
  for (int i = 0; i < 500 && CallMachineFunction(run, "DoesProcessExist", "waiter.exe") != "1"; ++i)
    test.Machine().Time().Sleep(10);
  // The base name must match whole: neither side may leave out ".exe".
  ExpectCalls(run, {
                       {"DoesProcessExist", "script_tests", "1"},  // this test program
                       {"DoesProcessExist", "SCRIPT_TESTS", "1"},
                       {"DoesProcessExist", "script_tests.exe", "0"},
                       {"DoesProcessExist", "waiter.exe", "1"},
                       {"DoesProcessExist", "WAITER.EXE", "1"},
                       {"DoesProcessExist", "waiter", "0"},
                       {"DoesProcessExist", "waiter.ex", "0"},
                       {"DoesProcessExist", "no-such-program-runs", "0"},
                       {"DoesProcessExist", "", "0"},
                       {"GetClipboardText", "", ""},
                   });
  EXPECT_EQ(test.Machine().Programs().TerminateProcess(hProcess, 1), 0u);
  EXPECT_EQ(test.Machine().Programs().CloseProcess(hProcess), 0u);
  EXPECT_EQ(CallMachineFunction(run, "DoesProcessExist", "waiter.exe"), "0");
  ASSERT_EQ(test.Machine().Clip().SetClipboardText("copied, with a comma"), 0u);
  EXPECT_EQ(CallMachineFunction(run, "GetClipboardText", ""), "copied, with a comma");

  // Group membership of local and global groups, of this and of other servers.
  auto& accounts = test.Machine().EmulatedUsers();
  ASSERT_EQ(accounts.AddGroupMember("Sales", "CORP\\jdoe", true), 0u);
  ASSERT_EQ(accounts.AddGroupMember("Backup Operators", "helper", false), 0u);
  EXPECT_TRUE(IsGroupMember(run, "User", "Administrators", false));
  EXPECT_TRUE(IsGroupMember(run, "user", "ADMINISTRATORS", false));
  EXPECT_TRUE(IsGroupMember(run, "HELPER", "Backup Operators", false));
  EXPECT_TRUE(IsGroupMember(run, "nt authority\\interactive", "Users", false));
  EXPECT_FALSE(IsGroupMember(run, "Guest", "Administrators", false));
  EXPECT_FALSE(IsGroupMember(run, "User", "No Such Group", false));
  EXPECT_FALSE(IsGroupMember(run, "User", "Sales", false));  // a global group, asked as local

  EXPECT_TRUE(IsGroupMember(run, "corp\\JDOE", "Sales", true));
  EXPECT_TRUE(IsGroupMember(run, "CORP\\jdoe", "\\\\TARVIUM-PC\\Sales", true));
  EXPECT_FALSE(IsGroupMember(run, "CORP\\jdoe", "\\\\ELSEWHERE\\Sales", true));
  EXPECT_FALSE(IsGroupMember(run, "CORP\\jdoe", "\\\\TARVIUM-PC", true));
  EXPECT_FALSE(IsGroupMember(run, "jdoe", "Sales", true));
  EXPECT_FALSE(IsGroupMember(run, "User", "Administrators", true));

  // The same questions as conditions ask them, the operators in any case.
  EXPECT_TRUE(EvaluateCondition(run, "User INLOCALGROUP Administrators & 1=1"));
  EXPECT_TRUE(EvaluateCondition(run, "CORP\\jdoe inGlobalGroup \"Sales\""));
  EXPECT_FALSE(EvaluateCondition(run, "Guest inlocalgroup Administrators"));
}

}  // namespace
}  // namespace tarvium
