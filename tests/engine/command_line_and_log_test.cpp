// The setup log on real temporary machines at a fixed local time: trace lines in the trace file
// and on the debugger output (read back through TARVIUM_DEBUG_OUTPUT=file:), the headers of the
// error and trace files and the entries of "ErrorLogMsg" and /F, every line ending in CR LF.
// The command line of Setup.exe on real temporary machines: switch effects, quoting, the setup
// information file's location, the error file and the /Y countdown.
#include <gtest/gtest.h>

#include <tuple>

#include <cstdio>

#include "engine/command_line.h"
#include "engine/error_file.h"
#include "engine/error_log_entries.h"
#include "engine/inf_file.h"
#include "engine/inf_location.h"
#include "engine/init_variables.h"
#include "engine/product_identity.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/shutdown_countdown.h"
#include "engine/variable_sections.h"
#include "engine/variable_store.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

struct SetupLogTest : ::testing::Test {
  test::TempDir host;
  const std::string debuggerFile = host.Path() + "/debugger.txt";
  test::TestMachine test{{}, {"TARVIUM_DEBUG_OUTPUT=file:" + debuggerFile}};
  SetupRun run{test.Machine()};

  SetupLogTest() { FixTime(9, 5, 3, 7); }
  void FixTime(uint16_t wHour, uint16_t wMinute, uint16_t wSecond, uint16_t wMs) {
    ASSERT_TRUE(
        test.Machine().EmulatedClock().FixLocalTime({2026, 3, 3, 4, wHour, wMinute, wSecond, wMs}));
  }
  std::string File(const std::string& path) {
    std::string text;
    EXPECT_EQ(run.machine.Files().ReadWholeFile(path, text), 0u) << path;
    return text;
  }
};

TEST_F(SetupLogTest, TraceLinesGoToTheDebuggerOutputOrTheAttachedTraceFile) {
  EXPECT_EQ(SetupTrace(run, "Progress %d\n", 40), 44);
  const std::string line = "Setup: 2026-03-04 09:05:03.007 [Setup] Progress 40\r\n";
  EXPECT_EQ(test::ReadHostFile(debuggerFile), line);
  EXPECT_EQ(run.debugLines.back(), line);

  run.ctx.szWindowTitle = "Product Setup";
  platform::FileHandle hFile;
  ASSERT_EQ(run.machine.Files().CreateFile("C:\\trace.log", platform::GENERIC_WRITE,
                                           platform::CREATE_ALWAYS, 0, hFile),
            0u);
  SetTraceFile(run, hFile);
  SetupTrace(run, "\n\nSetup.exe: found /%s\n\n", "F");
  SetupTrace(run, "iRet: %d, bAborted: %d\n", -1, 1);
  SetTraceFile(run, platform::FileHandle::Invalid);
  run.machine.Files().CloseHandle(hFile);
  EXPECT_EQ(File("C:\\trace.log"),
            "2026-03-04 09:05:03.007 [Setup] \r\n\r\nSetup.exe: found /F\r\n\r\n"
            "2026-03-04 09:05:03.007 [Setup] iRet: -1, bAborted: 1\r\n");
  EXPECT_EQ(test::ReadHostFile(debuggerFile), line);  // nothing reached the debugger meanwhile

  SetupTrace(run, "No newline");
  EXPECT_EQ(test::ReadHostFile(debuggerFile),
            line + "Product Setup: 2026-03-04 09:05:03.007 [Setup] No newline");
  EXPECT_EQ(SetupTrace(run, nullptr), -1);

  const std::string longText(700, 'x');  // longer than a line formatted on the stack
  EXPECT_EQ(SetupTrace(run, "%s\n", longText.c_str()), 32 + 700 + 1);
  EXPECT_EQ(run.debugLines.back(),
            "Product Setup: 2026-03-04 09:05:03.007 [Setup] " + longText + "\r\n");
}

