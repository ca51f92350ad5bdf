#include "service/service_pipe.h"

#include <algorithm>
#include <cstring>

#include "engine/debug_output.h"
#include "engine/setup_run.h"
#include "platform/error_text.h"
#include "platform/win_error.h"

namespace tarvium {

uint32_t ServicePipe::Exchange(SetupRun& run, const std::string& request, std::string& reply) {
  reply.clear();
  const size_t nLength = std::min(request.size(), kServiceBlockSize - 1);
  std::memcpy(buffer_.data(), request.data(), nLength);
  std::fill(buffer_.begin() + static_cast<ptrdiff_t>(nLength), buffer_.end(), '\0');
  const uint32_t dwError = Transfer(run);
  if (dwError != platform::ERROR_SUCCESS) {
    DebugOutput(run, platform::SystemErrorText(dwError));
    Close();
    return dwError;
  }
  reply.assign(buffer_.data(), strnlen(buffer_.data(), buffer_.size()));
  return platform::ERROR_SUCCESS;
}

uint32_t ServicePipe::Transfer(SetupRun& run) {
  if (!pipe_) {
    if (const uint32_t dwError = run.machine.Pipes().Open(kServicePipeName, pipe_);
        dwError != platform::ERROR_SUCCESS) {
      pipe_.reset();
      return dwError;
    }
  }
  if (const uint32_t dwError = pipe_->Write(buffer_.data(), buffer_.size());
      dwError != platform::ERROR_SUCCESS)
    return dwError;
  // The service may take its time to answer, since a person may be deciding; but a block that
  // has begun comes in one write, so one that stops short fails the exchange instead of waiting
  // for the rest forever.
  size_t nRead = 0;
  if (const uint32_t dwError = pipe_->Read(buffer_.data(), 1, nRead);
      dwError != platform::ERROR_SUCCESS)
    return dwError;
  return pipe_->Read(buffer_.data() + 1, buffer_.size() - 1, nRead, kBlockRestTimeoutMs);
}

std::string SourcePlace(const char* pszFile, int nLine) {
  const char* pszName = std::strrchr(pszFile, '/');
  return std::string(pszName ? pszName + 1 : pszFile) + ":" + std::to_string(nLine);
}

}  // namespace tarvium
