// Every pipe handle is opened for overlapped I/O: a read or a wait for a client that outlasts its
// time-out is cancelled (CancelIoEx) and the pipe stays usable. A client end never lets the server
// act as its user (SECURITY_IDENTIFICATION), since a setup may run elevated and the name of a pipe
// can be taken by any program; a server takes its name only if no one holds it yet
// (FILE_FLAG_FIRST_PIPE_INSTANCE).
#include "platform/win32/win32_named_pipes.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

constexpr std::string_view kPipePrefix = "\\\\.\\pipe\\";
constexpr DWORD kPipeBufferSize = 64 * 1024;
// How long a client waits for an instance of a pipe whose instances are all taken.
constexpr DWORD kBusyWaitMs = 5000;

bool IsLocalPipeName(const std::string& pipeName) {
  return pipeName.size() > kPipePrefix.size() && AnsiStartsWithNoCase(pipeName, kPipePrefix);
}

// A Windows error that is never ERROR_SUCCESS, for calls that failed without setting one.
uint32_t LastError() {
  const DWORD dwError = GetLastError();
  return dwError != ERROR_SUCCESS ? dwError : ERROR_GEN_FAILURE;
}

// The milliseconds left until a deadline of GetTickCount64; INFINITE stays INFINITE.
class Deadline {
 public:
  explicit Deadline(DWORD dwTimeoutMs)
      : bForever_(dwTimeoutMs == INFINITE), nEnd_(GetTickCount64() + dwTimeoutMs) {}
  DWORD Remaining() const {
    if (bForever_) return INFINITE;
    const ULONGLONG nNow = GetTickCount64();
    return nNow >= nEnd_ ? 0 : static_cast<DWORD>(nEnd_ - nNow);
  }

 private:
  bool bForever_;
  ULONGLONG nEnd_;
};

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { Reset(); }
  HANDLE Get() const { return handle_; }
  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  void Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
    if (IsValid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

// One overlapped operation at a time on a pipe: its OVERLAPPED and the event that signals it.
class PendingIo {
 public:
  PendingIo() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  bool IsReady() const { return event_.IsValid(); }
  OVERLAPPED* Start() {
    overlapped_ = {};
    overlapped_.hEvent = event_.Get();
    return &overlapped_;
  }
  // Completes the operation started on `pipe` (bStarted is what the call returned): the bytes it
  // moved, or ERROR_WAIT_TIMEOUT when it was still pending after dwTimeoutMs and got cancelled.
  uint32_t Finish(HANDLE pipe, BOOL bStarted, DWORD dwTimeoutMs, DWORD& nDone) {
    nDone = 0;
    if (!bStarted) {
      const DWORD dwError = GetLastError();
      if (dwError != ERROR_IO_PENDING)
        return dwError != ERROR_SUCCESS ? dwError : ERROR_GEN_FAILURE;
      const DWORD dwWait = WaitForSingleObject(event_.Get(), dwTimeoutMs);
      if (dwWait == WAIT_FAILED) return LastError();
      if (dwWait == WAIT_TIMEOUT) return Cancel(pipe, nDone);
    }
    return GetOverlappedResult(pipe, &overlapped_, &nDone, FALSE) ? ERROR_SUCCESS : LastError();
  }

 private:
  // An operation that completed while it was being cancelled keeps its result.
  uint32_t Cancel(HANDLE pipe, DWORD& nDone) {
    CancelIoEx(pipe, &overlapped_);
    if (GetOverlappedResult(pipe, &overlapped_, &nDone, TRUE)) return ERROR_SUCCESS;
    const DWORD dwError = GetLastError();
    return dwError == ERROR_OPERATION_ABORTED ? ERROR_WAIT_TIMEOUT : LastError();
  }

  OwnedHandle event_;
  OVERLAPPED overlapped_{};
};

DWORD ChunkOf(size_t nBytes) {
  return static_cast<DWORD>(std::min<size_t>(nBytes, MAXDWORD));
}

class Win32PipeConnection final : public PipeConnection {
 public:
  explicit Win32PipeConnection(HANDLE pipe) : pipe_(pipe) {}

  uint32_t Write(const void* pData, size_t nBytes) override {
    if (!writing_.IsReady()) return LastError();
    const auto* pBytes = static_cast<const char*>(pData);
    while (nBytes > 0) {
      DWORD nWritten = 0;
      const BOOL bStarted =
          WriteFile(pipe_.Get(), pBytes, ChunkOf(nBytes), nullptr, writing_.Start());
      if (const uint32_t err = writing_.Finish(pipe_.Get(), bStarted, INFINITE, nWritten))
        return err;
      if (nWritten == 0) return ERROR_NO_DATA;
      pBytes += nWritten;
      nBytes -= nWritten;
    }
    return ERROR_SUCCESS;
  }

  uint32_t Read(void* pData, size_t nBytes, size_t& nRead, uint32_t dwTimeoutMs) override {
    nRead = 0;
    if (!reading_.IsReady()) return LastError();
    auto* pBytes = static_cast<char*>(pData);
    const Deadline deadline(dwTimeoutMs == PIPE_WAIT_FOREVER ? INFINITE : dwTimeoutMs);
    while (nRead < nBytes) {
      DWORD nGot = 0;
      const BOOL bStarted =
          ReadFile(pipe_.Get(), pBytes + nRead, ChunkOf(nBytes - nRead), nullptr, reading_.Start());
      const uint32_t err = reading_.Finish(pipe_.Get(), bStarted, deadline.Remaining(), nGot);
      nRead += nGot;
      if (err != ERROR_SUCCESS) return err;
    }
    return ERROR_SUCCESS;
  }

 private:
  OwnedHandle pipe_;
  PendingIo reading_;
  PendingIo writing_;
};

// Whether some server serves the name (an instance free or not).
bool PipeExists(const std::string& pipeName) {
  return WaitNamedPipeA(pipeName.c_str(), NMPWAIT_NOWAIT) || GetLastError() != ERROR_FILE_NOT_FOUND;
}

// A new instance of the pipe, waiting for its client. The first instance of a server fails with
// ERROR_PIPE_BUSY when another server already holds the name.
uint32_t CreateInstance(const std::string& pipeName, bool bFirst, OwnedHandle& instance) {
  const DWORD dwOpenMode =
      PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (bFirst ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
  // The pipe serves the runs of this computer: a client across the network is refused.
  const DWORD dwPipeMode =
      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
  HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), dwOpenMode, dwPipeMode, PIPE_UNLIMITED_INSTANCES,
                                 kPipeBufferSize, kPipeBufferSize, kBusyWaitMs, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) {
    const uint32_t err = LastError();
    return bFirst && err == ERROR_ACCESS_DENIED && PipeExists(pipeName) ? ERROR_PIPE_BUSY : err;
  }
  instance.Reset(pipe);
  return ERROR_SUCCESS;
}

