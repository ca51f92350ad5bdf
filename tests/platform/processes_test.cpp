// The process service on real host processes: small shell scripts in a temporary directory,
// reached through Windows paths on drive Z: (the host's root), and a helper that ends through
// ExitProcess. Covers starting, the program search, time limits, exit codes and enumeration.
// The Windows command-line rules on the cases where they surprise: the program name's own rule,
// backslashes before quotes, runs of quotes inside and outside quoted parts, blanks that are not
// separators; and quoting that survives the split.
// Engine images on a real temporary machine: an image placed at a Windows path and started through
// the machine's process service runs the engine binary the machine names (a stand-in here: the
// exit-code helper and a recording script), with the command line's arguments, the image's
// Windows path and the full 32-bit exit code; and the order in which the engine is found.
// The windows of the emulated machine's programs: announced for real running processes, listed
// while their process runs, and acted on by the messages as a simple Windows program reacts:
// close ends the program unless it handles the signal, destroy takes the window and ends a
// program left without one, the shutdown query answers what the window announced.
// The Program Manager's command text: bracketed commands in a row, quoted and plain arguments,
// and the malformed texts of which nothing may be carried out.
#include "platform/emulated/processes/host_processes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "platform/command_line_args.h"
#include "platform/dde_command.h"
#include "platform/emulated/processes/engine_image.h"
#include "platform/host/host_file_system.h"
#include "platform/win_error.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace platform {
namespace {

using tarvium::test::ReadHostFile;
using tarvium::test::TempDir;
using tarvium::test::ZPath;

HostProcessesConfig TestConfig() {
  HostProcessesConfig config;
  config.mapPath = [](const std::string& windowsPath, std::string& hostPath) {
    hostPath = HostPathOf(windowsPath);
    return ERROR_SUCCESS;
  };
  config.wineProgram.clear();
  return config;
}

// Starts, waits without limit and returns the exit code (or the start error as a failure).
uint32_t RunToEnd(HostProcesses& processes, const ProcessStart& start) {
  ProcessHandle hProcess;
  const uint32_t err = processes.CreateProcess(start, hProcess);
  EXPECT_EQ(err, ERROR_SUCCESS) << start.commandLine;
  if (err != ERROR_SUCCESS) return STILL_ACTIVE;
  WaitResult result;
  EXPECT_EQ(processes.WaitForProcess(hProcess, INFINITE, {}, result), ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::Exited);
  uint32_t dwExitCode = STILL_ACTIVE;
  EXPECT_EQ(processes.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
  processes.CloseProcess(hProcess);
  return dwExitCode;
}

// A temporary directory for the scripts, and the process service over it.
struct Processes : ::testing::Test {
  TempDir dir;
  HostProcesses processes{TestConfig()};
};

bool IsGone(pid_t pid) {
  return ::kill(pid, 0) < 0 && errno == ESRCH;
}

TEST_F(Processes, ExitCodesReachTheParentWhole) {
  HostProcessesConfig config = TestConfig();
  config.exitCodeDirectory = dir.Path();
  HostProcesses configured(std::move(config));
  const std::string helper = TARVIUM_EXIT_WITH_CODE;
  const std::pair<std::string, uint32_t> cases[] = {
      {"exit 3", 3},
      {"kill -SEGV $$", 0xC0000005},
      {"kill -TERM $$", 1},
      // A wrapper that ends with its program's status passes the whole code on; one that ends
      // otherwise is not given the code its program wrote.
      {"\"" + helper + "\" 6702; exit $?", 6702},
      {"\"" + helper + "\" 6702; exit 0", 0},
  };
  for (const auto& [body, dwExpected] : cases) {
    const std::string script = dir.WriteScript("child", body);
    EXPECT_EQ(RunToEnd(configured, {.commandLine = "\"" + ZPath(script) + "\""}), dwExpected)
        << body;
  }
  // The helper run directly: codes that need all 32 bits.
  for (const uint32_t dwCode : {6702u, 0xFFFFE5CCu, 0xFFFFFFFFu})
    EXPECT_EQ(RunToEnd(configured, {.commandLine = ZPath(helper) + " " +
                                                   std::to_string(static_cast<int32_t>(dwCode))}),
              dwCode);
  // Exit-code files do not pile up.
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_EQ(entry.path().filename().string().find("tarvium-exit-"), std::string::npos);
  // A person's shell names a file relative to its folder, not made yet: it is made, and the code
  // is written signed.
  const std::string shell =
      dir.WriteScript("shell", "cd \"$(dirname \"$0\")\" && TARVIUM_EXIT_CODE_FILE=code.txt \"" +
                                   helper + "\" -1; exit 0");
  EXPECT_EQ(RunToEnd(configured, {.commandLine = "\"" + ZPath(shell) + "\""}), 0u);
  EXPECT_EQ(ReadHostFile(dir.Path() + "/code.txt"), "-1\n");
}

TEST_F(Processes, ArgumentsDirectoryAndEnvironmentReachTheChild) {
  const std::string out = dir.Path() + "/out";
  const std::string script = dir.WriteScript(
      "show args",
      "{ pwd -P; printf '[%s]\\n' \"$@\"; echo \"$GREETING\"; echo \"$PATH\"; } > '" + out + "'");
  std::filesystem::create_directory(dir.Path() + "/work");
  const std::string line =
      "\"" + ZPath(script) + R"(" plain "two words" "say \"hi\"" C:\dir\ "end\\" "" caf)" + "\xE9";
  EXPECT_EQ(RunToEnd(processes,
                     {.commandLine = line,
                      .currentDirectory = ZPath(dir.Path() + "/work"),
                      .environment = std::vector<std::string>{"GREETING=gr\xFC\xDF",
                                                              "Path=C:\\Windows", "=C:=C:\\x"}}),
            0u);
  const std::string expected = std::filesystem::canonical(dir.Path() + "/work").string() +
                               "\n[plain]\n[two words]\n[say \"hi\"]\n[C:\\dir\\]\n[end\\]\n[]\n"
                               "[caf\xC3\xA9]\ngr\xC3\xBC\xC3\x9F\n" +
                               std::getenv("PATH") + "\n";
  EXPECT_EQ(ReadHostFile(out), expected);
}

TEST_F(Processes, FindsProgramsByTheSearchRule) {
  const std::string out = dir.Path() + "/out";
  const std::string body = "echo \"$0 $*\" >> '" + out + "'";
  dir.WriteScript("cwd/tool", body);
  dir.WriteScript("cwd/sub/deep", body);
  dir.WriteScript("bin/onpath", body);
  dir.WriteScript("fakewine", body);
  dir.WriteFile("cwd/app.exe", "MZ\x90");
  HostProcessesConfig config = TestConfig();
  config.searchDirectories = {ZPath(dir.Path() + "/bin")};
  config.wineProgram = dir.Path() + "/fakewine";
  config.checkLogon = [](const std::string& domain, const std::string& user,
                         const std::string& password) {
    return domain == "CORP" && user == "admin" && password == "secret" ? ERROR_SUCCESS
                                                                       : ERROR_LOGON_FAILURE;
  };
  HostProcesses configured(std::move(config));
  const std::string cwd = ZPath(dir.Path() + "/cwd");
  // A bare name with and without ".exe", a relative path, a search directory, the host's PATH,
  // and a PE file through Wine with its host path.
  for (const char* pszLine : {"tool 1", "tool.exe 2", "sub\\deep 3", "onpath 4", "true", "app 5"})
    EXPECT_EQ(RunToEnd(configured, {.commandLine = pszLine, .currentDirectory = cwd}), 0u);
  const std::string p = dir.Path();
  EXPECT_EQ(ReadHostFile(out), p + "/cwd/tool 1\n" + p + "/cwd/tool 2\n" + p + "/cwd/sub/deep 3\n" +
                                   p + "/bin/onpath 4\n" + p + "/fakewine " + p +
                                   "/cwd/app.exe 5\n");

  // Under another account after a logon; what the start was given is recorded.
  ProcessHandle hProcess;
  ProcessStart start{.commandLine = "tool",
                     .currentDirectory = cwd,
                     .nShowCmd = SW_HIDE,
                     .userName = "admin",
                     .domain = "CORP",
                     .password = "wrong"};
  EXPECT_EQ(configured.CreateProcess(start, hProcess), ERROR_LOGON_FAILURE);
  start.password = "secret";
  ASSERT_EQ(configured.CreateProcess(start, hProcess), ERROR_SUCCESS);
  ProcessInfo info;
  ASSERT_EQ(configured.GetProcessInfo(hProcess, info), ERROR_SUCCESS);
  EXPECT_EQ(info.moduleName, "tool");
  EXPECT_EQ(info.nShowCmd, SW_HIDE);
  EXPECT_EQ(info.userName, "CORP\\admin");
  EXPECT_EQ(configured.CloseProcess(hProcess), ERROR_SUCCESS);
}

TEST_F(Processes, FailedStartsGiveTheWindowsError) {
  dir.WriteFile("notes.txt", "just text\n");
  dir.WriteFile("app.exe", "MZ\x90");  // no Wine configured
  dir.WriteFile("noexec", "#!/bin/sh\n");
  std::filesystem::create_directory(dir.Path() + "/folder");
  const std::string p = ZPath(dir.Path());
  const std::pair<ProcessStart, uint32_t> cases[] = {
      {{.commandLine = p + "\\missing.exe"}, ERROR_FILE_NOT_FOUND},
      {{.commandLine = "no-such-program-anywhere"}, ERROR_FILE_NOT_FOUND},
      {{.commandLine = p + "\\nodir\\tool.exe"}, ERROR_PATH_NOT_FOUND},
      {{.commandLine = p + "\\notes.txt"}, ERROR_BAD_EXE_FORMAT},
      {{.commandLine = p + "\\app.exe"}, ERROR_BAD_EXE_FORMAT},
      {{.commandLine = p + "\\noexec"}, ERROR_ACCESS_DENIED},
      {{.commandLine = p + "\\folder"}, ERROR_ACCESS_DENIED},
      {{.commandLine = "true", .currentDirectory = p + "\\nodir"}, ERROR_DIRECTORY},
      {{.commandLine = "true", .currentDirectory = p + "\\notes.txt"}, ERROR_DIRECTORY},
      {{.commandLine = "true", .userName = "someone"}, ERROR_LOGON_FAILURE},
  };
  for (const auto& [start, dwError] : cases) {
    ProcessHandle hProcess = static_cast<ProcessHandle>(77);
    EXPECT_EQ(processes.CreateProcess(start, hProcess), dwError) << start.commandLine;
    EXPECT_EQ(hProcess, ProcessHandle::Invalid);
  }
}

TEST_F(Processes, TimeLimitEndsTheChildWithItsWholeGroup) {
  // Orphans come to this process, so the killed grandchild can be reaped and inspected here.
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  const std::string pidFile = dir.Path() + "/grandchild";
  const std::string script =
      dir.WriteScript("spawner", "sleep 5 & echo $! > '" + pidFile + ".tmp'; mv '" + pidFile +
                                     ".tmp' '" + pidFile + "'; sleep 5");
  ProcessHandle hProcess;
  ASSERT_EQ(processes.CreateProcess({.commandLine = ZPath(script)}, hProcess), ERROR_SUCCESS);
  WaitResult result;
  ASSERT_EQ(processes.WaitForProcess(
                hProcess, INFINITE, [&] { return !std::filesystem::exists(pidFile); }, result),
            ERROR_SUCCESS);
  ASSERT_EQ(result, WaitResult::Stopped);
  ASSERT_EQ(processes.WaitForProcess(hProcess, 200, {}, result), ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::TimedOut);
  ASSERT_EQ(processes.TerminateProcess(hProcess, 0xFFFFFFFF), ERROR_SUCCESS);

  uint32_t dwExitCode = 0;
  EXPECT_EQ(processes.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 0xFFFFFFFF);
  ProcessInfo info;
  ASSERT_EQ(processes.GetProcessInfo(hProcess, info), ERROR_SUCCESS);
  EXPECT_TRUE(IsGone(static_cast<pid_t>(info.dwProcessId)));  // ended and reaped
  // The grandchild died of the kill: reaped here (orphans come here) or by the dying script.
  const pid_t grandchild = std::stoi(ReadHostFile(pidFile));
  int status = 0;
  if (::waitpid(grandchild, &status, 0) == grandchild)
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  else
    EXPECT_TRUE(errno == ECHILD && IsGone(grandchild));
  // An ended process cannot be ended again and keeps its code.
  EXPECT_EQ(processes.TerminateProcess(hProcess, 5), ERROR_ACCESS_DENIED);
  EXPECT_EQ(processes.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 0xFFFFFFFF);
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

TEST_F(Processes, WaitingPumpsBetweenStepsAndCanBeStopped) {
  ProcessHandle hProcess;
  ASSERT_EQ(processes.CreateProcess({.commandLine = "sleep 5"}, hProcess), ERROR_SUCCESS);
  ProcessInfo info;
  processes.GetProcessInfo(hProcess, info);
  // The start did not wait: the program is still running.
  uint32_t dwExitCode = 0;
  EXPECT_EQ(processes.GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, STILL_ACTIVE);
  int nCalls = 0;
  WaitResult result;
  ASSERT_EQ(processes.WaitForProcess(
                hProcess, INFINITE, [&] { return ++nCalls < 3; }, result),
            ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::Stopped);
  EXPECT_EQ(nCalls, 3);
  ASSERT_EQ(processes.WaitForProcess(hProcess, 0, {}, result), ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::TimedOut);
  // A callback that closes the handle it waits for ends the wait with an invalid handle.
  EXPECT_EQ(processes.WaitForProcess(
                hProcess, INFINITE,
                [&] { return processes.CloseProcess(hProcess) == ERROR_SUCCESS; }, result),
            ERROR_INVALID_HANDLE);
  bool bRunning = true;
  EXPECT_EQ(processes.IsProcessRunning(hProcess, bRunning), ERROR_INVALID_HANDLE);
  ASSERT_EQ(processes.OpenProcess(info.dwProcessId, hProcess), ERROR_SUCCESS);
  EXPECT_EQ(processes.TerminateProcess(hProcess, 1), ERROR_SUCCESS);
}

TEST_F(Processes, EnumeratesRunningProgramsByModuleName) {
  const std::string script = dir.WriteScript("Runner", "while :; do sleep 0.05; done");
  ProcessHandle hSleep, hRunner;
  ASSERT_EQ(processes.CreateProcess({.commandLine = "sleep 5"}, hSleep), ERROR_SUCCESS);
  ASSERT_EQ(processes.CreateProcess({.commandLine = ZPath(script)}, hRunner), ERROR_SUCCESS);
  ProcessInfo sleepInfo, runnerInfo;
  processes.GetProcessInfo(hSleep, sleepInfo);
  processes.GetProcessInfo(hRunner, runnerInfo);
  const auto bListed = [&](const std::string& name, uint32_t dwProcessId) {
    std::vector<ProcessEntry> entries;
    EXPECT_EQ(processes.EnumProcesses(name, entries), ERROR_SUCCESS);
    return std::any_of(entries.begin(), entries.end(),
                       [&](const ProcessEntry& e) { return e.dwProcessId == dwProcessId; });
  };
  // A new process shows its program's name once the host has loaded it, a moment after the start.
  const auto bSoonListed = [&](const std::string& name, uint32_t dwProcessId) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!bListed(name, dwProcessId) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return bListed(name, dwProcessId);
  };
  EXPECT_TRUE(bSoonListed("SLEEP.EXE", sleepInfo.dwProcessId));
  EXPECT_TRUE(bSoonListed("runner.exe", runnerInfo.dwProcessId));  // a script under its own name
  EXPECT_FALSE(bListed("sh", runnerInfo.dwProcessId));
  EXPECT_FALSE(bListed("sleepy", sleepInfo.dwProcessId));

  // A process found by id can be ended through a handle of its own.
  ProcessHandle hOpened;
  ASSERT_EQ(processes.OpenProcess(runnerInfo.dwProcessId, hOpened), ERROR_SUCCESS);
  EXPECT_EQ(processes.TerminateProcess(hOpened, 9), ERROR_SUCCESS);
  WaitResult result;
  EXPECT_EQ(processes.WaitForProcess(hOpened, INFINITE, {}, result), ERROR_SUCCESS);
  EXPECT_EQ(result, WaitResult::Exited);
  EXPECT_EQ(processes.TerminateProcess(hSleep, 0xFFFFFFFF), ERROR_SUCCESS);
  EXPECT_EQ(processes.OpenProcess(sleepInfo.dwProcessId, hOpened), ERROR_INVALID_PARAMETER);
}

size_t CountOwnDescriptors() {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                           std::filesystem::directory_iterator()));
}