TEST_F(SetupLogTest, DebuggerOutputIsOffUnlessAKnownListenerIsNamed) {
  test::TestMachine quiet;
  SetupRun other(quiet.Machine());
  SetupTrace(other, "unseen\n");
  EXPECT_EQ(other.debugLines.size(), 1u);  // kept on the run, sent nowhere
  EXPECT_EQ(test::ReadHostFile(debuggerFile), "");
  EXPECT_THROW(quiet.OpenAgain({"TARVIUM_DEBUG_OUTPUT=printer"}), std::runtime_error);
  EXPECT_NO_THROW(quiet.OpenAgain({"TARVIUM_DEBUG_OUTPUT="}));
}

TEST_F(SetupLogTest, HeadersOfTheErrorAndTraceFiles) {
  run.ctx.szErrorFile = "C:\\err.txt";
  run.ctx.szTraceFile = "C:\\trace.log";
  run.ctx.szInfFile = "C:\\Media\\Setup.inf";
  ASSERT_TRUE(PrepareErrorFile(run));
  WriteErrorFile(run, "written while loading\n");
  const std::string text =
      "[Setup]\nVersion=4.1\n[Application]\nProductName=Prod\n"
      "Version=1.2\nRevision=7\n";
  InfFile inf(std::vector<char>(text.begin(), text.end()));
  inf.BuildSectionIndex();
  ReadProductIdentity(run, inf);
  WriteErrorLogMsg(run, "after the header");
  FinishErrorFile(run);
  const std::string identity =
      "ProductName: Prod\r\nVersion    : 1.2\r\nRevision   : 7\r\n"
      "SetupInf   : C:\\Media\\Setup.inf\r\n------------\r\n";
  EXPECT_EQ(File("C:\\err.txt"), "WORKGROUP;TARVIUM-PC\r\nDate/Time  : 04.03.2026 09:05:03\r\n" +
                                     identity + "written while loading\r\n" +
                                     "04.03.2026 09:05:03\r\nErrorLogMsg: after the header\r\n"
                                     "------------\r\n");
  EXPECT_EQ(File("C:\\trace.log"), "Date/Time  : 04.03.2026 09:05:03\r\n" + identity);
}

TEST_F(SetupLogTest, ErrorLogMsgAndMissingFileEntriesNameThePositionOnlyInASection) {
  run.ctx.szErrorFile = "C:\\err.txt";
  ASSERT_TRUE(PrepareErrorFile(run));
  WriteErrorLogMsg(run, "outside");
  SetPosition(run, "Files", 0);
  WriteErrorLogMsg(run, "no line yet");
  SetPosition(run, "Files", 3);
  WriteErrorLogMsg(run, "inside");
  FixTime(10, 0, 0, 0);
  WriteMissingFileEntry(run, "C:\\Media\\Sub\\..\\a.dll");
  FinishErrorFile(run);
  const std::string text = File("C:\\err.txt");
  const std::string entries = text.substr(text.find("09:05:03\r\n") + 10);
  EXPECT_EQ(
      entries,
      "04.03.2026 09:05:03\r\nErrorLogMsg: outside\r\n------------\r\n"
      "04.03.2026 09:05:03\r\nErrorLogMsg: no line yet\r\n------------\r\n"
      "04.03.2026 09:05:03, Section [Files], Line 3: \r\nErrorLogMsg: inside\r\n------------\r\n"
      "04.03.2026 10:00:00, Section [Files], Line 3: \r\nFile not found: C:\\Media\\a.dll\r\n"
      "------------\r\n");
}

