#include "platform/win32/win32_debugger_output.h"

#include "platform/win32/windows_api.h"
#undef OutputDebugString

namespace platform::win32 {
namespace {

// The event a monitoring tool creates and signals when its buffer is free for the next text.
bool MonitorListens() {
  const HANDLE ready = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY");
  if (!ready) return false;
  CloseHandle(ready);
  return true;
}

}  // namespace

void Win32DebuggerOutput::OutputDebugString(const std::string& text) {
  OutputDebugStringA(text.c_str());
}

bool Win32DebuggerOutput::HasListener() const {
  if (IsDebuggerPresent()) return true;
  const uint64_t nNow = GetTickCount64();
  if (nNow < nNextLook_) return false;
  const bool bListens = MonitorListens();
  nNextLook_ = bListens ? 0 : nNow + kMonitorRecheckMs;
  return bListens;
}

}  // namespace platform::win32
