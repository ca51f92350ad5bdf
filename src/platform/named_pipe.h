// Named pipes ("\\.\pipe\NAME") as the engine and its peers use them: a client opens an existing
// pipe (CreateFileA with OPEN_EXISTING) and exchanges bytes over it; a server (a peer tool such
// as setup-agent) creates the pipe and accepts one client at a time. Reads and writes move whole
// buffers: a read returns only when the buffer is full, the other end has closed, or the time-out
// has passed, because the protocols on top of pipes exchange fixed-size blocks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// No time-out: wait as long as the other end needs.
inline constexpr uint32_t PIPE_WAIT_FOREVER = 0xFFFFFFFF;

// One connected end of a pipe; closed when destroyed (CloseHandle).
class PipeConnection {
 public:
  virtual ~PipeConnection() = default;
  // Writes all nBytes; ERROR_NO_DATA (232) when the other end has closed.
  virtual uint32_t Write(const void* pData, size_t nBytes) = 0;
  // Reads until nBytes arrived. nRead receives the bytes read; ERROR_BROKEN_PIPE (109) when the
  // other end closed first, ERROR_WAIT_TIMEOUT (258) when dwTimeoutMs passed first.
  virtual uint32_t Read(void* pData, size_t nBytes, size_t& nRead,
                        uint32_t dwTimeoutMs = PIPE_WAIT_FOREVER) = 0;
};

// The server side of a named pipe; the name disappears when it is destroyed.
class PipeServer {
 public:
  virtual ~PipeServer() = default;
  // Waits for the next client (ConnectNamedPipe); ERROR_WAIT_TIMEOUT when none came in time.
  virtual uint32_t Accept(std::unique_ptr<PipeConnection>& connection, uint32_t dwTimeoutMs) = 0;
};

class NamedPipes {
 public:
  virtual ~NamedPipes() = default;
  // Opens the existing pipe `pipeName` ("\\.\pipe\NAME") for reading and writing:
  // ERROR_FILE_NOT_FOUND when no server has created it, ERROR_INVALID_NAME for a name outside
  // "\\.\pipe\".
  virtual uint32_t Open(const std::string& pipeName, std::unique_ptr<PipeConnection>& pipe) = 0;
  // Creates the pipe `pipeName`; ERROR_PIPE_BUSY when another server holds the name.
  virtual uint32_t Create(const std::string& pipeName, std::unique_ptr<PipeServer>& server) = 0;
};

}  // namespace platform
