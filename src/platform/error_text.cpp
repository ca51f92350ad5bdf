#include "platform/error_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/spooler.h"
#include "platform/win_error.h"

namespace platform {
namespace {

constexpr std::array<std::pair<uint32_t, const char*>, 36> kErrorTexts = {{
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
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_MOD_NOT_FOUND, "The specified module could not be found."},
    {ERROR_BUSY, "The requested resource is in use."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_CANCELLED, "The operation was canceled by the user."},
    {ERROR_INVALID_SHARENAME, "The format of the specified network name is invalid."},
    {RPC_S_SERVER_UNAVAILABLE, "The RPC server is unavailable."},
    {ERROR_PRINTER_DRIVER_ALREADY_INSTALLED, "The specified printer driver is already installed."},
    {ERROR_UNKNOWN_PORT, "The specified port is unknown."},
    {ERROR_UNKNOWN_PRINTER_DRIVER, "The printer driver is unknown."},
    {ERROR_UNKNOWN_PRINTPROCESSOR, "The print processor is unknown."},
    {ERROR_INVALID_PRINTER_NAME, "The printer name is invalid."},
    {ERROR_PRINTER_ALREADY_EXISTS, "The printer already exists."},
    {ERROR_INVALID_DATATYPE, "The specified datatype is invalid."},
    {ERROR_INVALID_ENVIRONMENT, "The environment specified is invalid."},
    {ERROR_UNKNOWN_PRINT_MONITOR, "The specified print monitor is unknown."},
    {ERROR_PRINTER_DRIVER_IN_USE, "The specified printer driver is currently in use."},
    {ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED,
     "The specified print processor has already been installed."},
    {ERROR_PRINT_MONITOR_ALREADY_INSTALLED,
     "The specified print monitor has already been installed."},
    {ERROR_PRINT_MONITOR_IN_USE, "The specified print monitor is currently in use."},
}};

}  // namespace

std::string SystemErrorText(uint32_t dwError) {
  const auto* found = std::find_if(kErrorTexts.begin(), kErrorTexts.end(),
                                   [dwError](const auto& entry) { return entry.first == dwError; });
  if (found != kErrorTexts.end()) return std::string(found->second) + "\r\n";
  return "Error " + std::to_string(dwError) + ".\r\n";
}

}  // namespace platform
