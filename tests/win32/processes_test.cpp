// The process service against real processes: cmd.exe, and this test program started again as a
// child that does what the variable TARVIUM_PROCESS_TEST_CHILD says (before any test runs):
//   exit:<hex>  ends with that exit code through the service's ExitProcess
//   sleep       waits until it is ended
//   parent      starts a sleeping child of its own, then waits until it is ended
//   report      ends with the show state its STARTUPINFO carries (0xFFFF when none), plus 0x10000
//               unless its current directory is TARVIUM_PROCESS_TEST_CWD, plus 0x20000 unless
//               alpha, Mid and ZETA hold 2, 3 and 1 and its environment block lists them so
#include "platform/win32/win32_processes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <tlhelp32.h>
// clang-format on

// <windows.h> has these as macros; the interface's codes are uint32_t, those of Windows long.
#undef CreateProcess
#undef AnsiUpper
#undef ERROR_SUCCESS
#undef ERROR_PATH_NOT_FOUND
#undef ERROR_ACCESS_DENIED
#undef ERROR_INVALID_HANDLE
#undef ERROR_INVALID_PARAMETER
#undef ERROR_LOGON_FAILURE
#undef STILL_ACTIVE
#undef INFINITE
#undef SW_HIDE
#undef SW_SHOWMAXIMIZED
#undef SW_SHOWMINNOACTIVE

