#include "platform/error_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/win_error.h"

namespace platform {
namespace {

constexpr std::array<std::pair<uint32_t, const char*>, 15> kErrorTexts = {{
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_INVALID_DATA, "The data is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERROR_BROKEN_PIPE, "The pipe has been ended."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_PIPE_BUSY, "All pipe instances are busy."},
    {ERROR_NO_DATA, "The pipe is being closed."},
    {ERROR_PIPE_NOT_CONNECTED, "No process is on the other end of the pipe."},
    {ERROR_MORE_DATA, "More data is available."},
    {ERROR_WAIT_TIMEOUT, "The wait operation timed out."},
}};

}  // namespace

std::string SystemErrorText(uint32_t dwError) {
  const auto* found = std::find_if(kErrorTexts.begin(), kErrorTexts.end(),
                                   [dwError](const auto& entry) { return entry.first == dwError; });
  if (found != kErrorTexts.end()) return std::string(found->second) + "\r\n";
  return "Error " + std::to_string(dwError) + ".\r\n";
}

}  // namespace platform
