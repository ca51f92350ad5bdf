// Windows' debugger output: OutputDebugStringA hands the text to a debugger attached to the
// process, or else to a monitoring tool that listens through the system's shared DBWIN buffer.
#pragma once
#include "platform/debugger_output.h"

namespace platform::win32 {

class Win32DebuggerOutput final : public DebuggerOutput {
 public:
  void OutputDebugString(const std::string& text) override;
  // Asks what OutputDebugStringA itself asks: a debugger is attached (IsDebuggerPresent), or a
  // monitoring tool has made the "DBWIN_BUFFER_READY" event it waits on. Answering true always
  // would make every caller build text that goes nowhere; a kernel debugger, which the process
  // cannot see, is the one listener this leaves out.
  bool HasListener() const override;
};

}  // namespace platform::win32
