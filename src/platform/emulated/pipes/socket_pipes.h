// Named pipes of the emulated machine: the pipe "\\.\pipe\NAME" is the Unix-domain stream socket
// <machine>/pipe/NAME, so that a setup and its peer meet through the machine directory they
// share, and nothing of the host's own namespace is used. Socket paths that do not fit a socket
// address are reached through the pipe folder's descriptor.
#pragma once
#include <string>

#include "platform/named_pipe.h"

namespace platform::emulated {

class SocketPipes final : public NamedPipes {
 public:
  explicit SocketPipes(std::string pipeDirectory) : pipeDir_(std::move(pipeDirectory)) {}

  uint32_t Open(const std::string& pipeName, std::unique_ptr<PipeConnection>& pipe) override;
  uint32_t Create(const std::string& pipeName, std::unique_ptr<PipeServer>& server) override;

 private:
  std::string pipeDir_;  // host path of <machine>/pipe
};

}  // namespace platform::emulated