TEST_F(Processes, LeavesNoZombiesAndNoDescriptors) {
  // A descriptor the engine forgot to mark close-on-exec is still not inherited.
  const int fd = ::open("/dev/null", O_RDONLY);
  ASSERT_EQ(::dup2(fd, 50), 50);
  const std::string script =
      dir.WriteScript("probe", "test -e /proc/$$/fd/50 && exit 1; sleep 0.1");
  const size_t nBefore = CountOwnDescriptors();

  ProcessHandle hProcess;
  ASSERT_EQ(processes.CreateProcess({.commandLine = ZPath(script)}, hProcess), ERROR_SUCCESS);
  ProcessInfo info;
  processes.GetProcessInfo(hProcess, info);
  ASSERT_EQ(processes.CloseProcess(hProcess), ERROR_SUCCESS);  // still running
  EXPECT_EQ(CountOwnDescriptors(), nBefore);
  // Once it ends nobody holds it: it disappears rather than staying a zombie.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!IsGone(static_cast<pid_t>(info.dwProcessId)) &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(IsGone(static_cast<pid_t>(info.dwProcessId)));

  EXPECT_EQ(RunToEnd(processes, {.commandLine = ZPath(script)}), 0u);
  EXPECT_EQ(CountOwnDescriptors(), nBefore);
  ::close(50);
  ::close(fd);
}

