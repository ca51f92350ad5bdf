// Whether the debugger output has a listener, against the running Windows: a monitoring tool is
// played by creating the event such a tool waits on.
#include "platform/win32/win32_debugger_output.h"

#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#undef OutputDebugString

namespace {

constexpr char kMonitorEvent[] = "DBWIN_BUFFER_READY";

TEST(DebuggerOutputTest, AMonitoringToolIsAListener) {
  platform::win32::Win32DebuggerOutput output;
  const HANDLE monitor = CreateEventA(nullptr, FALSE, FALSE, kMonitorEvent);
  ASSERT_NE(nullptr, monitor);
  EXPECT_TRUE(output.HasListener());
  output.OutputDebugString("seen by the monitor, which does not read it\n");
  CloseHandle(monitor);
}

TEST(DebuggerOutputTest, WithoutAMonitorOnlyADebuggerListens) {
  const HANDLE existing = OpenEventA(SYNCHRONIZE, FALSE, kMonitorEvent);
  if (existing) {
    CloseHandle(existing);
    GTEST_SKIP() << "a monitoring tool is running on this machine";
  }
  platform::win32::Win32DebuggerOutput output;
  EXPECT_EQ(IsDebuggerPresent() != FALSE, output.HasListener());
}

}  // namespace
