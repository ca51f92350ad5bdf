// The command line of Setup.exe on real temporary machines: switch effects, quoting, the setup
// information file's location, the error file and the /Y countdown.
#include "engine/command_line.h"

#include <gtest/gtest.h>

#include "engine/error_file.h"
#include "engine/inf_location.h"
#include "engine/init_variables.h"
#include "engine/setup_run.h"
#include "engine/shutdown_countdown.h"
#include "engine/variable_store.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

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
    EXPECT_EQ(ctx.bSilent, row.bSilent) << row.text;
    EXPECT_EQ(ctx.iSilentLevel, row.iLevel) << row.text;
    EXPECT_EQ(ctx.szSilentLevel, row.levelText) << row.text;
    EXPECT_EQ(ctx.bSilentNoEnd, row.bNoEnd) << row.text;
    EXPECT_EQ(ctx.bSilentToErrorPath, row.bToErrorPath) << row.text;
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
  runWith(target, "first\n");
  const std::string text = test.ReadFile(target);
  EXPECT_EQ(text.substr(0, text.find('\n')), "WORKGROUP;TARVIUM-PC\r");
  EXPECT_NE(text.find("ProductName: Prod\r\nVersion    : 1.0\r\nRevision   : 3\r\n"),
            std::string::npos);
  runWith("+" + target, "second\n");
  const std::string appended = test.ReadFile(target);
  EXPECT_EQ(appended.substr(0, text.size()), text);
  EXPECT_EQ(appended.find("WORKGROUP;", text.size()), std::string::npos);
  EXPECT_EQ(appended.substr(appended.size() - 8), "second\r\n");
}

}  // namespace
}  // namespace tarvium
