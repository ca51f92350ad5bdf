// The setup log on real temporary machines at a fixed local time: trace lines in the trace file
// and on the debugger output (read back through TARVIUM_DEBUG_OUTPUT=file:), the headers of the
// error and trace files and the entries of "ErrorLogMsg" and /F, every line ending in CR LF.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/error_file.h"
#include "engine/error_log_entries.h"
#include "engine/inf_file.h"
#include "engine/product_identity.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/variable_sections.h"
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

}  // namespace
}  // namespace tarvium