// In /G and /SX runs the error file goes to %TarviumErrorPath% under the switch's file name, and a
// failure there is only a line on standard output; elsewhere the failure is message 5504.
TEST_F(SetupLogTest, ErrorFileOfServiceAndSilentToErrorPathRuns) {
  const auto finish = [&](SetupRun& r, const std::string& switchText, const std::string& entry) {
    r.ctx.szErrorFile = switchText;
    EXPECT_TRUE(PrepareErrorFile(r));
    WriteErrorLogMsg(r, entry);
    ::testing::internal::CaptureStdout();
    FinishErrorFile(r);
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
  };
  ASSERT_TRUE(SetVariable(run, "TarviumErrorPath", "C:\\Agent\\Errors"));
  run.ctx.bSilentToErrorPath = true;
  EXPECT_EQ(finish(run, "C:\\Logs\\err.txt", "first"), "");
  EXPECT_FALSE(run.machine.Files().FileExists("C:\\Logs\\err.txt"));
  SetupRun service(test.Machine());
  service.ctx.bServiceMode = true;
  EXPECT_EQ(finish(service, "+D:\\Other\\ERR.txt", "second"), "");
  const std::string text = File("C:\\Agent\\Errors\\err.txt");
  EXPECT_LT(text.find("ErrorLogMsg: first"), text.find("ErrorLogMsg: second")) << text;
  EXPECT_TRUE(run.shownMessages.empty() && service.shownMessages.empty());

  // A target that cannot be written (Z: is read-only).
  SetupRun refused(test.Machine());
  refused.ctx.bServiceMode = true;
  ASSERT_TRUE(SetVariable(refused, "TarviumErrorPath", "Z:\\tarvium-refused"));
  EXPECT_EQ(finish(refused, "C:\\err.txt", "lost"),
            "Cannot create error file: Z:\\tarvium-refused\\err.txt\n");
  EXPECT_TRUE(refused.shownMessages.empty());
  SetupRun plain(test.Machine());
  EXPECT_EQ(finish(plain, "Z:\\tarvium-refused\\err.txt", "lost"), "");
  ASSERT_EQ(plain.shownMessages.size(), 1u);
  EXPECT_EQ(plain.shownMessages[0].nMessage, 5504);
  EXPECT_EQ(std::get<std::string>(plain.shownMessages[0].args[0]), "Z:\\tarvium-refused\\err.txt");

  // /SX without the variable: the file name alone, in the root of the current drive.
  SetupRun unset(test.Machine());
  unset.ctx.bSilentToErrorPath = true;
  ASSERT_TRUE(SetVariable(unset, "TarviumErrorPath", ""));
  EXPECT_EQ(finish(unset, "C:\\Logs\\late.txt", "rootless"), "");
  EXPECT_NE(File("\\late.txt").find("ErrorLogMsg: rootless"), std::string::npos);
  EXPECT_TRUE(unset.shownMessages.empty());
}

// The trace file's name has its variables replaced and every ':' after the third character
// turned into '-'; an existing file is replaced; a file that cannot be created is message 5504 and
// the trace goes on to the debugger output.
TEST_F(SetupLogTest, TraceFileNamingReplacingAndFallback) {
  ASSERT_TRUE(SetVariable(run, "Product", "Demo"));
  ASSERT_EQ(run.machine.Files().CreateDirectoryTree("C:\\Logs"), 0u);
  ASSERT_EQ(run.machine.Files().WriteWholeFile("C:\\Logs\\Demo-09-05.log", "old content"), 0u);
  run.ctx.szTraceFile = "C:\\Logs\\%Product%-%SysTime%.log";
  ASSERT_TRUE(CreateTraceFile(run));
  SetupTrace(run, "Progress %d\n", 1);
  const platform::FileHandle hTrace = run.log.hTraceFile;
  SetTraceFile(run, platform::FileHandle::Invalid);
  run.machine.Files().CloseHandle(hTrace);
  EXPECT_EQ(File("C:\\Logs\\Demo-09-05.log"), "2026-03-04 09:05:03.007 [Setup] Progress 1\r\n");

  SetupRun failing(test.Machine());
  failing.ctx.szTraceFile = "C:\\No\\Such\\Folder\\t.log";
  EXPECT_FALSE(CreateTraceFile(failing));
  ASSERT_EQ(failing.shownMessages.size(), 1u);
  EXPECT_EQ(failing.shownMessages[0].nMessage, 5504);
  EXPECT_EQ(std::get<std::string>(failing.shownMessages[0].args[0]), "C:\\No\\Such\\Folder\\t.log");
  SetupTrace(failing, "still traced\n");
  EXPECT_NE(test::ReadHostFile(debuggerFile).find("[Setup] still traced\r\n"), std::string::npos);
}

struct CommandLineTest : ::testing::Test {
  test::TestMachine test;
  SetupRun run{test.Machine()};

