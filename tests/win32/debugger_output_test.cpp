// Whether the debugger output has a listener, against the running Windows: a monitoring tool is
// played by creating the event such a tool waits on.
#include "platform/win32/win32_debugger_output.h"

#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#undef OutputDebugString

namespace {

// A look that found no tool is not repeated at once; one that found it is, so its end is seen.
TEST(DebuggerOutputTest, AMonitoringToolIsAListener) {
  EXPECT_FALSE(platform::win32::Win32DebuggerOutput().HasListener());
  platform::win32::Win32DebuggerOutput output;
  const HANDLE monitor = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
  ASSERT_NE(nullptr, monitor);
  EXPECT_TRUE(output.HasListener());
  output.OutputDebugString("seen by the monitor, which does not read it\n");
  CloseHandle(monitor);
  EXPECT_FALSE(output.HasListener());
}

}  // namespace
