// The transport to the setup service: the client end of the named pipe "\\.\pipe\SetupSendPipe",
// opened at the first exchange and kept for the run. Every exchange writes one block of 16384
// bytes (the request text, a zero and zero padding) and reads one block back, so that requests
// and replies strictly alternate; a reply block that stops short fails the exchange with
// ERROR_WAIT_TIMEOUT (or ERROR_BROKEN_PIPE when the service closed). A failure closes the handle,
// so that the next exchange opens the pipe again; its system text goes to the debug trace.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/named_pipe.h"

namespace tarvium {

struct SetupRun;

inline constexpr size_t kServiceBlockSize = 16384;
// How long the rest of a reply block that has begun to arrive may keep the run waiting.
inline constexpr uint32_t kBlockRestTimeoutMs = 2000;
inline constexpr const char* kServicePipeName = "\\\\.\\pipe\\SetupSendPipe";

class ServicePipe {
 public:
  // Sends request (cut to 16383 bytes) and reads the reply: the text of the reply block up to its
  // first zero. ERROR_SUCCESS, or the Windows error of the open, write or read.
  uint32_t Exchange(SetupRun& run, const std::string& request, std::string& reply);
  void Close() { pipe_.reset(); }

 private:
  uint32_t Transfer(SetupRun& run);

  std::unique_ptr<platform::PipeConnection> pipe_;
  std::array<char, kServiceBlockSize> buffer_{};  // the run's exchange buffer
};

// "file.cpp:123", the place a diagnostic line names.
std::string SourcePlace(const char* pszFile, int nLine);

}  // namespace tarvium
