// Named pipes of the real Windows: a client end opened with CreateFileA, and a server that keeps
// one listening instance of its pipe (CreateNamedPipeA) ready for the next client, so that a
// client may connect before the server has come to Accept. Both ends are byte streams opened for
// overlapped I/O, which lets a read end at its time-out without closing the pipe.
#pragma once
#include <memory>
#include <string>

#include "platform/named_pipe.h"

namespace platform::win32 {

class Win32NamedPipes final : public NamedPipes {
 public:
  uint32_t Open(const std::string& pipeName, std::unique_ptr<PipeConnection>& pipe) override;
  uint32_t Create(const std::string& pipeName, std::unique_ptr<PipeServer>& server) override;
};

}  // namespace platform::win32