using Args = std::vector<std::string>;

TEST(CommandLineArgs, SplitsByTheWindowsRulesAndQuotedArgumentsSplitBack) {
  const std::pair<std::string, Args> cases[] = {
      {"", {""}},
      {"prog", {"prog"}},
      {"prog  a\t\tb  ", {"prog", "a", "b"}},
      // Only space and tab separate; other control characters belong to the argument.
      {"prog a\rb\nc", {"prog", "a\rb\nc"}},
      // Quoted parts join with what surrounds them; an unclosed one runs to the end.
      {R"(prog x"y z"w "open end)", {"prog", "xy zw", "open end"}},
      {R"(prog "")", {"prog", ""}},
      {R"(prog ")", {"prog", ""}},
      // Backslashes count only before a quote: 2n give n and a quote that acts, 2n+1 give n and
      // a literal quote.
      {R"(prog C:\dir\ a\\b)", {"prog", R"(C:\dir\)", R"(a\\b)"}},
      {R"(prog \"x \\"y z" \\\"w)", {"prog", R"("x)", R"(\y z)", R"(\"w)"}},
      {R"(prog "C:\Program Files\\" next)", {"prog", R"(C:\Program Files\)", "next"}},
      // Runs of quotes outside a quoted part: 3 give a quote, 4 a quote and an open part.
      {R"(prog a""b a"""b a"""" c" d)", {"prog", "ab", R"(a"b)", R"(a" c)", "d"}},
      // Inside a quoted part the opening quote counts with the run: "" gives a quote and closes
      // the part, """ gives a quote and keeps it open.
      {R"(prog "a""b c" d)", {"prog", R"(a"b)", "c d"}},
      {R"(prog "x"""y z")", {"prog", R"(x"y z)"}},
      // The program name: backslashes and quotes mean nothing unless it starts with a quote,
      // which then ends at the next quote even without a blank after it.
      {R"(C:\a"b\c\ x)", {R"(C:\a"b\c\)", "x"}},
      {R"("C:\Program Files\p.exe"arg "two""")", {R"(C:\Program Files\p.exe)", "arg", R"(two")"}},
      {R"("p q\" r)", {R"(p q\)", "r"}},
      {R"( "a"b c)", {"", "ab", "c"}},  // a leading blank leaves the program name empty
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(CommandLineToArgv(line), expected) << line;

  const Args argv = {
      R"(C:\Program Files\tool.exe)", "plain",    "",       "two words", R"(say "hi")", R"(dir\)",
      R"(dir with blank\)",           R"(\\"\\)", "\"\"\"", "tab\there", "\xE9t\xE9"};
  EXPECT_EQ(CommandLineToArgv(ArgvToCommandLine(argv)), argv);
  EXPECT_EQ(QuoteArgument("plain"), "plain");            // nothing to protect: left as it is
  EXPECT_EQ(ArgvToCommandLine({"a\"b c"}), "\"ab c\"");  // a program name holds no quote
}

using tarvium::test::TestMachine;

class EngineImageTest : public ::testing::Test {
 protected:
  EngineImageTest() {
    EXPECT_EQ(machine.Machine().Programs().PlaceEngineImage("C:\\Windows\\_UnInst.exe"),
              ERROR_SUCCESS);
    EXPECT_EQ(machine.Machine().Files().CreateDirectoryTree("C:\\Program Files\\Prod"),
              ERROR_SUCCESS);
    EXPECT_EQ(machine.Machine().Programs().PlaceEngineImage("C:\\Program Files\\Prod\\Setup.exe"),
              ERROR_SUCCESS);
  }

  // machine.ini's Engine= as an administrator edits it; the machine is opened again.
  std::unique_ptr<emulated::EmulatedMachine> WithConfiguredEngine(
      const std::string& engine, const std::vector<std::string>& hostVariables = {}) {
    return machine.OpenReconfigured([&](auto& config) { config.szEngine = engine; }, hostVariables);
  }

  // Starts a command line on the machine and waits; the exit code, or the start's error.
  static uint32_t Run(Machine& on, const std::string& commandLine, uint32_t& dwExitCode,
                      std::string* pModuleName = nullptr) {
    ProcessHandle hProcess = ProcessHandle::Invalid;
    ProcessStart start;
    start.commandLine = commandLine;
    start.environment = on.Env().Block();
    if (const uint32_t err = on.Programs().CreateProcess(start, hProcess)) return err;
    WaitResult result = WaitResult::TimedOut;
    EXPECT_EQ(on.Programs().WaitForProcess(hProcess, INFINITE, {}, result), ERROR_SUCCESS);
    EXPECT_EQ(on.Programs().GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
    ProcessInfo info;
    on.Programs().GetProcessInfo(hProcess, info);
    if (pModuleName) *pModuleName = info.moduleName;
    return on.Programs().CloseProcess(hProcess);
  }

  TestMachine machine;
};

TEST_F(EngineImageTest, AnImageRunsTheEngineWithTheFullExitCode) {
  EXPECT_TRUE(IsEngineImage(machine.ReadFile("C:\\Windows\\_UnInst.exe")));
  auto opened = WithConfiguredEngine(TARVIUM_EXIT_WITH_CODE);
  const std::pair<const char*, uint32_t> cases[] = {
      {"_UnInst.exe 3221225477", 0xC0000005},  // a bare name, found in the Windows directory
      {"C:\\Windows\\_UnInst.exe -1", 0xFFFFFFFF},
      {"\"C:\\Program Files\\Prod\\Setup.exe\" 6702", 6702},
      {"C:\\Windows\\_UnInst 0", 0},  // ".exe" is tried first, as for any program
  };
  for (const auto& [commandLine, dwExpected] : cases) {
    uint32_t dwExitCode = 1;
    std::string moduleName;
    ASSERT_EQ(Run(*opened, commandLine, dwExitCode, &moduleName), ERROR_SUCCESS) << commandLine;
    EXPECT_EQ(dwExitCode, dwExpected) << commandLine;
    EXPECT_NE(moduleName.find(".exe"), std::string::npos) << "the image's name, not the engine's";
  }
}

TEST_F(EngineImageTest, TheEngineGetsTheArgumentsAndTheImagePath) {
  tarvium::test::TempDir host;
  const std::string record = host.Path() + "/record.txt";
  const std::string engine = host.WriteScript(
      "engine.sh",
      "printf '%s|' \"$TARVIUM_ENGINE_IMAGE\" \"$TARVIUM_MACHINE\" \"$@\" > " + record);
  // TARVIUM_ENGINE of the invocation wins over machine.ini.
  auto opened = WithConfiguredEngine(TARVIUM_EXIT_WITH_CODE, {"TARVIUM_ENGINE=" + engine});
  uint32_t dwExitCode = 1;
  ASSERT_EQ(Run(*opened, "\"C:\\Program Files\\Prod\\Setup.exe\" /U \"a b\" /S", dwExitCode),
            ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 0u);
  EXPECT_EQ(tarvium::test::ReadHostFile(record),
            "C:\\Program Files\\Prod\\Setup.exe|" + opened->Directory() + "|/U|a b|/S|");
}

TEST_F(EngineImageTest, WithoutAnEngineTheImageIsNoProgram) {
  for (const char* engine : {"", "missing/Setup.exe", "/"}) {
    auto opened = WithConfiguredEngine(engine);
    uint32_t dwExitCode = 0;
    EXPECT_EQ(Run(*opened, "C:\\Windows\\_UnInst.exe", dwExitCode), ERROR_BAD_EXE_FORMAT) << engine;
  }
  // A relative Engine= is taken in the machine directory.
  const std::string copy = machine.Path() + "/engine-copy";
  std::filesystem::copy_file(TARVIUM_EXIT_WITH_CODE, copy);
  auto opened = WithConfiguredEngine("engine-copy");
  uint32_t dwExitCode = 0;
  ASSERT_EQ(Run(*opened, "C:\\Windows\\_UnInst.exe 42", dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 42u);
}

class MachineWindowsTest : public ::testing::Test {
 protected:
  // A program of the machine that runs until it is ended; its process id.
  uint32_t Start(const std::string& commandLine, ProcessHandle& hProcess) {
    EXPECT_EQ(machine().Programs().CreateProcess({.commandLine = commandLine}, hProcess),
              ERROR_SUCCESS);
    ProcessInfo info;
    machine().Programs().GetProcessInfo(hProcess, info);
    handles_.push_back(hProcess);
    return info.dwProcessId;
  }
  // Waits (bounded) until the host process runs the named program, as a shell does once it has
  // reached its `exec`.
  static bool RunsSoon(uint32_t dwProcessId, const std::string& program) {
    for (int i = 0; i < 1000; ++i) {
      std::string comm;
      std::getline(std::ifstream("/proc/" + std::to_string(dwProcessId) + "/comm"), comm);
      if (comm == program) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  bool EndsSoon(ProcessHandle hProcess) {
    WaitResult result = WaitResult::TimedOut;
    machine().Programs().WaitForProcess(hProcess, 10000, {}, result);
    return result == WaitResult::Exited;
  }
  std::vector<WindowEntry> Windows() {
    std::vector<WindowEntry> windows;
    EXPECT_EQ(machine().TopWindows().EnumWindows(windows), ERROR_SUCCESS);
    return windows;
  }
  int64_t Send(WindowHandle hWnd, uint32_t uMsg, uint32_t dwExpected = ERROR_SUCCESS) {
    int64_t lResult = -1;
    EXPECT_EQ(machine().TopWindows().SendMessage(hWnd, uMsg, lResult), dwExpected);
    return lResult;
  }
  emulated::EmulatedMachine& machine() { return testMachine_.Machine(); }
  emulated::MachineWindows& windows() { return machine().EmulatedWindows(); }

  ~MachineWindowsTest() override {
    for (ProcessHandle hProcess : handles_) {
      machine().Programs().TerminateProcess(hProcess, 1);
      machine().Programs().CloseProcess(hProcess);
    }
  }

  tarvium::test::TestMachine testMachine_;
  std::vector<ProcessHandle> handles_;
};

TEST_F(MachineWindowsTest, AnnouncedWindowsLiveAsLongAsTheirProcess) {
  EXPECT_TRUE(Windows().empty());
  ProcessHandle hViewer, hGone;
  const uint32_t viewer = Start("sleep 30", hViewer);
  const uint32_t gone = Start("sleep 30", hGone);
  ASSERT_EQ(windows().AnnounceWindow(viewer, "Viewer - a.txt", true), ERROR_SUCCESS);
  ASSERT_EQ(windows().AnnounceWindow(viewer, "Viewer - b.txt", true), ERROR_SUCCESS);
  ASSERT_EQ(windows().AnnounceWindow(viewer, "Viewer - b.txt", false), ERROR_SUCCESS)
      << "announced again: only its answer changes";
  ASSERT_EQ(windows().AnnounceWindow(gone, "Editor", true), ERROR_SUCCESS);
  EXPECT_EQ(windows().AnnounceWindow(viewer, "two\nlines", true), ERROR_INVALID_NAME);
  // Init owns no window: closing one would signal its process group -1, every process.
  EXPECT_EQ(windows().AnnounceWindow(1, "Init", true), ERROR_INVALID_PARAMETER);

  std::vector<WindowEntry> listed = Windows();
  ASSERT_EQ(listed.size(), 3u);
  std::map<std::string, WindowEntry> byTitle;
  for (const WindowEntry& entry : listed) byTitle[entry.title] = entry;
  EXPECT_EQ(byTitle["Viewer - a.txt"].dwProcessId, viewer);
  EXPECT_EQ(byTitle["Editor"].dwProcessId, gone);
  EXPECT_EQ(Send(byTitle["Viewer - a.txt"].hWnd, WM_QUERYENDSESSION), 1);
  EXPECT_EQ(Send(byTitle["Viewer - b.txt"].hWnd, WM_QUERYENDSESSION), 0);

  EXPECT_EQ(windows().WithdrawWindow(viewer, "Viewer - b.txt"), ERROR_SUCCESS);
  EXPECT_EQ(windows().WithdrawWindow(viewer, "Viewer - b.txt"), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(Windows().size(), 2u);

  // A process that ends takes its windows along, however it ended.
  machine().Programs().TerminateProcess(hGone, 1);
  ASSERT_TRUE(EndsSoon(hGone));
  listed = Windows();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].title, "Viewer - a.txt");
  Send(byTitle["Editor"].hWnd, WM_CLOSE, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(windows().AnnounceWindow(gone, "Editor", true), ERROR_INVALID_PARAMETER);

  // An entry left by an earlier process with the same id (another start time) is not its.
  const std::string entry = testMachine_.Path() + "/windows/" + std::to_string(viewer);
  std::ofstream(entry) << "1\n1\tOld\n";
  EXPECT_TRUE(Windows().empty());
  // Nor is one written without a start time, as when its process ended while it was written.
  std::ofstream(entry) << "\n1\tOld\n";
  EXPECT_TRUE(Windows().empty());
  EXPECT_FALSE(std::ifstream(entry).is_open()) << "a stale entry is removed when listed";
}

TEST_F(MachineWindowsTest, CloseAndDestroyEndTheProgramAsASimpleProgramEnds) {
  ProcessHandle hClosed, hStubborn, hThreeWindows;
  const uint32_t closed = Start("sleep 30", hClosed);
  // The ignored signal stays ignored across the exec, which shows that the trap is in place.
  const uint32_t stubborn = Start(R"(Z:\bin\sh -c "trap '' TERM; exec sleep 30")", hStubborn);
  ASSERT_TRUE(RunsSoon(stubborn, "sleep"));
  const uint32_t threeWindows = Start("sleep 30", hThreeWindows);
  windows().AnnounceWindow(closed, "Closed", true);
  windows().AnnounceWindow(stubborn, "Stubborn", true);
  for (const char* title : {"Main", "Tool", "Help"})
    windows().AnnounceWindow(threeWindows, title, true);
  std::map<std::string, WindowHandle> byTitle;
  for (const WindowEntry& entry : Windows()) byTitle[entry.title] = entry.hWnd;

  Send(byTitle["Stubborn"], WM_CLOSE);
  // The handles listed before stay valid while the windows before them go.
  Send(byTitle["Main"], WM_DESTROY);
  Send(byTitle["Tool"], WM_DESTROY);
  Send(byTitle["Tool"], WM_DESTROY, ERROR_INVALID_WINDOW_HANDLE);
  Send(byTitle["Closed"], WM_CLOSE);
  EXPECT_TRUE(EndsSoon(hClosed));
  bool bRunning = false;
  machine().Programs().IsProcessRunning(hStubborn, bRunning);
  EXPECT_TRUE(bRunning) << "a program that handles the close goes on";
  machine().Programs().IsProcessRunning(hThreeWindows, bRunning);
  EXPECT_TRUE(bRunning) << "a program that keeps a window goes on";
  ASSERT_EQ(Windows().size(), 2u);
  ASSERT_EQ(windows().AnnounceWindow(threeWindows, "Tool", true), ERROR_SUCCESS);
  ASSERT_EQ(Windows().size(), 3u) << "a window opened again";
  EXPECT_EQ(windows().WithdrawWindow(threeWindows, "Tool"), ERROR_SUCCESS);

  Send(byTitle["Stubborn"], WM_DESTROY);
  EXPECT_TRUE(EndsSoon(hStubborn)) << "destroying its last window ends it";
  Send(byTitle["Help"], WM_DESTROY);
  EXPECT_TRUE(EndsSoon(hThreeWindows));
  EXPECT_TRUE(Windows().empty());
}

TEST(DdeCommand, CommandsArgumentsAndMalformedTexts) {
  std::vector<DdeCommand> commands;
  ASSERT_TRUE(ParseDdeCommands(
      " [CreateGroup( Tools ,1)] [AddItem(\"C:\\a b\\t.exe -x, y\",Tool,,2,,)][ExitProgman]",
      commands));
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].name, "CreateGroup");
  EXPECT_EQ(commands[0].args, (std::vector<std::string>{"Tools", "1"}));
  EXPECT_EQ(commands[1].args,
            (std::vector<std::string>{"C:\\a b\\t.exe -x, y", "Tool", "", "2", "", ""}));
  EXPECT_TRUE(commands[2].args.empty());
  ASSERT_TRUE(ParseDdeCommands("[X(\"say \"\"hi\"\"\")]", commands));
  EXPECT_EQ(commands[0].args, std::vector<std::string>{"say \"hi\""});
  for (const char* pszBad : {"", "   ", "CreateGroup(X)", "[CreateGroup(X)", "[CreateGroup(X]",
                             "[(X)]", "[A(\"open)]", "[A(\"q\" tail)]", "[A(x)] junk"})
    EXPECT_FALSE(ParseDdeCommands(pszBad, commands)) << pszBad;
}

}  // namespace
}  // namespace platform