  CommandLineTest() {
    run.ctx.szExeDir = "C:\\Media";
    run.machine.Files().CreateDirectoryTree("C:\\Media");
    run.machine.Files().CreateDirectoryTree("C:\\Work");
    run.machine.Files().SetCurrentDirectory("C:\\Work");
  }
  SetupContext Parsed(const std::string& text) {
    SetupRun fresh(test.Machine());
    fresh.ctx.szExeDir = run.ctx.szExeDir;
    ParseCommandLine(fresh, text);
    return fresh.ctx;
  }
};

TEST_F(CommandLineTest, SilentLevelTable) {
  struct Row {
    const char* text;
    bool bSilent;
    int iLevel;
    const char* levelText;
    bool bNoEnd;
    bool bToErrorPath;
  };
  const Row rows[] = {
      {"/S", true, 0, "0", false, false},     {"/S1", true, 1, "1", false, false},
      {"-s2", true, 2, "2", false, false},    {"/S3", false, 3, "3", false, false},
      {"/S4", true, 0, "4", true, false},     {"/S2 /SX", true, 0, "2", false, true},
      {"/SX /S1", true, 1, "1", false, false}};
  for (const Row& row : rows) {
    const SetupContext ctx = Parsed(row.text);
    EXPECT_EQ(std::tie(ctx.bSilent, ctx.iSilentLevel, ctx.szSilentLevel, ctx.bSilentNoEnd,
                       ctx.bSilentToErrorPath),
              std::make_tuple(row.bSilent, row.iLevel, row.levelText, row.bNoEnd, row.bToErrorPath))
        << row.text;
  }
}

TEST_F(CommandLineTest, SwitchValuesQuotingCutsAndTheShutdownCountdown) {
  SetupContext ctx = Parsed(R"(-p"C:\Program Files\X" /X12:2024-05-01 /x20 /OA+B /O-C /DEBUG)");
  EXPECT_EQ(ctx.szSrcDir, "C:\\Program Files\\X\\");
  EXPECT_EQ(ctx.dwRunFlags, 0x32u);
  EXPECT_EQ(ctx.szForceOnceDate, "2024-05-01");
  EXPECT_EQ(ctx.szOptions, "A+B-C");
  EXPECT_TRUE(ctx.bDebug);
  EXPECT_FALSE(ctx.bFromCD);
  ctx = Parsed("/debug:1 /P:D:\\Src\\ /V1.2;7 /AW /GW /Hq /W42 /T1 /E+C:\\err.txt");
  EXPECT_TRUE(ctx.bDebugStep);
  EXPECT_EQ(ctx.szSrcDir, "D:\\Src\\");
  EXPECT_EQ(ctx.szRequiredVersion, "1.2");
  EXPECT_EQ(ctx.szRequiredRevision, "7");
  EXPECT_TRUE(ctx.bAdminSetup && ctx.bAdminWorkstation && ctx.bWorkstationSetup);
  EXPECT_FALSE(ctx.bAdminToServer);
  EXPECT_TRUE(ctx.bServiceMode && ctx.bServiceModeW);
  EXPECT_EQ(ctx.hNotifyWindow, 42u);
  EXPECT_EQ(ctx.iTestKind, 1);
  EXPECT_EQ(ctx.szErrorFile, "+C:\\err.txt");
  ctx = Parsed("/D /X4:ignored /V" + std::string(300, 'v'));
  EXPECT_TRUE(ctx.bFromCD);
  EXPECT_FALSE(ctx.bDebug);
  EXPECT_EQ(ctx.szForceOnceDate, "");
  EXPECT_EQ(ctx.szRequiredVersion.size(), kShortTextSize - 1);

  ASSERT_EQ(run.machine.Profiles().WritePrivateProfileString("Setup", "AddParameters", "/S1 /M",
                                                             "C:\\Media\\Setup.ini"),
            0u);
  ParseCommandLine(run, BuildCommandText(run, "/U"));
  EXPECT_TRUE(run.ctx.bUninstall && run.ctx.bModify && run.ctx.bSilent);
  ParseCommandLine(run, "/F /?");
  EXPECT_TRUE(ShowUsageIfAsked(run));
  EXPECT_EQ(run.shownMessages.back().nMessage, 5541);
  const std::string& trace = run.debugLines.back();  // a trace line, before any trace file
  EXPECT_NE(trace.find(" [Setup] \r\n\r\nSetup.exe: found /F\r\n\r\n"), std::string::npos) << trace;

  // The /Y countdown requests a restart.
  const ShutdownSpec countdown = ParseShutdownSpec("Line 1\\nC:\\\\Dir,1,0,-1,9");
  EXPECT_EQ(countdown.message, "Line 1\nC:\\Dir");
  EXPECT_EQ(countdown.nSeconds, -1);
  ASSERT_EQ(RunShutdownCountdown(run, "Bye,1,1,0"), 0u);
  platform::PowerRequest request;
  ASSERT_EQ(run.machine.PowerRequests().GetPowerRequest(request), 0u);
  EXPECT_EQ(request.action, platform::PowerAction::Restart);
  EXPECT_TRUE(request.bForce);
  EXPECT_EQ(request.dwReason, 0x00030000u);
}