namespace platform::win32 {
namespace {

constexpr const char* kChildVariable = "TARVIUM_PROCESS_TEST_CHILD";
constexpr const char* kCwdVariable = "TARVIUM_PROCESS_TEST_CWD";
constexpr uint32_t kLongWaitMs = 30000;  // only a limit for a broken service, never expected

using tarvium::test::EnvironmentText;
using tarvium::test::ScratchFolder;

std::string OwnPath() {
  char path[MAX_PATH];
  const DWORD nLength = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, nLength);
}

std::string OwnFileName() {
  const std::string path = OwnPath();
  return path.substr(path.find_last_of('\\') + 1);
}

[[noreturn]] void SleepUntilEnded() {
  for (;;) Sleep(INFINITE);
}

bool HasOrderedEnvironment() {
  if (EnvironmentText("alpha") != "2" || EnvironmentText("Mid") != "3" ||
      EnvironmentText("ZETA") != "1")
    return false;
  std::string order;
  const char* block = GetEnvironmentStringsA();
  for (const char* variable = block; *variable; variable += std::strlen(variable) + 1) {
    const std::string_view text(variable);
    for (const char* name : {"alpha=", "Mid=", "ZETA="})
      if (text.starts_with(name)) order += name;
  }
  FreeEnvironmentStringsA(const_cast<char*>(block));
  return order == "alpha=Mid=ZETA=";
}

uint32_t ReportCode() {
  STARTUPINFOA si;
  GetStartupInfoA(&si);
  char directory[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, directory);
  return ((si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : 0xFFFF) |
         (AnsiEqualNoCase(directory, EnvironmentText(kCwdVariable)) ? 0 : 0x10000) |
         (HasOrderedEnvironment() ? 0 : 0x20000);
}

void StartSleepingGrandchild() {
  SetEnvironmentVariableA(kChildVariable, "sleep");
  std::string commandLine = "\"" + OwnPath() + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    ::ExitProcess(2);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

bool PlayChildIfAsked() {
  const std::string mode = EnvironmentText(kChildVariable);
  if (mode.empty()) return false;
  Win32Processes processes;
  if (mode.starts_with("exit:"))
    processes.ExitProcess(static_cast<uint32_t>(std::strtoul(mode.c_str() + 5, nullptr, 16)));
  if (mode == "sleep") SleepUntilEnded();
  if (mode == "parent") {
    StartSleepingGrandchild();
    SleepUntilEnded();
  }
  if (mode == "report") processes.ExitProcess(ReportCode());
  processes.ExitProcess(0xBADC0DE);
}

const bool kPlayedChild = PlayChildIfAsked();

// This program started as a child in the given mode, with the engine's environment and more.
ProcessStart ChildStart(const std::string& mode, std::vector<std::string> moreVariables = {}) {
  std::vector<std::string> environment;
  const char* block = GetEnvironmentStringsA();
  for (const char* variable = block; *variable; variable += std::strlen(variable) + 1)
    environment.emplace_back(variable);
  FreeEnvironmentStringsA(const_cast<char*>(block));
  environment.push_back(std::string(kChildVariable) + "=" + mode);
  environment.insert(environment.end(), moreVariables.begin(), moreVariables.end());
  ProcessStart start;
  start.commandLine = "\"" + OwnPath() + "\" --child";
  start.environment = environment;
  return start;
}

// Starts, waits for the end and returns the exit code; 0xFFFFFFFF marks a failure of the test.
uint32_t ExitCodeOfRun(Win32Processes& processes, const ProcessStart& start) {
  ProcessHandle hProcess;
  EXPECT_EQ(processes.CreateProcess(start, hProcess), ERROR_SUCCESS) << start.commandLine;
  WaitResult result = WaitResult::Stopped;
  EXPECT_EQ(processes.WaitForProcess(hProcess, kLongWaitMs, {}, result), ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::Exited);
  uint32_t dwExitCode = 0xFFFFFFFF;
  EXPECT_EQ(processes.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(processes.CloseProcess(hProcess), ERROR_SUCCESS);
  return dwExitCode;
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return text;
}

// Exit codes of this program and of the command interpreter, whose command may follow blanks.
TEST(Win32Processes, ExitCodesKeepAll32Bits) {
  Win32Processes processes;
  std::vector<std::pair<ProcessStart, uint32_t>> cases;
  for (uint32_t dwCode : {0u, 0x80000000u, 0xC0000005u, 0xFFFFFFFEu})
    cases.emplace_back(ChildStart("exit:" + Hex(dwCode)), dwCode);
  for (const auto& [command, dwCode] :
       {std::pair{"  cmd /c exit 3", 3u}, {"cmd.exe /c exit -1073741819", 0xC0000005u}}) {
    ProcessStart start;
    start.commandLine = command;
    start.nShowCmd = SW_HIDE;
    cases.emplace_back(start, dwCode);
  }
  for (const auto& [start, dwCode] : cases)
    EXPECT_EQ(ExitCodeOfRun(processes, start), dwCode) << start.commandLine;
}

// The program is the command line's first word: an unquoted path with a blank names the part
// before the blank, never the longer path Windows would try next.
TEST(Win32Processes, TheProgramIsTheFirstWord) {
  ScratchFolder folder;
  Win32Processes processes;
  ASSERT_TRUE(CreateDirectoryA((folder / "A B").c_str(), nullptr));
  const std::string program = folder / "A B\\child.exe";
  ASSERT_TRUE(CopyFileA(OwnPath().c_str(), program.c_str(), FALSE));
  ProcessStart start = ChildStart("exit:7");
  start.commandLine = program + " --child";
  ProcessHandle hProcess = ProcessHandle::Invalid;
  EXPECT_EQ(processes.CreateProcess(start, hProcess), ERROR_FILE_NOT_FOUND);
  start.commandLine = "\"" + program + "\" --child";
  EXPECT_EQ(ExitCodeOfRun(processes, start), 7u);
}

TEST(Win32Processes, TheChildGetsItsDirectoryEnvironmentAndShowState) {
  ScratchFolder folder;
  Win32Processes processes;
  for (uint32_t nShowCmd : {SW_HIDE, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED}) {
    ProcessStart start = ChildStart(
        "report", {std::string(kCwdVariable) + "=" + folder.Path(), "ZETA=1", "alpha=2", "Mid=3"});
    start.currentDirectory = folder.Path();
    start.nShowCmd = nShowCmd;
    EXPECT_EQ(ExitCodeOfRun(processes, start), nShowCmd);
  }
}

TEST(Win32Processes, WaitsStopAtTheLimitOrWhenTheCallbackSays) {
  Win32Processes processes;
  ProcessHandle hProcess;
  ASSERT_EQ(processes.CreateProcess(ChildStart("sleep"), hProcess), ERROR_SUCCESS);
  ProcessInfo info;
  ASSERT_EQ(processes.GetProcessInfo(hProcess, info), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(info.moduleName, OwnFileName())) << info.moduleName;
  EXPECT_NE(info.dwProcessId, GetCurrentProcessId());
  WaitResult result = WaitResult::Exited;
  EXPECT_EQ(processes.WaitForProcess(hProcess, 0, {}, result), ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::TimedOut);
  int nSteps = 0;
  const auto countSteps = [&] { return ++nSteps > 0; };
  EXPECT_EQ(processes.WaitForProcess(hProcess, 3 * WAIT_STEP_MS, countSteps, result),
            ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::TimedOut);
  EXPECT_GE(nSteps, 1);
  nSteps = 0;
  EXPECT_EQ(processes.WaitForProcess(
                hProcess, INFINITE, [&] { return ++nSteps < 3; }, result),
            ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::Stopped);
  EXPECT_EQ(nSteps, 3);
  // A callback that closes the handle ends the wait with the error of a closed handle.
  const auto closeHandle = [&] { return processes.CloseProcess(hProcess) == ERROR_SUCCESS; };
  EXPECT_EQ(processes.WaitForProcess(hProcess, INFINITE, closeHandle, result),
            ERROR_INVALID_HANDLE);
  // The process runs on without its handle: found again by its id, it can be ended.
  ProcessHandle hOpened;
  ASSERT_EQ(processes.OpenProcess(info.dwProcessId, hOpened), ERROR_SUCCESS);
  bool bRunning = false;
  EXPECT_EQ(processes.IsProcessRunning(hOpened, bRunning), ERROR_SUCCESS);
  EXPECT_TRUE(bRunning);
  EXPECT_EQ(processes.TerminateProcess(hOpened, 9), ERROR_SUCCESS);
  EXPECT_EQ(processes.WaitForProcess(hOpened, kLongWaitMs, countSteps, result), ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::Exited);
  EXPECT_EQ(processes.CloseProcess(hOpened), ERROR_SUCCESS);
}

TEST(Win32Processes, TerminateSetsTheExitCodeOnce) {
  Win32Processes processes;
  ProcessHandle hProcess;
  ASSERT_EQ(processes.CreateProcess(ChildStart("sleep"), hProcess), ERROR_SUCCESS);
  uint32_t dwExitCode = 0;
  bool bRunning = false;
  EXPECT_EQ(processes.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, STILL_ACTIVE);
  EXPECT_EQ(processes.IsProcessRunning(hProcess, bRunning), ERROR_SUCCESS);
  EXPECT_TRUE(bRunning);
  EXPECT_EQ(processes.TerminateProcess(hProcess, 0xDEADBEEF), ERROR_SUCCESS);
  EXPECT_EQ(processes.IsProcessRunning(hProcess, bRunning), ERROR_SUCCESS);
  EXPECT_FALSE(bRunning);
  EXPECT_EQ(processes.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 0xDEADBEEF);
  EXPECT_EQ(processes.TerminateProcess(hProcess, 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(processes.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 0xDEADBEEF);
  EXPECT_EQ(processes.CloseProcess(hProcess), ERROR_SUCCESS);
}

// The id of a process the given one started, looked for until it shows.
uint32_t ChildProcessIdOf(uint32_t dwParentId) {
  for (int nTry = 0; nTry < 1000; ++nTry) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    uint32_t dwChildId = 0;
    for (BOOL bMore = Process32First(snapshot, &entry); bMore && !dwChildId;
         bMore = Process32Next(snapshot, &entry))
      if (entry.th32ParentProcessID == dwParentId) dwChildId = entry.th32ProcessID;
    CloseHandle(snapshot);
    if (dwChildId) return dwChildId;
    Sleep(10);
  }
  return 0;
}

TEST(Win32Processes, TerminateEndsTheProgramsAStartedProgramStarted) {
  Win32Processes processes;
  ProcessHandle hParent;
  ASSERT_EQ(processes.CreateProcess(ChildStart("parent"), hParent), ERROR_SUCCESS);
  ProcessInfo info;
  ASSERT_EQ(processes.GetProcessInfo(hParent, info), ERROR_SUCCESS);
  const uint32_t dwGrandchildId = ChildProcessIdOf(info.dwProcessId);
  ASSERT_NE(dwGrandchildId, 0u);
  ProcessHandle hGrandchild;
  ASSERT_EQ(processes.OpenProcess(dwGrandchildId, hGrandchild), ERROR_SUCCESS);
  EXPECT_EQ(processes.TerminateProcess(hParent, 0xC000013A), ERROR_SUCCESS);
  WaitResult result = WaitResult::Stopped;
  EXPECT_EQ(processes.WaitForProcess(hGrandchild, kLongWaitMs, {}, result), ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::Exited);
  uint32_t dwExitCode = 0;
  EXPECT_EQ(processes.GetExitCodeProcess(hGrandchild, dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 0xC000013A);
  EXPECT_EQ(processes.CloseProcess(hGrandchild), ERROR_SUCCESS);
  EXPECT_EQ(processes.CloseProcess(hParent), ERROR_SUCCESS);
}

TEST(Win32Processes, EnumerationMatchesModuleNamesWithOrWithoutExe) {
  const std::string ownName = OwnFileName();
  const std::string withoutExe = ownName.substr(0, ownName.size() - 4);
  const struct {
    std::string name;
    bool bListsSelf;
  } kCases[] = {
      {"", true},
      {ownName, true},
      {AnsiUpper(ownName), true},
      {withoutExe, true},
      {withoutExe + ".com", false},
      {ownName.substr(1), false},
  };
  Win32Processes processes;
  for (const auto& test : kCases) {
    std::vector<ProcessEntry> entries;
    ASSERT_EQ(processes.EnumProcesses(test.name, entries), ERROR_SUCCESS);
    bool bListsSelf = false;
    for (const ProcessEntry& entry : entries)
      if (entry.dwProcessId == GetCurrentProcessId())
        bListsSelf = AnsiEqualNoCase(entry.moduleName, ownName);
    EXPECT_EQ(bListsSelf, test.bListsSelf) << test.name;
    if (test.name.empty()) continue;
    for (const ProcessEntry& entry : entries)
      EXPECT_TRUE(AnsiStartsWithNoCase(entry.moduleName, withoutExe)) << entry.moduleName;
  }
}

TEST(Win32Processes, UnknownHandlesAndProcesses) {
  Win32Processes processes;
  const ProcessHandle hUnknown = static_cast<ProcessHandle>(4711);
  WaitResult result;
  uint32_t dwExitCode;
  bool bRunning;
  ProcessInfo info;
  for (const uint32_t err :
       {processes.WaitForProcess(hUnknown, 0, {}, result), processes.TerminateProcess(hUnknown, 0),
        processes.GetExitCodeProcess(hUnknown, dwExitCode),
        processes.IsProcessRunning(hUnknown, bRunning), processes.GetProcessInfo(hUnknown, info),
        processes.CloseProcess(ProcessHandle::Invalid)})
    EXPECT_EQ(err, ERROR_INVALID_HANDLE);
  ProcessHandle hProcess;
  EXPECT_EQ(processes.OpenProcess(0, hProcess), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(hProcess, ProcessHandle::Invalid);
}

TEST(Win32Processes, APlacedEngineImageRunsThisProgram) {
  ScratchFolder folder;
  Win32Processes processes;
  const std::string image = folder / "_UnInst.exe";
  ASSERT_EQ(processes.PlaceEngineImage(image), ERROR_SUCCESS);
  ProcessStart start = ChildStart("exit:C0FFEE");
  start.commandLine = "\"" + image + "\" /uninstall";
  EXPECT_EQ(ExitCodeOfRun(processes, start), 0xC0FFEEu);
  EXPECT_EQ(processes.PlaceEngineImage(folder / "missing\\_UnInst.exe"), ERROR_PATH_NOT_FOUND);
}

TEST(Win32Processes, AnotherAccountThatCannotLogOnStartsNothing) {
  Win32Processes processes;
  ProcessStart start;
  start.commandLine = "cmd.exe /c exit 0";
  start.userName = "NoSuchAccountOfTarviumTests";
  start.password = "wrong";
  ProcessHandle hProcess;
  EXPECT_EQ(processes.CreateProcess(start, hProcess), ERROR_LOGON_FAILURE);
  EXPECT_EQ(hProcess, ProcessHandle::Invalid);
}

}  // namespace
}  // namespace platform::win32
