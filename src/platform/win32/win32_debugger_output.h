// Windows' debugger output: OutputDebugStringA hands the text to a debugger attached to the
// process, or else to a monitoring tool that listens through the system's shared DBWIN buffer.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/debugger_output.h"

namespace platform::win32 {

class Win32DebuggerOutput final : public DebuggerOutput {
 public:
  void OutputDebugString(const std::string& text) override;
  // Asks what OutputDebugStringA itself asks: a debugger is attached (IsDebuggerPresent), or a
  // monitoring tool has made the "DBWIN_BUFFER_READY" event it waits on. Answering true always
  // would make every caller build text that goes nowhere; a kernel debugger, which the process
  // cannot see, is the one listener this leaves out. The event is looked for at most every
  // kMonitorRecheckMs while none is there: each look is a request to the system, and a run traces
  // every file it copies; a tool started meanwhile gets the lines from its next look on.
  bool HasListener() const override;

 private:
  static constexpr uint64_t kMonitorRecheckMs = 100;
  // GetTickCount64 before which no look is due; 0 after a look that found the tool.
  mutable std::atomic<uint64_t> nNextLook_ = 0;
};

}  // namespace platform::win32