TEST_F(CommandLineTest, InfFileLocationVariablesAndConnection) {
  ASSERT_EQ(run.machine.Files().WriteWholeFile("C:\\Work\\Here.inf", ""), 0u);
  EXPECT_EQ(Parsed("Here.inf").szInfFile, "C:\\Work\\Here.inf");
  EXPECT_EQ(Parsed("Nowhere.inf").szInfFile, "C:\\Media\\Nowhere.inf");
  EXPECT_EQ(Parsed("\\Abs.inf").szInfFile, "\\Abs.inf");

  ASSERT_TRUE(InitVariables(run));
  ASSERT_EQ(run.machine.Files().CreateDirectoryTree("C:\\Media\\Disk1"), 0u);
  ParseCommandLine(run, "C:\\Media\\Sub\\..\\Disk1\\Setup.inf /I\\\\srv,admin,pw");
  ResolveInfFile(run);
  EXPECT_EQ(run.ctx.szInfFile, "C:\\Media\\Disk1\\Setup.inf");
  EXPECT_EQ(run.variables.Get("SetupInf"), "C:\\Media\\Disk1\\Setup.inf");
  std::string value;
  run.machine.Env().GetVariable("SetupInfPathName", value);
  EXPECT_EQ(value, "C:\\Media\\Disk1");
  run.machine.Env().GetVariable("SetupInfServerName", value);
  EXPECT_EQ(value, "C:");
  EXPECT_EQ(run.ctx.szSrcDir, "C:\\Media\\Disk1\\");
  std::string current;
  run.machine.Files().GetCurrentDirectory(current);
  EXPECT_EQ(current, "C:\\Media\\Disk1");
  ASSERT_EQ(run.machine.Net().Connections().size(), 1u);
  EXPECT_EQ(run.machine.Net().Connections()[0].userName, "admin");
  CloseServerConnection(run);
  EXPECT_TRUE(run.machine.Net().Connections().empty());
  EXPECT_EQ(run.debugLines.back(), "[Setup] Disconnection from server: \\\\srv");
}

TEST_F(CommandLineTest, ErrorFileHeaderAppendAndEmptyRuns) {
  ASSERT_TRUE(InitVariables(run));
  const std::string target = "C:\\Work\\err.txt";
  auto runWith = [&](const std::string& errorSwitch, const std::string& entry) {
    SetupRun one(test.Machine());
    one.ctx.szErrorFile = errorSwitch;
    EXPECT_TRUE(PrepareErrorFile(one));
    WriteIdentityLines(one, "Prod", "1.0", "3", "C:\\Setup.inf");
    if (!entry.empty()) WriteErrorFile(one, entry);
    FinishErrorFile(one);
  };
  runWith(target, "");
  EXPECT_FALSE(run.machine.Files().FileExists(target));
  runWith(target, "first\n");  // its header: SetupLogTest.HeadersOfTheErrorAndTraceFiles
  const std::string text = test.ReadFile(target);
  runWith("+" + target, "second\n");
  const std::string appended = test.ReadFile(target);
  EXPECT_EQ(appended.substr(0, text.size()), text);
  EXPECT_EQ(appended.find("WORKGROUP;", text.size()), std::string::npos);
  EXPECT_EQ(appended.substr(appended.size() - 8), "second\r\n");
}

}  // namespace
}  // namespace tarvium