// Waits until a client has connected to the instance. A client that came and already left
// (ERROR_NO_DATA) is let go and the wait goes on.
uint32_t WaitForClient(HANDLE instance, DWORD dwTimeoutMs) {
  PendingIo connecting;
  if (!connecting.IsReady()) return LastError();
  const Deadline deadline(dwTimeoutMs);
  for (;;) {
    DWORD nUnused = 0;
    const BOOL bStarted = ConnectNamedPipe(instance, connecting.Start());
    if (!bStarted && GetLastError() == ERROR_PIPE_CONNECTED) return ERROR_SUCCESS;
    const uint32_t err = connecting.Finish(instance, bStarted, deadline.Remaining(), nUnused);
    if (err != ERROR_NO_DATA) return err;
    DisconnectNamedPipe(instance);
  }
}

class Win32PipeServer final : public PipeServer {
 public:
  Win32PipeServer(std::string pipeName, HANDLE firstInstance)
      : pipeName_(std::move(pipeName)), listening_(firstInstance) {}

  uint32_t Accept(std::unique_ptr<PipeConnection>& connection, uint32_t dwTimeoutMs) override {
    if (!listening_.IsValid()) {
      if (const uint32_t err = CreateInstance(pipeName_, false, listening_)) return err;
    }
    const DWORD dwWaitMs = dwTimeoutMs == PIPE_WAIT_FOREVER ? INFINITE : dwTimeoutMs;
    if (const uint32_t err = WaitForClient(listening_.Get(), dwWaitMs)) return err;
    connection = std::make_unique<Win32PipeConnection>(listening_.Release());
    // The next client finds an instance at once; if none can be made, the next Accept says why.
    CreateInstance(pipeName_, false, listening_);
    return ERROR_SUCCESS;
  }

 private:
  std::string pipeName_;
  OwnedHandle listening_;
};

}  // namespace

uint32_t Win32NamedPipes::Open(const std::string& pipeName, std::unique_ptr<PipeConnection>& pipe) {
  if (!IsLocalPipeName(pipeName)) return ERROR_INVALID_NAME;
  const Deadline deadline(kBusyWaitMs);
  for (;;) {
    HANDLE handle = CreateFileA(
        pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      pipe = std::make_unique<Win32PipeConnection>(handle);
      return ERROR_SUCCESS;
    }
    const uint32_t err = LastError();
    if (err != ERROR_PIPE_BUSY || deadline.Remaining() == 0) return err;
    if (!WaitNamedPipeA(pipeName.c_str(), deadline.Remaining())) {
      const uint32_t waitError = LastError();
      return waitError == ERROR_SEM_TIMEOUT ? ERROR_PIPE_BUSY : waitError;
    }
  }
}

uint32_t Win32NamedPipes::Create(const std::string& pipeName, std::unique_ptr<PipeServer>& server) {
  if (!IsLocalPipeName(pipeName)) return ERROR_INVALID_NAME;
  OwnedHandle first;
  if (const uint32_t err = CreateInstance(pipeName, true, first)) return err;
  server = std::make_unique<Win32PipeServer>(pipeName, first.Release());
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
