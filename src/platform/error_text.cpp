#include "platform/error_text.h"

#include <algorithm>
#include <iterator>

#include "platform/accounts.h"
#include "platform/services.h"
#include "platform/spooler.h"
#include "platform/win_error.h"

namespace platform {
namespace {

struct ErrorText {
  uint32_t dwError;
  const char* pszText;
};

constexpr ErrorText kErrorTexts[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_FUNCTION, "Incorrect function."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_BAD_FORMAT, "An attempt was made to load a program with an incorrect format."},
    {ERROR_INVALID_DATA, "The data is invalid."},
    {ERROR_INVALID_DRIVE, "The system cannot find the drive specified."},
    {ERROR_CURRENT_DIRECTORY, "The directory cannot be removed."},
    {ERROR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive."},
    {ERROR_NO_MORE_FILES, "There are no more files."},
    {ERROR_WRITE_PROTECT, "The media is write protected."},
    {ERROR_NOT_READY, "The device is not ready."},
    {ERROR_SEEK, "The drive cannot locate a specific area or track on the disk."},
    {ERROR_WRITE_FAULT, "The system cannot write to the specified device."},
    {ERROR_READ_FAULT, "The system cannot read from the specified device."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process."},
    {ERROR_LOCK_VIOLATION,
     "The process cannot access the file because another process has locked a portion of the "
     "file."},
    {ERROR_HANDLE_EOF, "Reached the end of the file."},
    {ERROR_HANDLE_DISK_FULL, "The disk is full."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_BAD_NETPATH, "The network path was not found."},
    {ERROR_NETWORK_ACCESS_DENIED, "Network access is denied."},
    {ERROR_BAD_NET_NAME, "The network name cannot be found."},
    {ERROR_FILE_EXISTS, "The file exists."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_BROKEN_PIPE, "The pipe has been ended."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_MOD_NOT_FOUND, "The specified module could not be found."},
    {ERROR_PROC_NOT_FOUND, "The specified procedure could not be found."},
    {ERROR_NEGATIVE_SEEK,
     "An attempt was made to move the file pointer before the beginning of the file."},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERROR_BAD_PATHNAME, "The specified path is invalid."},
    {ERROR_BUSY, "The requested resource is in use."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_BAD_EXE_FORMAT, "%1 is not a valid Win32 application."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {ERROR_PIPE_BUSY, "All pipe instances are busy."},
    {ERROR_NO_DATA, "The pipe is being closed."},
    {ERROR_PIPE_NOT_CONNECTED, "No process is on the other end of the pipe."},
    {ERROR_MORE_DATA, "More data is available."},
    {ERROR_WAIT_TIMEOUT, "The wait operation timed out."},
    {ERROR_NO_MORE_ITEMS, "No more data is available."},
    {ERROR_DIRECTORY, "The directory name is invalid."},
    {ERROR_PARTIAL_COPY,
     "Only part of a ReadProcessMemory or WriteProcessMemory request was completed."},
    {ERROR_INVALID_IMAGE_HASH, "Windows cannot verify the digital signature for this file."},
    {ERROR_OPERATION_ABORTED,
     "The I/O operation has been aborted because of either a thread exit or an application "
     "request."},
    {ERROR_BADDB, "The configuration registry database is corrupt."},
    {ERROR_BADKEY, "The configuration registry key is invalid."},
    {ERROR_CANTOPEN, "The configuration registry key could not be opened."},
    {ERROR_CANTREAD, "The configuration registry key could not be read."},
    {ERROR_CANTWRITE, "The configuration registry key could not be written."},
    {ERROR_REGISTRY_CORRUPT, "The registry is corrupted."},
    {ERROR_KEY_DELETED,
     "Illegal operation attempted on a registry key that has been marked for deletion."},
    {ERROR_CHILD_MUST_BE_VOLATILE, "Cannot create a stable subkey under a volatile parent key."},
    {ERROR_DEPENDENT_SERVICES_RUNNING,
     "A stop control has been sent to a service that other running services are dependent on."},
    {ERROR_INVALID_SERVICE_CONTROL, "The requested control is not valid for this service."},
    {ERROR_SERVICE_REQUEST_TIMEOUT,
     "The service did not respond to the start or control request in a timely fashion."},
    {1054, "A thread could not be created for the service."},
    {1055, "The service database is locked."},
    {ERROR_SERVICE_ALREADY_RUNNING, "An instance of the service is already running."},
    {ERROR_INVALID_SERVICE_ACCOUNT,
     "The account name is invalid or does not exist, or the password is invalid for the account "
     "name specified."},
    {ERROR_SERVICE_DISABLED,
     "The service cannot be started, either because it is disabled or because it has no enabled "
     "devices associated with it."},
    {ERROR_CIRCULAR_DEPENDENCY, "Circular service dependency was specified."},
    {ERROR_SERVICE_DOES_NOT_EXIST, "The specified service does not exist as an installed service."},
    {ERROR_SERVICE_CANNOT_ACCEPT_CTRL, "The service cannot accept control messages at this time."},
    {ERROR_SERVICE_NOT_ACTIVE, "The service has not been started."},
    {1063, "The service process could not connect to the service controller."},
    {1064, "An exception occurred in the service when handling the control request."},
    {1065, "The database specified does not exist."},
    {1066, "The service has returned a service-specific error code."},
    {1067, "The process terminated unexpectedly."},
    {ERROR_SERVICE_DEPENDENCY_FAIL, "The dependency service or group failed to start."},
    {ERROR_SERVICE_LOGON_FAILED, "The service did not start due to a logon failure."},
    {1070, "After starting, the service hung in a start-pending state."},
    {1071, "The specified service database lock is invalid."},
    {ERROR_SERVICE_MARKED_FOR_DELETE, "The specified service has been marked for deletion."},
    {ERROR_SERVICE_EXISTS, "The specified service already exists."},
    {1074, "The system is currently running with the last-known-good configuration."},
    {ERROR_SERVICE_DEPENDENCY_DELETED,
     "The dependency service does not exist or has been marked for deletion."},
    {1076,
     "The current boot has already been accepted for use as the last-known-good control set."},
    {1077, "No attempts to start the service have been made since the last boot."},
    {ERROR_DUPLICATE_SERVICE_NAME,
     "The name is already in use as either a service name or a service display name."},
    {ERROR_SHUTDOWN_IN_PROGRESS, "A system shutdown is in progress."},
    {ERROR_CANCELLED, "The operation was canceled by the user."},
    {ERROR_INVALID_SHARENAME, "The format of the specified network name is invalid."},
    {ERROR_NO_SUCH_USER, "The specified account does not exist."},
    {ERROR_LOGON_FAILURE, "The user name or password is incorrect."},
    {ERROR_NO_SUCH_PRIVILEGE, "A specified privilege does not exist."},
    {ERROR_ACCOUNT_DISABLED, "This user can't sign in because this account is currently disabled."},
    {ERROR_NONE_MAPPED, "No mapping between account names and security IDs was done."},
    {ERROR_INVALID_SID, "The security ID structure is invalid."},
    {ERROR_NO_SECURITY_ON_OBJECT,
     "Unable to perform a security operation on an object that has no associated security."},
    {ERROR_NO_SUCH_DOMAIN, "The specified domain either does not exist or could not be contacted."},
    {ERROR_SPECIAL_ACCOUNT, "Cannot perform this operation on built-in accounts."},
    {ERROR_NO_SUCH_ALIAS, "The specified local group does not exist."},
    {ERROR_MEMBER_NOT_IN_ALIAS, "The specified account name is not a member of the group."},
    {ERROR_MEMBER_IN_ALIAS, "The specified account name is already a member of the group."},
    {ERROR_ALIAS_EXISTS, "The specified local group already exists."},
    {ERROR_NO_SUCH_MEMBER,
     "A new member could not be added to or removed from the local group because the member does "
     "not exist."},
    {NERR_UnknownDevDir, "The device or directory does not exist."},
    {NERR_DuplicateShare, "The share name is already in use on this server."},
    {NERR_BadUsername, "The user name or group name parameter is invalid."},
    {NERR_GroupNotFound, "The group name could not be found."},
    {NERR_UserNotFound, "The user name could not be found."},
    {NERR_GroupExists, "The group already exists."},
    {NERR_UserExists, "The account already exists."},
    {NERR_PasswordTooShort,
     "The password does not meet the password policy requirements. Check the minimum password "
     "length, password complexity and password history requirements."},
    {NERR_NetNameNotFound, "This shared resource does not exist."},
    {NERR_DCNotFound, "Could not find domain controller for this domain."},
    {NERR_SetupAlreadyJoined, "This computer is already joined to a domain."},
    {NERR_SetupNotJoined, "This computer is not currently joined to a domain."},
    {ERROR_INVALID_WINDOW_HANDLE, "Invalid window handle."},
    {ERROR_NO_SYSTEM_RESOURCES,
     "Insufficient system resources exist to complete the requested service."},
    {RPC_S_SERVER_UNAVAILABLE, "The RPC server is unavailable."},
    {ERROR_PRINTER_DRIVER_ALREADY_INSTALLED, "The specified printer driver is already installed."},
    {ERROR_UNKNOWN_PORT, "The specified port is unknown."},
    {ERROR_UNKNOWN_PRINTER_DRIVER, "The printer driver is unknown."},
    {ERROR_UNKNOWN_PRINTPROCESSOR, "The print processor is unknown."},
    {ERROR_INVALID_PRINTER_NAME, "The printer name is invalid."},
    {ERROR_PRINTER_ALREADY_EXISTS, "The printer already exists."},
    {ERROR_INVALID_DATATYPE, "The specified datatype is invalid."},
    {ERROR_INVALID_ENVIRONMENT, "The environment specified is invalid."},
    {ERROR_RESOURCE_DATA_NOT_FOUND, "The specified image file did not contain a resource section."},
    {ERROR_RESOURCE_TYPE_NOT_FOUND,
     "The specified resource type cannot be found in the image file."},
    {ERROR_RESOURCE_NAME_NOT_FOUND,
     "The specified resource name cannot be found in the image file."},
    {ERROR_RESOURCE_LANG_NOT_FOUND,
     "The specified resource language ID cannot be found in the image file."},
    {ERROR_CANT_ACCESS_FILE, "The file cannot be accessed by the system."},
    {ERROR_UNKNOWN_PRINT_MONITOR, "The specified print monitor is unknown."},
    {ERROR_PRINTER_DRIVER_IN_USE, "The specified printer driver is currently in use."},
    {ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED,
     "The specified print processor has already been installed."},
    {ERROR_PRINT_MONITOR_ALREADY_INSTALLED,
     "The specified print monitor has already been installed."},
    {ERROR_PRINT_MONITOR_IN_USE, "The specified print monitor is currently in use."},
    {ERROR_SUCCESS_REBOOT_REQUIRED,
     "The requested operation is successful. Changes will not be effective until the system is "
     "rebooted."},
};

// The Windows wording of a code, or null for a code the platform does not return.
const char* FindErrorText(uint32_t dwError) {
  const auto* found =
      std::find_if(std::begin(kErrorTexts), std::end(kErrorTexts),
                   [dwError](const ErrorText& entry) { return entry.dwError == dwError; });
  return found != std::end(kErrorTexts) ? found->pszText : nullptr;
}

}  // namespace

std::string SystemErrorText(uint32_t dwError) {
  if (const char* pszText = FindErrorText(dwError)) return std::string(pszText) + "\r\n";
  return "Error " + std::to_string(dwError) + ".\r\n";
}

std::string ErrorCodeText(uint32_t dwError, const std::string& insert) {
  const std::string code = "error " + std::to_string(dwError);
  const char* pszText = FindErrorText(dwError);
  if (!pszText) return code;
  std::string text = pszText;
  if (const size_t nAt = text.find("%1"); nAt != std::string::npos) text.replace(nAt, 2, insert);
  return code + ": " + text;
}

}  // namespace platform
